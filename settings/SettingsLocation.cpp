#include "settings/SettingsLocation.h"

#include "settings/MakeDirPath.h"

#include <QDir>
#include <QTemporaryFile>

namespace settings {

bool isWritableFolder(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".lumo-write-test-XXXXXX")));
    return probe.open();
}

QString chooseSettingsFolder(const QString &programFolder, const QString &userConfigFolder)
{
    // Installed, Lumo shares the system's program folder: its settings belong to each user, also
    // to the super-user, who could write there.
    const bool installed =
        QDir(programFolder) == QDir(QStringLiteral(LUMO_INSTALLED_PROGRAM_FOLDER));
    const QString programConfig = QDir(programFolder).filePath(QStringLiteral("config"));
    if (!installed && MakeDirPath(programConfig) && isWritableFolder(programConfig))
        return programConfig;
    const QString userConfig = QDir(userConfigFolder).filePath(QStringLiteral("config"));
    MakeDirPath(userConfig);
    return userConfig;
}

} // namespace settings
