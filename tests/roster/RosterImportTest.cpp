#include "roster/RosterImport.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RosterImport, ReadsUpToTheFirstEmptyNameAndCounts)
{
    RosterTable table;
    const RosterImportResult result = importRoster(fixturePath("class-xlwt.xls"), table);
    ASSERT_TRUE(result.ok) << result.reason.toStdString();
    EXPECT_EQ(result.studentCount, 8);   // the name of one blank counts
    EXPECT_EQ(result.withoutIdCount, 2); // "12345" and ""
    EXPECT_EQ(importSummary(result), "本此共导入8名学生，其中有2名无身份证学生");
    EXPECT_EQ(table.name(0), "姓名");
    EXPECT_EQ(table.cell(0, 6), "电话");
    EXPECT_EQ(table.idNumber(2), "310104201207184000");
    EXPECT_EQ(table.photoMark(2), "是");
    EXPECT_EQ(table.name(4), " ");
    EXPECT_EQ(table.name(9), "");    // the end row is stored as well
    EXPECT_EQ(table.name(10), "");   // rows after it are not read
    EXPECT_EQ(table.cell(1, 0), ""); // column 0 is never filled
}

TEST(RosterImport, EmptyNameMidListAndHeaderOnly)
{
    RosterTable table;
    RosterImportResult result = importRoster(fixturePath("empty-name.xls"), table);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.studentCount, 1);
    EXPECT_EQ(table.name(3), "");

    result = importRoster(fixturePath("header-only.xls"), table);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.studentCount, 0);
    EXPECT_EQ(importSummary(result), "本此共导入0名学生，其中有0名无身份证学生");
}

TEST(RosterImport, AFullSheetGives2999Students)
{
    RosterTable table;
    const RosterImportResult result = importRoster(fixturePath("big-xlwt.xls"), table);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.studentCount, 2999);
    EXPECT_EQ(table.name(2999), "学生2999");
}

TEST(RosterImport, FailureLeavesTheTableAsItWas)
{
    RosterTable table;
    ASSERT_TRUE(importRoster(fixturePath("class-xlwt.xls"), table).ok);
    const RosterImportResult result = importRoster(fixturePath("no-sheet1.xlsx"), table);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_EQ(table.name(1), "张三");
}

TEST(RosterImport, HeaderWithEmptyColumnADoesNotEndTheList)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("list.csv");
    writeBytes(path, ",身份证号\r\n新生,1234567890\r\n");
    RosterTable table;
    table.setCell(2, RosterTable::kName, "上一班的学生");
    const RosterImportResult result = importRoster(path, table);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.studentCount, 1);
    EXPECT_EQ(table.name(1), "新生");
}

TEST(RosterImport, RelativePathsAreTakenFromTheProgramFolder)
{
    EXPECT_EQ(workbookPath("模板.xls", "/opt/lumo"), "/opt/lumo/模板.xls");
    EXPECT_EQ(workbookPath("/home/t/班级.xls", "/opt/lumo"), "/home/t/班级.xls");
}
