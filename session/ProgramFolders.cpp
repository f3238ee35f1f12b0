#include "session/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

namespace lumo::session {

QString ProgramFolders::dataFilePath(const QString &fileName) const
{
    const QString beside = QDir(programFolder).filePath(fileName);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(QStringLiteral(LUMO_INSTALLED_DATA_FOLDER)).filePath(fileName);
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace lumo::session
