#include "session/StudentPane.h"

#include "common/PlainFileName.h"
#include "roster/PhotoMarks.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace lumo::session {

using roster::RosterTable;

QString threeDigitNumber(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

int countPhotographed(const RosterTable &table)
{
    int count = 0;
    for (int row = 1; row < RosterTable::kRows; ++row) {
        if (table.photoMark(row) == roster::kPhotoTakenMark)
            ++count;
        if (table.name(row).isEmpty())
            break;
    }
    return count;
}

QString findStudentPhoto(const QString &outputFolder, const QString &backupFolder,
                         const QString &idNumber)
{
    if (!common::isPlainFileName(idNumber))
        return QString();
    const QString fileName = idNumber + QStringLiteral(".jpg");
    for (const QString &folder : {outputFolder, backupFolder}) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

void ReviewSlot::showPhoto(const QString &path)
{
    photo = QImage();
    note.clear();
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    photo = reader.read();
    if (photo.isNull())
        note = QStringLiteral("照片无法读取");
}

void StudentPane::showStudent(const RosterTable &table, int current)
{
    currentName = table.name(current);
    nextName = table.name(current + 1);
    if (current == 1) {
        newer.name.clear();
        older.name.clear();
        newer.verdict = {};
        older.verdict = {};
    }
    if (current > 1) {
        newer.name = table.name(current - 1);
        newer.number = threeDigitNumber(current - 1);
    }
    if (current > 2) {
        older.name = table.name(current - 2);
        older.number = threeDigitNumber(current - 2);
    }

    listNumbers.clear();
    listNames.clear();
    listMarks.clear();
    const int last = qMin(current + kListLength + 1, RosterTable::kRows - 1);
    for (int row = current + 2; row <= last; ++row) {
        listNumbers << QString::number(row);
        listNames << table.name(row);
        listMarks << table.photoMark(row);
        if (table.name(row).isEmpty())
            break;
    }
}

void StudentPane::showMissing(const roster::RosterTable &table, int current, int studentCount)
{
    missing.clear();
    const int last = qMin(current - 1, studentCount);
    for (int row = 1; row <= last; ++row) {
        if (table.photoMark(row) != roster::kPhotoTakenMark)
            missing << QStringLiteral("%1 %2").arg(row).arg(table.name(row));
    }
}

void StudentPane::showCounters(int studentCount, int photographedCount)
{
    photographed = QString::number(photographedCount);
    total = QString::number(studentCount);
    remaining = QString::number(studentCount - photographedCount);
}

} // namespace lumo::session
