// Loads the settings at start-up and saves them at shut-down, in the program folder when it can
// be written and in the user's folder otherwise. A missing or damaged file is answered by the
// defaults, written at once, without a message; a save that fails everywhere is told.
#pragma once

#include "session/ProgramFolders.h"
#include "settings/LumoSettings.h"
#include "settings/SessionSettings.h"

#include <QString>

namespace lumo::session {

class SettingsStore
{
public:
    explicit SettingsStore(const ProgramFolders &folders) : m_folders(folders) {}

    // The stored settings, or the defaults (then written) when there are none or they are
    // damaged. Creates the backup folder when the settings name one that is missing. *problem
    // tells when the defaults could not be written.
    settings::SessionSettings load(QString *problem);

    // Writes the settings; when the file's folder can no longer be written, into the user's
    // folder. False, with the operator's message, when it cannot be written anywhere.
    bool save(const settings::SessionSettings &values, QString *problem);

    QString filePath() const { return m_filePath; }

    // Where photos come from, from the second file beside the settings file (after load()).
    settings::LumoSettings loadLumoSettings() const;
    bool saveLumoSettings(const settings::LumoSettings &sources, QString *problem) const;

private:
    ProgramFolders m_folders;
    QString m_filePath;
    bool m_firstRun = false;
};

} // namespace lumo::session
