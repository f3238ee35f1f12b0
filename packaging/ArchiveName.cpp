#include "packaging/ArchiveName.h"

#include "common/PlainFileName.h"

namespace lumo::packaging {

QString archiveNameProblem(const QString &name)
{
    switch (common::fileNameProblem(name)) {
    case common::FileNameProblem::None:
        return QString();
    case common::FileNameProblem::Empty:
        return QStringLiteral("压缩包文件名为空。");
    case common::FileNameProblem::Separator:
        return QStringLiteral("压缩包文件名“%1”不能包含“/”或“\\”。").arg(name);
    case common::FileNameProblem::ParentReference:
        return QStringLiteral("压缩包文件名“%1”不能包含“..”。").arg(name);
    case common::FileNameProblem::ControlCharacter:
        break;
    }
    return QStringLiteral("压缩包文件名不能包含控制字符（如换行、制表符）。");
}

} // namespace lumo::packaging
