#include "roster/StudentView.h"

#include "photo/PhotoSaver.h"

#include <QDir>
#include <QFileInfo>

namespace roster {

QString threeDigitNumber(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

UpcomingList upcomingStudents(const RosterTable &table, int current)
{
    UpcomingList list;
    const int last = qMin(current + kListLength + 1, RosterTable::kRows - 1);
    for (int row = current + 2; row <= last; ++row) {
        list.numbers << QString::number(row);
        list.names << table.name(row);
        list.marks << table.photoMark(row);
        if (table.name(row).isEmpty())
            break;
    }
    return list;
}

int countPhotographed(const RosterTable &table)
{
    int count = 0;
    for (int row = 1; row < RosterTable::kRows; ++row) {
        if (table.photoMark(row) == kPhotoTakenMark)
            ++count;
        if (table.name(row).isEmpty())
            break;
    }
    return count;
}

QString findStudentPhoto(const QString &outputFolder, const QString &backupFolder,
                         const QString &idNumber)
{
    const QString fileName = idNumber + QStringLiteral(".jpg");
    if (idNumber.isEmpty() || !photo::isPlainFileKey(idNumber))
        return QString();
    for (const QString &folder : {outputFolder, backupFolder}) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

} // namespace roster
