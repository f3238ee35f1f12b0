// "lumo-cli roster show|check|mark" as a script runs it: what it prints and its exit status.
#include "roster/CompoundFile.h"
#include "roster/Workbook.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <map>

using namespace lumo::roster;

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

TEST(RosterCommand, ChecksTheIdCardNumbersAndExitsByWhatItFinds)
{
    QTemporaryDir folder;
    const auto check = [&](const char *name, const QStringList &students) {
        const QString path = folder.filePath(name);
        writeBytes(path, ("姓名,身份证号,是否已照相,班级\n" + students.join('\n') + '\n').toUtf8());
        return lumoCli({"roster", "check", path});
    };
    // Another document is told, but needs no fixing.
    const ProgramRun clean =
        check("clean.csv", {"张三,11010519491231002X,,一班", "陈一,H12345678,,一班"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    EXPECT_EQ(clean.out, "2\t陈一\tH12345678\tnot-resident-id\n");

    const ProgramRun faulty = check("faulty.csv", {"张三,110101201001011234,,一班",
                                                   "李四,11010519491231002x,,一班", "王五,,,一班"});
    EXPECT_EQ(faulty.exitCode, 1) << faulty.err.toStdString();
    EXPECT_EQ(faulty.out, "1\t张三\t110101201001011234\tchecksum\n"
                          "2\t李四\t11010519491231002x\tformat\n"
                          "3\t王五\t\tmissing-id\n");

    const ProgramRun unreadable = lumoCli({"roster", "check", folder.filePath("missing.csv")});
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_EQ(unreadable.out, "");
    EXPECT_TRUE(unreadable.err.startsWith("请检查EXCEL文件是否存在"))
        << unreadable.err.toStdString();
}

TEST(RosterCommand, HugeWorkbooksAreReadWithinBoundedMemory)
{
    // Made to take a reader's memory: a line of commas, an .xlsx of a few hundred KB that inflates
    // to 63 MB of shared strings and 63 MB of sheet, an .xls of millions of empty records. Each
    // gives its class within 256 MB of address space (larger files are refused unread).
    QTemporaryDir folder;
    writeBytes(folder.filePath("commas.csv"), QByteArray(kLargestWorkbook - 1, ','));
    const std::map<const char *, QByteArray> parts = {
        {"xl/workbook.xml", "<workbook xmlns:r=\"r\"><sheets><sheet name=\"Sheet1\" r:id=\"s\"/>"
                            "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"s\" Target=\"s.xml\"/><Relationship Id=\"t\" "
         "Type=\"/sharedStrings\" Target=\"t.xml\"/></Relationships>"},
        {"xl/s.xml", "<worksheet><sheetData><row/><row><c t=\"s\"><v>1</v></c>" +
                         QByteArray("<c t=\"s\"><v>0</v></c>").repeated((63 << 20) / 21) +
                         "</row></sheetData></worksheet>"},
        {"xl/t.xml", "<sst><si><t>x</t></si><si><t>张三</t></si>" +
                         QByteArray("<si><t>x</t></si>").repeated((63 << 20) / 18) + "</sst>"}};
    zip_t *xlsx = zip_open(QFile::encodeName(folder.filePath("bomb.xlsx")), ZIP_CREATE, nullptr);
    for (const auto &[name, content] : parts)
        zip_file_add(xlsx, name, zip_source_buffer(xlsx, content.data(), content.size(), 0), 0);
    ASSERT_EQ(zip_close(xlsx), 0);
    QString error;
    const auto xls = CompoundFile::open(readBytes(fixturePath("class-xlwt.xls")), &error);
    const int workbook = xls->findStream("Workbook");
    QByteArray stream = *xls->stream(workbook, &error);
    stream.truncate(stream.lastIndexOf(QByteArray("\x0A\0\0\0", 4)) + 4); // sector slack
    stream += QByteArray("\xE5\0\0\0", 4).repeated((kLargestWorkbook >> 2) - (1 << 18));
    writeBytes(folder.filePath("records.xls"),
               *rewriteCompoundFile(*xls, workbook, stream, &error));

    for (const auto &[name, summary] :
         {std::pair{"commas.csv", "本此共导入0名学生，其中有0名无身份证学生\n"},
          std::pair{"bomb.xlsx", "本此共导入1名学生，其中有1名无身份证学生\n"},
          std::pair{"records.xls", "本此共导入8名学生，其中有2名无身份证学生\n"}}) {
        const ProgramRun run = runProgram(
            "prlimit", {"--as=268435456", LUMO_CLI, "roster", "show", folder.filePath(name)});
        EXPECT_TRUE(run.exitCode == 0 && run.out.endsWith(summary))
            << name << run.err.toStdString();
    }
}
