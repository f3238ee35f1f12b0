// lumo-cli-checks: "lumo-cli photo check --framing ..." as a program of its own, so that lumo-cli
// itself loads no face detector: OpenCV's libraries alone add 7 ms to every start.
#include "checks/PhotoChecks.h"
#include "cli/CommandMain.h"
#include "photo/PictureFile.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace lumo;

namespace {

const char *const kUsage =
    "usage: lumo-cli photo check --framing FILE|FOLDER...\n"
    "\n"
    "Checks what the registry rejects in each photo (a folder: its .jpg and .jpeg files) and\n"
    "prints one line per photo: its path, a tab, and \"ok\" or what is wrong, comma-separated:\n"
    "no-face, faces:N (not exactly one frontal face), head-small, head-large, off-centre,\n"
    "tilted, blurred, dark, bright, background (not plain and light), unreadable.\n"
    "\n"
    "Exit status: 0 when every photo is ok, 1 when any is not, 2 for wrong arguments or a path\n"
    "that does not exist.\n";

int usageError(const QString &problem)
{
    std::fprintf(stderr, "lumo-cli photo check: %s\n\n%s", qPrintable(problem), kUsage);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments = startCommand(argc, argv);
    arguments.removeAll(QStringLiteral("--framing"));
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no file or folder given"));
    QStringList photos;
    for (const QString &argument : arguments) {
        const QFileInfo path(argument);
        if (argument.startsWith(u"--"))
            return usageError(QStringLiteral("unknown option %1").arg(argument));
        if (!path.exists())
            return usageError(QStringLiteral("%1 does not exist").arg(argument));
        if (!path.isDir()) {
            photos << argument;
            continue;
        }
        for (const QFileInfo &entry :
             QDir(argument).entryInfoList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")},
                                          QDir::Files, QDir::Name | QDir::IgnoreCase))
            photos << entry.filePath();
    }
    int status = 0;
    for (const QString &file : photos) {
        QString reason;
        const photo::BgrImage picture = photo::readPictureFile(file, &reason);
        const checks::PhotoVerdict verdict =
            picture.isEmpty() ? checks::PhotoVerdict{} : checks::checkPhoto(picture);
        if (!verdict.error.isEmpty()) {
            std::fprintf(stderr, "lumo-cli photo check: %s\n", qPrintable(verdict.error));
            return 1;
        }
        const QString result = picture.isEmpty() ? QStringLiteral("unreadable") : verdict.summary();
        std::printf("%s\t%s\n", qPrintable(QDir::toNativeSeparators(file)), qPrintable(result));
        if (picture.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(reason));
        if (result != u"ok")
            status = 1;
    }
    return status;
}
