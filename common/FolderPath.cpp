#include "common/FolderPath.h"

#include <QDir>
#include <QFileInfo>

namespace lumo::common {

bool makeFolderPath(const QString &folderPath)
{
    QString path = QDir::fromNativeSeparators(folderPath.trimmed());
    if (path.isEmpty())
        return false;
    if (!path.endsWith(u'/'))
        path += u'/';

    // Every separator closes one level: "/home/a/" tests "/home" and "/home/a".
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] != u'/')
            continue;
        const QString level = path.left(i);
        if (level.isEmpty() || (level.size() == 2 && level[1] == u':'))
            continue; // the file system's root, or a drive
        const QFileInfo info(level);
        if (info.exists() || info.isSymLink()) {
            if (!info.isDir())
                return false;
            continue;
        }
        if (!QDir().mkdir(level))
            return false;
    }
    return true;
}

} // namespace lumo::common
