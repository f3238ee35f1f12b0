// Where the settings file lives: "config/xueji_orin.ini" in the program folder when that
// folder can be written (portable use), otherwise the same relative path in the user's
// configuration folder.
#pragma once

#include <QString>

namespace lumo::settings {

// The folder that holds the settings file, after creating it where missing. The program folder
// is chosen when its "config" folder exists or can be created and a file can be written in it,
// unless it is the folder an installed Lumo runs from.
QString chooseSettingsFolder(const QString &programFolder, const QString &userConfigFolder);

// The per-user settings folder: "config" in the user's configuration folder.
QString userSettingsFolder(const QString &userConfigFolder);

// True when a file can be created in the folder (tested by creating one, so that it also holds
// for the super-user and for read-only mounts).
bool isWritableFolder(const QString &folder);

} // namespace lumo::settings
