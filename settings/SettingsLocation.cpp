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
    const QString programConfig = QDir(programFolder).filePath(QStringLiteral("config"));
    if (MakeDirPath(programConfig) && isWritableFolder(programConfig))
        return programConfig;
    const QString userConfig = QDir(userConfigFolder).filePath(QStringLiteral("config"));
    MakeDirPath(userConfig);
    return userConfig;
}

} // namespace settings
