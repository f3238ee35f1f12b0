// A file name built from what the operator or the class list gives (an ID-card number, an
// archive name) must name a file inside the chosen folder and nowhere else.
#pragma once

#include <QStringView>

namespace lumo::common {

enum class FileNameProblem {
    None,
    Empty,
    Separator,        // "/" or "\"
    ParentReference,  // ".." anywhere in the name
    ControlCharacter, // line breaks, tabs, NUL and the like
};

FileNameProblem fileNameProblem(QStringView name);

inline bool isPlainFileName(QStringView name)
{
    return fileNameProblem(name) == FileNameProblem::None;
}

} // namespace lumo::common
