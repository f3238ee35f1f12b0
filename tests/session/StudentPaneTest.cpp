#include "roster/StudentView.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

RosterTable classOf(int students)
{
    RosterTable table;
    table.setCell(0, RosterTable::kName, QStringLiteral("姓名"));
    for (int row = 1; row <= students; ++row) {
        table.setCell(row, RosterTable::kName, QStringLiteral("学生%1").arg(row));
        table.setCell(row, RosterTable::kIdNumber,
                      QStringLiteral("1101012010%1").arg(row, 8, 10, QLatin1Char('0')));
    }
    return table;
}

} // namespace

TEST(StudentView, ReviewNumbersHaveAtLeastThreeDigits)
{
    EXPECT_EQ(roster::threeDigitNumber(1), QStringLiteral("001"));
    EXPECT_EQ(roster::threeDigitNumber(12), QStringLiteral("012"));
    EXPECT_EQ(roster::threeDigitNumber(123), QStringLiteral("123"));
    EXPECT_EQ(roster::threeDigitNumber(1234), QStringLiteral("1234"));
}

TEST(StudentView, ListStopsAfterTheEndOfTheClass)
{
    const RosterTable five = classOf(5);
    const roster::UpcomingList atFour = roster::upcomingStudents(five, 4);
    EXPECT_EQ(atFour.numbers, QStringList{QStringLiteral("6")});
    EXPECT_EQ(atFour.names, QStringList{QString()});

    const roster::UpcomingList atOne = roster::upcomingStudents(five, 1);
    EXPECT_EQ(atOne.numbers, (QStringList{"3", "4", "5", "6"}));
    EXPECT_EQ(atOne.names.last(), QString());

    const RosterTable large = classOf(100);
    const roster::UpcomingList full = roster::upcomingStudents(large, 1);
    EXPECT_EQ(full.names.size(), roster::kListLength);
    EXPECT_EQ(full.numbers.first(), QStringLiteral("3"));
    EXPECT_EQ(full.numbers.last(), QStringLiteral("36"));

    // At the last viewable number the list reads to the table's last row and no further.
    const roster::UpcomingList atEnd =
        roster::upcomingStudents(classOf(3000), roster::kHighestViewableIndex);
    EXPECT_EQ(atEnd.numbers, QStringList{QStringLiteral("3000")});
}

TEST(StudentView, PhotographedCountStopsAtTheEndOfTheClass)
{
    RosterTable table = classOf(5);
    table.setCell(0, RosterTable::kPhotoMark, kPhotoTakenMark); // header: never counted
    table.setCell(2, RosterTable::kPhotoMark, kPhotoTakenMark);
    table.setCell(5, RosterTable::kPhotoMark, kPhotoTakenMark);
    table.setCell(8, RosterTable::kPhotoMark, kPhotoTakenMark); // after the end
    table.setCell(3, RosterTable::kPhotoMark, QStringLiteral("否"));
    EXPECT_EQ(roster::countPhotographed(table), 2);
}

TEST(StudentView, PhotosAreFoundOnlyInsideTheirFolders)
{
    QTemporaryDir output, backup;
    writeBytes(QDir(backup.path()).filePath(QStringLiteral("110101201000000002.jpg")), "x");
    writeBytes(QDir(output.path()).filePath(QStringLiteral("110101201000000003.jpg")), "x");
    writeBytes(QDir(backup.path()).filePath(QStringLiteral("110101201000000003.jpg")), "x");

    EXPECT_EQ(roster::findStudentPhoto(output.path(), backup.path(),
                                       QStringLiteral("110101201000000002")),
              QDir(backup.path()).filePath(QStringLiteral("110101201000000002.jpg")));
    EXPECT_EQ(roster::findStudentPhoto(output.path(), backup.path(),
                                       QStringLiteral("110101201000000003")),
              QDir(output.path()).filePath(QStringLiteral("110101201000000003.jpg")));
    EXPECT_TRUE(
        roster::findStudentPhoto(output.path(), backup.path(), QStringLiteral("110101201000000004"))
            .isEmpty());

    // A number that would reach outside the folder is never looked up.
    writeBytes(QDir(output.path()).filePath(QStringLiteral("secret.jpg")), "x");
    const QString escape =
        QStringLiteral("../") + QDir(output.path()).dirName() + QStringLiteral("/secret");
    EXPECT_TRUE(roster::findStudentPhoto(backup.path(), backup.path(), escape).isEmpty());
    EXPECT_TRUE(roster::findStudentPhoto(output.path(), backup.path(), QString()).isEmpty());
}
