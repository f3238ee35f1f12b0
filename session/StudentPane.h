// What the current-student view and the review pane show: the current and the next student, the
// list after them, the two students just photographed with their photos, and the counters.
// A refresh rewrites only what it covers; everything else keeps what an earlier refresh showed.
#pragma once

#include "roster/RosterTable.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace lumo::session {

inline constexpr int kListLength = 34;
// The view reads two rows past the current one.
inline constexpr int kHighestViewableIndex = roster::RosterTable::kRows - 3;

// Review numbers: at least three digits, zero-filled ("001", "012", "123", "1234").
QString threeDigitNumber(int number);

// Students from row 1 on whose photo mark is "是", up to the end of the class.
int countPhotographed(const roster::RosterTable &table);

// The student's photo, "<ID-card number>.jpg", in the output folder or else in the backup
// folder; empty when neither holds it or the number cannot name a file.
QString findStudentPhoto(const QString &outputFolder, const QString &backupFolder,
                         const QString &idNumber);

// What the photo checks said of a photo saved in this class: "照片合格" or "请重拍：…".
struct PhotoVerdictText
{
    QString text; // empty when the photo was not checked
    bool ok = true;
    bool retake = false; // the checks found a fault (not merely could not run)

    friend bool operator==(const PhotoVerdictText &, const PhotoVerdictText &) = default;
};

// A student just photographed, as the review pane shows it.
struct ReviewSlot
{
    QString number = QStringLiteral("0000");
    QString name;
    QImage photo;
    QString note; // instead of a photo that exists but cannot be read
    PhotoVerdictText verdict;

    // Shows the photo file (read by its content, whatever its name says), or nothing.
    void showPhoto(const QString &path);
};

struct StudentPane
{
    QString numberText = QStringLiteral("000"); // what the number box shows
    QString currentName;
    QString nextName;
    QString idNumber = QStringLiteral("身份证号码");
    QString className;
    // The list beside the current student: rows current + 2 onwards, at most 34, up to and
    // including the first row whose name is empty.
    QStringList listNumbers;
    QStringList listNames;
    QStringList listMarks;
    ReviewSlot newer; // the previous student
    ReviewSlot older; // the one before
    QString total = QStringLiteral("0");
    QString photographed = QStringLiteral("0");
    QString remaining = QStringLiteral("0");
    QString
        notice; // what the last command did to the review pane ("已重拍 …"); until the next move
    // The students before the current one without a photo ("3 学生3"): skipped, or their photo
    // failed; to be called back before the class is packed.
    QStringList missing;

    // The names, numbers and list for the student at row current.
    void showStudent(const roster::RosterTable &table, int current);
    void showCounters(int studentCount, int photographedCount);
    void showMissing(const roster::RosterTable &table, int current, int studentCount);
};

} // namespace lumo::session
