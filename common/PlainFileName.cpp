#include "common/PlainFileName.h"

#include <QChar>

namespace lumo::common {

FileNameProblem fileNameProblem(QStringView name)
{
    if (name.isEmpty())
        return FileNameProblem::Empty;
    if (name.contains(u'/') || name.contains(u'\\'))
        return FileNameProblem::Separator;
    if (name.contains(u".."))
        return FileNameProblem::ParentReference;
    for (const QChar character : name) {
        if (character.category() == QChar::Other_Control || character.isNull())
            return FileNameProblem::ControlCharacter;
    }
    return FileNameProblem::None;
}

} // namespace lumo::common
