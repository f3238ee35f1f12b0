// The import of the class list into the roster table: where the class ends, what is counted,
// and a failure that leaves the table alone.
#include "roster/RosterImport.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::roster;

TEST(RosterImport, ReadsUpToTheFirstEmptyNameAndCounts)
{
    RosterTable table;
    table.setCell(10, RosterTable::kName, "上一班的学生"); // of an earlier, longer class
    const RosterImportResult result = importRoster(fixturePath("class-xlwt.xls"), table);
    ASSERT_TRUE(result.ok) << result.reason.toStdString();
    EXPECT_EQ(result.studentCount, 8);   // the name of one blank counts
    EXPECT_EQ(result.withoutIdCount, 2); // "12345" and ""
    EXPECT_EQ(importSummary(result), "本此共导入8名学生，其中有2名无身份证学生");
    EXPECT_EQ(table.name(0), "姓名");
    EXPECT_EQ(table.cell(0, 6), "电话");
    EXPECT_EQ(table.photoMark(2), "是");
    EXPECT_EQ(table.className(2), "一年级1班");
    EXPECT_EQ(table.name(4), " ");
    EXPECT_EQ(table.name(10), "");   // neither read past the end nor left from the last class
    EXPECT_EQ(table.cell(1, 0), ""); // column 0 is never filled
}

TEST(RosterImport, TheClassEndsAtTheFirstEmptyNameAfterTheHeader)
{
    const std::pair<QString, int> classes[] = {
        {fixturePath("empty-name.xls"), 1}, // row 3 of 4 has no name
        {fixturePath("header-only.xls"), 0},
        {fixturePath("big-xlwt.xls"), 2999}, // row 3001 and later are never read
    };
    RosterTable table;
    for (const auto &[path, students] : classes) {
        const RosterImportResult result = importRoster(path, table);
        ASSERT_TRUE(result.ok) << path.toStdString();
        EXPECT_EQ(result.studentCount, students) << path.toStdString();
        EXPECT_EQ(table.name(students + 1), "") << path.toStdString();
    }
    EXPECT_EQ(table.name(2999), "学生2999");

    // The header row never ends the list, even with an empty column A.
    QTemporaryDir folder;
    writeBytes(folder.filePath("list.csv"), ",身份证号\r\n新生,1234567890\r\n");
    const RosterImportResult result = importRoster(folder.filePath("list.csv"), table);
    EXPECT_EQ(result.studentCount, 1);
    EXPECT_EQ(result.withoutIdCount, 0); // ten characters are an ID-card number
    EXPECT_EQ(importSummary({true, {}, 0, 0}), "本此共导入0名学生，其中有0名无身份证学生");
}

TEST(RosterImport, AFailureLeavesTheTableAsItWas)
{
    RosterTable table;
    ASSERT_TRUE(importRoster(fixturePath("class-xlwt.xls"), table).ok);
    const RosterImportResult result = importRoster(fixturePath("no-sheet1.xlsx"), table);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_EQ(table.name(1), "张三");

    // A relative path is taken from the program's folder.
    EXPECT_EQ(workbookPath("模板.xls", "/opt/lumo"), "/opt/lumo/模板.xls");
    EXPECT_EQ(workbookPath("/home/t/班级.xls", "/opt/lumo"), "/home/t/班级.xls");
}
