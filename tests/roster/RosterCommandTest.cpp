// "lumo-cli roster show|check|mark" as a script runs it: what it prints and its exit status.
#include "roster/CompoundFile.h"
#include "roster/Workbook.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // A line per student on the output, the count on the error stream; --header names the
    // columns, --json gives the same as objects.
    const ProgramRun run =
        lumoCli({"roster", "show", "--header", fixturePath("class-libreoffice.xlsx")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    EXPECT_EQ(lines.size(), 10); // the header, 8 students and the last line's end
    EXPECT_EQ(lines[0], "number\tname\tidNumber\tphotoMark\tclass");
    EXPECT_EQ(run.err, "students: 8, without an ID-card number: 2\n");
    const QJsonArray students =
        QJsonDocument::fromJson(
            lumoCli({"roster", "show", "--json", fixturePath("class-libreoffice.xlsx")}).outBytes)
            .array();
    ASSERT_EQ(students.size(), 8);
    EXPECT_EQ(students[0].toObject(), (QJsonObject{{"number", 1},
                                                   {"name", "张三"},
                                                   {"idNumber", "110101201001011234"},
                                                   {"photoMark", ""},
                                                   {"class", "一年级1班"},
                                                   {"withoutId", false}}));
    EXPECT_TRUE(students[2]["withoutId"].toBool()); // "12345"

    EXPECT_EQ(lumoCli({"roster", "show", fixturePath("no-sheet1.xls")}).exitCode, 2);

    QTemporaryDir folder;
    const QString path = copyFixture(folder.path(), "class-gnumeric.xls");
    const ProgramRun mark = lumoCli({"roster", "mark", path, "1", "7"});
    EXPECT_EQ(mark.exitCode, 0);
    EXPECT_EQ(mark.err, "lumo-cli roster mark: 2 photo marks written\n");
    const QStringList marked = lumoCli({"roster", "show", path}).out.split('\n');
    EXPECT_EQ(marked[0], "1\t张三\t110101201001011234\t是\t一年级1班");
    EXPECT_EQ(marked[6], "7\t孙八\t110101201001012222\t是\t");
    EXPECT_EQ(lumoCli({"roster", "mark", path, "9"}).exitCode, 2); // no such student
    EXPECT_EQ(lumoCli({"roster", "mark", fixturePath("encrypted.xls"), "1"}).exitCode, 2);

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
    EXPECT_EQ(faulty.err, "");
    const QJsonArray json =
        QJsonDocument::fromJson(
            lumoCli({"roster", "check", "--json", folder.filePath("faulty.csv")}).outBytes)
            .array();
    ASSERT_EQ(json.size(), 3);
    EXPECT_EQ(json[1].toObject(), (QJsonObject{{"number", 2},
                                               {"name", "李四"},
                                               {"idNumber", "11010519491231002x"},
                                               {"code", "format"},
                                               {"needsFixing", true}}));

    EXPECT_EQ(lumoCli({"roster", "check", folder.filePath("missing.csv")}).exitCode, 2);
}

TEST(RosterCommand, AWorkbookNamedInGbkIsRead)
{
    // "班级/一班.csv" in GBK, as a USB stick from Windows holds it; the shell passes the bytes.
    QTemporaryDir root;
    const QByteArray rootBytes = QFile::encodeName(root.path()) + '/';
    ASSERT_EQ(::mkdir((rootBytes + "\xB0\xE0\xBC\xB6").constData(), 0700), 0);
    const QByteArray csv = "姓名,身份证号,是否已照相,班级\n张三,110101201001011237,,一班\n";
    const int handle = ::open((rootBytes + "\xB0\xE0\xBC\xB6/\xD2\xBB\xB0\xE0.csv").constData(),
                              O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::write(handle, csv.constData(), csv.size()), csv.size());
    ::close(handle);
    const ProgramRun run = runProgram(
        "/bin/sh", {"-c", "cd \"$1\" && exec \"$0\" roster show */*.csv", LUMO_CLI, root.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "1\t张三\t110101201001011237\t\t一班\n");
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
         {std::pair{"commas.csv", "students: 0, without an ID-card number: 0\n"},
          std::pair{"bomb.xlsx", "students: 1, without an ID-card number: 1\n"},
          std::pair{"records.xls", "students: 8, without an ID-card number: 2\n"}}) {
        const ProgramRun run = runProgram(
            "prlimit", {"--as=268435456", LUMO_CLI, "roster", "show", folder.filePath(name)});
        EXPECT_TRUE(run.exitCode == 0 && run.err == summary) << name << run.err.toStdString();
    }
}
