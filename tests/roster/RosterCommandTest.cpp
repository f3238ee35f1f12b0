// "lumo-cli roster show|mark" as a script runs it: what it prints and its exit status.
#include "tests/roster/RosterFixtures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

static ProgramRun lumoCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(LUMO_CLI), arguments);
}

TEST(RosterCommand, ShowsTheClassAndMarksStudents)
{
    const ProgramRun run = lumoCli({"roster", "show", fixturePath("class-libreoffice.xlsx")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // A line per student, then the summary.
    EXPECT_EQ(run.out.split('\n').value(8), "本此共导入8名学生，其中有2名无身份证学生");
    const ProgramRun failed = lumoCli({"roster", "show", fixturePath("no-sheet1.xls")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.startsWith("请检查EXCEL文件是否存在")) << failed.err.toStdString();
    EXPECT_EQ(lumoCli({"roster", "show"}).exitCode, 2); // the usage

    QTemporaryDir folder;
    const QString path = copyFixture(folder.path(), "class-gnumeric.xls");
    const ProgramRun mark = lumoCli({"roster", "mark", path, "1", "7"});
    EXPECT_EQ(mark.out, "2 photo marks written\n") << mark.err.toStdString();
    const QStringList marked = lumoCli({"roster", "show", path}).out.split('\n');
    EXPECT_EQ(marked[0], "1\t张三\t110101201001011234\t是\t一年级1班");
    EXPECT_EQ(marked[6], "7\t孙八\t110101201001012222\t是\t");
    EXPECT_EQ(lumoCli({"roster", "mark", path, "9"}).exitCode, 2); // no such student
    EXPECT_EQ(lumoCli({"roster", "mark", fixturePath("encrypted.xls"), "1"}).exitCode, 1);

    // A full disk, as a file size limit: the system's reason is told, the workbook stays.
    const QByteArray before = readBytes(path);
    const ProgramRun full =
        runProgram("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 2; exec \"$0\" \"$@\"", LUMO_CLI,
                               "roster", "mark", path, "3"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << full.err.toStdString();
    EXPECT_EQ(readBytes(path), before);
}
