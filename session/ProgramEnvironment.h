// Where Lumo runs: its program folder, the user's folders and the desktop services.
#pragma once

#include <QString>

class Dialogs;
class KeyPoller;
class ScreenGrabber;
class Shell;
class ShutterSound;
class Speech;

struct ProgramEnvironment
{
    QString programFolder;    // beside the program: settings (when writable) and data files
    QString userConfigFolder; // per-user settings when the program folder cannot be written
    QString homeFolder;       // default photo and backup folders are made under it
    Shell &shell;
    Dialogs &dialogs;
    KeyPoller &keys;
    ScreenGrabber &screen;
    Speech &speech;
    ShutterSound &shutterSound;

    // A read-only data file (manual, shutter sound, workbook template): from the program folder
    // when it is there, otherwise from the installed data folder.
    QString dataFilePath(const QString &fileName) const;
};
