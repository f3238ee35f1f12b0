#include "settings/SettingsLocation.h"

#include "common/FolderPath.h"

#include <QDir>
#include <QTemporaryFile>

namespace lumo::settings {

bool isWritableFolder(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".lumo-write-test-XXXXXX")));
    return probe.open();
}

QString userSettingsFolder(const QString &userConfigFolder)
{
    return QDir(userConfigFolder).filePath(QStringLiteral("config"));
}

QString chooseSettingsFolder(const QString &programFolder, const QString &userConfigFolder)
{
    // Installed, Lumo shares the system's program folder: its settings belong to each user, also
    // to the super-user, who could write there.
    const bool installed =
        QDir(programFolder) == QDir(QStringLiteral(LUMO_INSTALLED_PROGRAM_FOLDER));
    const QString programConfig = QDir(programFolder).filePath(QStringLiteral("config"));
    if (!installed && common::makeFolderPath(programConfig) && isWritableFolder(programConfig))
        return programConfig;
    const QString userConfig = userSettingsFolder(userConfigFolder);
    common::makeFolderPath(userConfig);
    return userConfig;
}

} // namespace lumo::settings
