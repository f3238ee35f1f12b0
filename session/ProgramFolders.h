// Where Lumo runs: its program folder and the user's folders.
#pragma once

#include <QString>

namespace lumo::session {

struct ProgramFolders
{
    QString programFolder;    // beside the program: settings (when writable) and data files
    QString userConfigFolder; // per-user settings when the program folder cannot be written
    QString homeFolder;       // default photo and backup folders are made under it
    // An installed Lumo's data files, looked for after the program folder (empty: none).
    QString installedDataFolder = {};

    // A read-only data file (manual, shutter sound, workbook template): from the program folder
    // when it is there, otherwise from the installed data folder.
    QString dataFilePath(const QString &fileName) const;
};

} // namespace lumo::session
