// Creates every missing level of a folder path.
#pragma once

#include <QString>

namespace lumo::common {

// True when every level of the path exists as a folder or has been created; false when a level
// exists but is not a folder, or cannot be created. Never throws.
bool makeFolderPath(const QString &folderPath);

} // namespace lumo::common
