#include "packaging/ArchiveName.h"

namespace packaging {

QString archiveNameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("压缩包文件名为空。");
    if (name.contains(u'/') || name.contains(u'\\'))
        return QStringLiteral("压缩包文件名“%1”不能包含“/”或“\\”。").arg(name);
    if (name.contains(QStringLiteral("..")))
        return QStringLiteral("压缩包文件名“%1”不能包含“..”。").arg(name);
    for (const QChar character : name) {
        if (character.category() == QChar::Other_Control)
            return QStringLiteral("压缩包文件名不能包含控制字符（如换行、制表符）。");
    }
    return QString();
}

} // namespace packaging
