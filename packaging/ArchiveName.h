// The name the operator gives the class archive: a plain file name inside the output folder.
#pragma once

#include <QString>

namespace lumo::packaging {

// Why the name cannot name an archive ("<name>.zip" in the output folder); empty when it can.
// A path separator, ".." or a control character is refused, so that nothing is written
// outside the folder; spaces and any script are fine.
QString archiveNameProblem(const QString &name);

} // namespace lumo::packaging
