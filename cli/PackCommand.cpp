// "lumo-cli pack": the class archive of an output folder, as the archive button makes it.
#include "cli/PackCommand.h"

#include "packaging/ClassArchive.h"

#include <QDir>

#include <csignal>
#include <cstdio>

namespace packaging = lumo::packaging;

namespace {

constexpr int kPacked = 0;
constexpr int kFailed = 1;
constexpr int kTooLarge = 2;

const char *const kPackUsage =
    "usage: lumo-cli pack FOLDER NAME\n"
    "\n"
    "Moves every .jpg of FOLDER (any letter case) into the archive FOLDER/NAME.zip, stored\n"
    "without folder paths, as the archive button does. An existing NAME.zip is added to and an\n"
    "entry of the same name replaced. No photo is removed before the archive was written under\n"
    "a temporary name, read back and checked, and renamed into place.\n"
    "\n"
    "Prints the archive's path, its size and the number of photos packed.\n"
    "\n"
    "Exit status: 0 when packed, 2 when packed but larger than 5000000 bytes (the registry's\n"
    "limit), 1 when nothing was packed (wrong arguments, a refused name, a missing folder, no\n"
    "photos, or a failure; then every photo is still in the folder).\n";

} // namespace

int runPackCommand(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(kPackUsage, stdout);
        return kPacked;
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "lumo-cli pack: FOLDER and NAME are needed\n\n%s", kPackUsage);
        return kFailed;
    }
    // A file-size limit makes the write fail and be reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    const packaging::PackResult result = packaging::packClassArchive(arguments[0], arguments[1]);
    if (result.status != packaging::PackStatus::Packed) {
        std::fprintf(stderr, "lumo-cli pack: %s\n", qPrintable(result.problem));
        return kFailed;
    }
    std::printf("%s: %lld bytes, %d photos\n",
                qPrintable(QDir::toNativeSeparators(result.archivePath)),
                static_cast<long long>(result.archiveBytes), result.photoCount);
    for (const QString &photo : result.photosKept)
        std::fprintf(stderr,
                     result.photosChanged.contains(photo)
                         ? "lumo-cli pack: %s changed while it was packed: it stays in the folder, "
                           "pack again to put this version in the archive\n"
                         : "lumo-cli pack: %s is in the archive but could not be removed\n",
                     qPrintable(photo));
    if (packaging::exceedsSizeLimit(result.archiveBytes)) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("zip文件超过5M，请手动解压后，处理！")));
        return kTooLarge;
    }
    return kPacked;
}
