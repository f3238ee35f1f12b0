// What the current-student view shows, computed from the class list: the list of the students
// after the next one, the count of students photographed, and where a student's photo is.
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/RosterTable.h"

#include <QString>
#include <QStringList>

namespace roster {

inline constexpr int kHighestViewableIndex = RosterTable::kRows - 3; // the view reads row c + 2
inline constexpr int kListLength = 34;

// Review numbers: at least three digits, zero-filled ("001", "012", "123", "1234").
QString threeDigitNumber(int number);

// The list beside the current student: rows current + 2 onwards, at most 34, stopping after the
// first row whose name is empty (so a class that ends within the list shows one empty line).
struct UpcomingList
{
    QStringList numbers;
    QStringList names;
    QStringList marks;
};
UpcomingList upcomingStudents(const RosterTable &table, int current);

// Students from row 1 on whose photo mark is "是", up to the end of the class.
int countPhotographed(const RosterTable &table);

// The student's photo, "<ID-card number>.jpg", in the output folder or else in the backup
// folder; empty when neither holds it or the number cannot be a file name.
QString findStudentPhoto(const QString &outputFolder, const QString &backupFolder,
                         const QString &idNumber);

} // namespace roster
