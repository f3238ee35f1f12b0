#include "tests/roster/RosterFixtures.h"
#include "tests/support/ProgramRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProgramRun lumoCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(LUMO_CLI), arguments);
}

} // namespace

TEST(RosterCommand, ShowPrintsOneLinePerStudentAndTheSummary)
{
    const ProgramRun run = lumoCli({"roster", "show", fixturePath("class-libreoffice.xlsx")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], "1\t张三\t110101201001011234\t\t一年级1班");
    EXPECT_EQ(lines[1], "2\t李四\t310104201207184000\t是\t一年级1班");
    EXPECT_EQ(lines[3], "4\t \t110101201001015678\t\t一年级1班");
    EXPECT_EQ(lines[8], "本此共导入8名学生，其中有2名无身份证学生");
}

TEST(RosterCommand, ShowFailsWithTheRequirementsMessage)
{
    const ProgramRun run = lumoCli({"roster", "show", fixturePath("no-sheet1.xls")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("请检查EXCEL文件是否存在")) << run.err.toStdString();
}

TEST(RosterCommand, MarkWritesTheMarksForThoseStudents)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("班级.xls");
    QFile::copy(fixturePath("class-gnumeric.xls"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const ProgramRun mark = lumoCli({"roster", "mark", path, "1", "7"});
    EXPECT_EQ(mark.exitCode, 0) << mark.err.toStdString();
    const ProgramRun show = lumoCli({"roster", "show", path});
    const QStringList lines = show.out.split('\n');
    EXPECT_EQ(lines[0], "1\t张三\t110101201001011234\t是\t一年级1班");
    EXPECT_EQ(lines[6], "7\t孙八\t110101201001012222\t是\t");
    EXPECT_EQ(lumoCli({"roster", "mark", path, "9"}).exitCode, 2); // no such student
    EXPECT_EQ(lumoCli({"roster", "mark", fixturePath("encrypted.xls"), "1"}).exitCode, 1);
}
