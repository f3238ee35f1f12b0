// The class report the teacher signs at the end of a class: who was photographed and who is
// missing, as a contact sheet (ReportPdf.h) and a table (ReportCsv.h). The students are read
// from the roster, their photos found as Lumo saved them.
#pragma once

#include "photo/PhotoSaver.h"
#include "roster/RosterTable.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

namespace lumo::report {

struct ReportStudent
{
    int number = 0; // roster row
    QString name;
    QString idNumber;  // as in the class list (the report masks it)
    QString finding;   // the ID pre-flight's text for this student, empty when none
    QString photoPath; // the student's photo file; empty when there is none
};

struct ClassReport
{
    QString className;
    QDate date;
    QList<ReportStudent> students; // in roster order

    int photographedCount() const; // students with a photo
};

// The ID-card number with its middle hidden, these being minors' records: the first and last 4
// characters of 16 or more ("1101**********1234"), fewer of a shorter number so that at most a
// quarter shows at each end, none of a number under 4 characters. The length stays.
QString maskedId(const QString &idNumber);

// The student's photo as Lumo saves it: <folder>/<photo key>.jpg (photo::photoNames), else
// <folder>/<whole number>.jpg, either also as .JPG. A student without a number that can name a
// photo has one only under the registry's name, in the folder's photo::kWithoutIdFolderName,
// and only with a complete registry code. Empty when there is none.
QString studentPhotoPath(const QString &photoFolder, const QString &name, const QString &idNumber,
                         const photo::RegistryCode &registryCode = {});

// The ID pre-flight's texts for each roster row that has findings ("校验位错误；重复").
QHash<int, QString> findingsByRow(const roster::RosterTable &table, int studentCount);

// Roster rows 1 to studentCount, their findings and photos.
QList<ReportStudent> reportStudents(const roster::RosterTable &table, int studentCount,
                                    const QString &photoFolder,
                                    const photo::RegistryCode &registryCode = {});

} // namespace lumo::report
