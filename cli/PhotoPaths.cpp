#include "cli/PhotoPaths.h"

#include "cli/Messages.h"
#include "common/NativePath.h"

#include <algorithm>

namespace lumo::cli {

std::optional<int> collectPhotos(const CommandLine &line, const QStringList &paths,
                                 QStringList *photos)
{
    if (paths.isEmpty())
        return line.usageError(text(msg::kNoFileOrFolder));
    for (const QString &path : paths) {
        const common::PathKind kind = common::pathKind(path);
        if (kind == common::PathKind::Missing)
            return line.usageError(text(msg::kDoesNotExist).arg(path));
        if (kind != common::PathKind::Folder) {
            *photos << path;
            continue;
        }
        QStringList found;
        for (const QString &name : common::fileNamesIn(path)) {
            const QString suffix = name.section(u'.', -1).toLower();
            if (name.contains(u'.') && (suffix == u"jpg" || suffix == u"jpeg"))
                found << (path.endsWith(u'/') ? path : path + u'/') + name;
        }
        std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        if (found.isEmpty())
            line.tell(text(msg::kNoJpgFiles).arg(path));
        *photos << found;
    }
    if (!photos->isEmpty())
        return std::nullopt;
    line.tell(text(msg::kNothingChecked));
    return kNegative;
}

} // namespace lumo::cli
