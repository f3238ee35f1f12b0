#include "session/SettingsStore.h"

#include "common/FolderPath.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>

namespace lumo::session {

namespace {

QString settingsFileIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(settings::kSettingsFileName));
}

} // namespace

settings::SessionSettings SettingsStore::load(QString *problem)
{
    m_filePath = settingsFileIn(
        settings::chooseSettingsFolder(m_folders.programFolder, m_folders.userConfigFolder));
    const settings::SessionSettings defaults =
        settings::SessionSettings::defaults(m_folders.homeFolder);

    settings::SessionSettings values = defaults;
    m_firstRun = !QFileInfo::exists(m_filePath);
    if (m_firstRun) {
        save(values, problem);
    } else if (const std::optional<settings::SessionSettings> stored =
                   settings::readFile(m_filePath)) {
        values = *stored;
    } else {
        // A damaged file is replaced by the defaults; its backup folder is not made.
        save(values, problem);
        return values;
    }
    if (!QFileInfo(values.backupFolder).isDir())
        common::makeFolderPath(values.backupFolder);
    return values;
}

namespace {

QString sourcesFileBeside(const QString &settingsFile)
{
    return QFileInfo(settingsFile)
        .dir()
        .filePath(QString::fromLatin1(settings::kLumoSettingsFileName));
}

} // namespace

settings::LumoSettings SettingsStore::loadLumoSettings() const
{
    bool found = false;
    settings::LumoSettings values =
        settings::readLumoSettings(sourcesFileBeside(m_filePath), &found);
    // A new installation gets the best quality; an existing one keeps the photos' bytes as they
    // have always been until the operator switches it on.
    if (!found && m_firstRun)
        values.bestQuality = true;
    return values;
}

bool SettingsStore::saveLumoSettings(const settings::LumoSettings &sources, QString *problem) const
{
    return settings::writeLumoSettings(sourcesFileBeside(m_filePath), sources, problem);
}

bool SettingsStore::save(const settings::SessionSettings &values, QString *problem)
{
    if (settings::writeFile(m_filePath, values))
        return true;

    // The program folder may have become unwritable since start-up: keep the settings in the
    // user's configuration folder rather than lose them.
    const QString userFolder = settings::userSettingsFolder(m_folders.userConfigFolder);
    const QString userPath = settingsFileIn(userFolder);
    if (userPath != m_filePath && common::makeFolderPath(userFolder) &&
        settings::writeFile(userPath, values)) {
        m_filePath = userPath;
        return true;
    }
    if (problem)
        *problem = QStringLiteral("设置无法保存到文件 %1，请检查磁盘空间和文件夹权限。")
                       .arg(QDir::toNativeSeparators(m_filePath));
    return false;
}

} // namespace lumo::session
