// Creates every missing level of a folder path.
#pragma once

#include <QString>

// True when every level of the path exists as a folder or has been created; false when a level
// exists but is not a folder, or cannot be created. Never throws.
bool MakeDirPath(const QString &folderPath);
