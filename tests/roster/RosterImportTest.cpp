// The import of the class list into the roster table: where the class ends, what is counted,
// and a failure that leaves the table alone.
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::roster;

TEST(RosterImport, ReadsUpToTheFirstEmptyNameCountsAndKeepsTheTableOnFailure)
{
    // The header row never ends the list, even with an empty column A.
    QTemporaryDir folder;
    writeBytes(folder.filePath("list.csv"), ",身份证号\r\n新生,1234567890\r\n");
    const std::tuple<QString, int, int> classes[] = {
        {fixturePath("empty-name.xls"), 1, 1}, // row 3 of 4 has no name; "1" is no ID
        {fixturePath("header-only.xls"), 0, 0},
        {folder.filePath("list.csv"), 1, 0},    // ten characters are an ID-card number
        {fixturePath("big-xlwt.xls"), 2999, 0}, // row 3001 and later are never read
        {fixturePath("class-xlwt.xls"), 8, 2}}; // a name of one blank counts; "12345", "": no ID
    RosterTable table;
    for (const auto &[path, students, withoutId] : classes) {
        const RosterImportResult result = importRoster(path, table);
        ASSERT_TRUE(result.ok) << path.toStdString() << ": " << result.reason.toStdString();
        EXPECT_EQ(result.studentCount, students) << path.toStdString();
        EXPECT_EQ(result.withoutIdCount, withoutId) << path.toStdString();
        EXPECT_NE(table.name(students), "") << path.toStdString();
        EXPECT_EQ(table.name(students + 1), "") << path.toStdString();
    }
    EXPECT_EQ(importSummary({true, {}, 8, 2}), "本此共导入8名学生，其中有2名无身份证学生");
    // A failure leaves the table alone. Sheet column A is table column 1; nothing is left from
    // the longer class before.
    writeBytes(folder.filePath("empty.xls"), {}); // no class of no students
    for (const QString &path : {fixturePath("no-sheet1.xlsx"), folder.filePath("empty.xls")}) {
        const RosterImportResult failed = importRoster(path, table);
        EXPECT_FALSE(failed.ok) << path.toStdString();
        EXPECT_FALSE(failed.reason.isEmpty());
    }
    const SheetGrid sheet = expectedClassGrid();
    for (int row = 0; row <= 10; ++row) {
        for (int column = 0; column < RosterTable::kColumns; ++column)
            EXPECT_EQ(table.cell(row, column),
                      column == 0 || row == 10 ? QString() : sheet.cell(row, column - 1))
                << row << "," << column;
    }
    // The workbook named by a relative path is in the program's folder.
    EXPECT_EQ(workbookPath("模板.xls", "/opt/lumo"), "/opt/lumo/模板.xls");
    EXPECT_EQ(workbookPath("/home/t/班级.xls", "/opt/lumo"), "/home/t/班级.xls");
}

TEST(RosterImport, NamesAndIdNumbersLoseTheWhiteSpaceAroundThemAndStillGetTheirMarks)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("padded.csv");
    writeBytes(path, "姓名,身份证号\n 张三\t, 110101201201011244 ,,一班 \n  ,2\n李四,3\n");
    RosterTable table;
    ASSERT_TRUE(importRoster(path, table).ok);
    // The ID-card number names the photo; a name of blanks is a student, not the end.
    EXPECT_EQ(QStringList({table.name(1), table.idNumber(1), table.className(1), table.name(2),
                           table.name(3)}),
              QStringList({"张三", "110101201201011244", "一班 ", "  ", "李四"}));
    table.setCell(1, RosterTable::kPhotoMark, kPhotoTakenMark);
    EXPECT_EQ(writePhotoMarks(path, photoMarksOf(table)).written, 1);
}
