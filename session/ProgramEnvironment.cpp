#include "app/ProgramEnvironment.h"

#include <QDir>
#include <QFileInfo>

QString ProgramEnvironment::dataFilePath(const QString &fileName) const
{
    const QString beside = QDir(programFolder).filePath(fileName);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir(QStringLiteral(LUMO_INSTALLED_DATA_FOLDER)).filePath(fileName);
    return QFileInfo::exists(installed) ? installed : beside;
}
