// "lumo-cli pack": the class archive of an output folder, as the archive button makes it.
#include "cli/PackCommand.h"

#include "cli/CommandLine.h"
#include "cli/Messages.h"
#include "cli/UsageTexts.h"
#include "common/NativePath.h"
#include "common/PlainFileName.h"
#include "packaging/ClassArchive.h"

#include <QDir>

#include <csignal>

using namespace lumo;
using namespace lumo::cli;

int runPackCommand(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("lumo-cli pack"), usage::kPack);
    if (const auto done = line.parse(arguments))
        return *done;
    const QStringList paths = line.positional();
    if (paths.size() != 2)
        return line.usageError(text(msg::kPackArguments));
    const QString &folder = paths[0];
    const QString &name = paths[1];
    if (common::fileNameProblem(name) != common::FileNameProblem::None)
        return line.usageError(text(msg::kArchiveName));
    const common::PathKind kind = common::pathKind(folder);
    if (kind != common::PathKind::Folder)
        return line.usageError(
            text(kind == common::PathKind::Missing ? msg::kDoesNotExist : msg::kNotAFolder)
                .arg(QDir::toNativeSeparators(folder)));
    // A file-size limit makes the write fail and be reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    const packaging::PackResult result = packaging::packClassArchive(folder, name);
    switch (result.status) {
    case packaging::PackStatus::Packed:
        break;
    case packaging::PackStatus::NoPhotos:
        return line.fail(text(msg::kNoPhotosToPack).arg(QDir::toNativeSeparators(folder)));
    default:
        return line.fail(
            text(msg::kPackFailed).arg(QDir::toNativeSeparators(folder), result.reason));
    }
    printLine(stdout, QStringLiteral("%1: %2 bytes, %3 photos")
                          .arg(QDir::toNativeSeparators(result.archivePath))
                          .arg(result.archiveBytes)
                          .arg(result.photoCount));
    for (const QString &photo : result.photosKept)
        line.tell(text(result.photosChanged.contains(photo) ? msg::kPhotoChangedWhilePacked
                                                            : msg::kPhotoNotRemoved)
                      .arg(photo));
    if (packaging::exceedsSizeLimit(result.archiveBytes)) {
        line.tell(text(msg::kArchiveTooLarge).arg(QDir::toNativeSeparators(result.archivePath)));
        return kPackedTooLarge;
    }
    return kSuccess;
}
