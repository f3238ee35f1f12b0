// "lumo-cli report" as a script runs it, without a display: what it writes and its exit status.
#include "tests/report/ReportFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace reporttest;
using namespace Qt::StringLiterals;

namespace {

ProgramRun lumoCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(LUMO_CLI), QStringList{u"report"_s} + arguments);
}

class ReportCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // As over SSH or from a timer: no display to draw on.
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name);
        QDir(folder.path()).mkdir(u"photos"_s);
        writeBytes(
            workbook,
            u"姓名,身份证号,是否拍照,班级\n张三,110105200801011236,,一年级1班\n"
            "李四,110105200801015675,,一年级1班\n王五,11010520080101999X,,一年级1班\n"_s.toUtf8());
        writeBytes(photos + u"/110105200801011236.jpg"_s, photoJpeg());
        writeBytes(photos + u"/11010520080101999X.JPG"_s, photoJpeg());
    }

    QTemporaryDir folder;
    const QString workbook = folder.filePath(u"一年级1班.csv"_s);
    const QString photos = folder.filePath(u"photos"_s);
    const QString pdf = folder.filePath(u"一年级1班.pdf"_s);
    const QString csv = folder.filePath(u"一年级1班-名单.csv"_s);
};

} // namespace

TEST_F(ReportCommand, WritesTheReportAndItsTable)
{
    const ProgramRun run = lumoCli({workbook, photos, pdf, u"--csv"_s, csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, pdf + u": 2 of 3 students photographed, 1 page\n"_s);

    EXPECT_EQ(pdfPageCount(pdf), 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"一年级1班学籍照片"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(QDate::currentDate().toString(u"yyyy年M月d日"_s)));
    EXPECT_TRUE(text.contains(u"002李四"_s));
    EXPECT_TRUE(text.contains(u"未拍摄"_s));
    EXPECT_EQ(pdfImages(pdf).size(), 2);

    const QStringList rows = QString::fromUtf8(readBytes(csv).mid(3)).split(u"\r\n"_s);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[3], u"3,王五,1101**********999X,是,校验位错误,11010520080101999X.JPG"_s);

    // Without --csv, the PDF alone.
    QFile::remove(csv);
    EXPECT_EQ(lumoCli({workbook, photos, pdf}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(csv));
}

TEST_F(ReportCommand, ExitStatusTellsWhatWentWrong)
{
    const ProgramRun noWorkbook = lumoCli({folder.filePath(u"missing.xls"_s), photos, pdf});
    EXPECT_EQ(noWorkbook.exitCode, 2);
    EXPECT_TRUE(noWorkbook.err.startsWith(u"lumo-cli report: cannot read the class list of"_s))
        << noWorkbook.err.toStdString();

    const ProgramRun unwritable = lumoCli({workbook, photos, folder.filePath(u"no/r.pdf"_s)});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_FALSE(unwritable.err.isEmpty());
    EXPECT_EQ(lumoCli({workbook, photos, pdf, u"--csv"_s, folder.filePath(u"no/r.csv"_s)}).exitCode,
              1);

    EXPECT_EQ(lumoCli({workbook, photos}).exitCode, 2);
    EXPECT_EQ(lumoCli({workbook, folder.filePath(u"nowhere"_s), pdf}).exitCode, 2);
    // The registry code for students without a number: 10 digits, and the class number too.
    EXPECT_EQ(lumoCli({workbook, photos, pdf, u"--school-code"_s, u"12345"_s, u"--class-number"_s,
                       u"3"_s})
                  .exitCode,
              2);
    EXPECT_EQ(lumoCli({workbook, photos, pdf, u"--school-code"_s, u"1234567890"_s}).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(pdf));
}
