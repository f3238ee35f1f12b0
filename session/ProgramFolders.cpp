#include "session/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

namespace lumo::session {

QString ProgramFolders::dataFilePath(const QString &fileName) const
{
    const QString beside = QDir(programFolder).filePath(fileName);
    if (QFileInfo::exists(beside) || installedDataFolder.isEmpty())
        return beside;
    const QString installed = QDir(installedDataFolder).filePath(fileName);
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace lumo::session
