// The class report's rules without a display: masked numbers, each student's photo, the table.
#include "report/ClassReport.h"
#include "report/ReportCsv.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::report;
using namespace Qt::StringLiterals;

TEST(ClassReport, MaskedIdShowsAtMostAQuarterAtEachEnd)
{
    EXPECT_EQ(maskedId(u"11010520080101123X"_s), u"1101**********123X"_s);
    EXPECT_EQ(maskedId(u"110105080101123"_s), u"110*********123"_s);
    EXPECT_EQ(maskedId(u"G1234567"_s), u"G1****67"_s);
    EXPECT_EQ(maskedId(u"123"_s), u"***"_s);
}

TEST(ClassReport, FindsThePhotoAsLumoSavesIt)
{
    QTemporaryDir folder;
    const QString path = folder.path();
    const auto photo = [&](const QString &name) {
        writeBytes(folder.filePath(name), "jpeg");
        return folder.filePath(name);
    };
    const QString capital = photo(u"11010520080101567X.JPG"_s); // as a camera names it
    EXPECT_EQ(studentPhotoPath(path, u"李四"_s, u"11010520080101567X"_s), capital);
    // A longer number is saved under its last 18 characters, else found under the whole one.
    const QString longNumber = u"A-110105200801011111"_s;
    const QString shortKey = photo(u"110105200801011111.jpg"_s);
    EXPECT_EQ(studentPhotoPath(path, u"赵六"_s, longNumber), shortKey);
    QFile::remove(shortKey);
    const QString wholeNumber = photo(longNumber + u".jpg"_s);
    EXPECT_EQ(studentPhotoPath(path, u"赵六"_s, longNumber), wholeNumber);

    // None: no file, a folder named as the photo, a number that is no plain file name.
    EXPECT_EQ(studentPhotoPath(path, u"王五"_s, u"110105200801019999"_s), QString());
    QDir(path).mkpath(u"sub/110105200801014444.jpg"_s);
    EXPECT_EQ(studentPhotoPath(path + u"/sub"_s, u"郑九"_s, u"110105200801014444"_s), QString());
    photo(u"sub/110105200801013333.jpg"_s);
    EXPECT_EQ(studentPhotoPath(path, u"吴八"_s, u"sub/110105200801013333"_s), QString());
}

TEST(ClassReport, ReadsTheClassItsFindingsAndPhotosFromTheRoster)
{
    QTemporaryDir folder;
    lumo::roster::RosterTable table;
    // Valid; without a number; a wrong check character; without a number, photographed under
    // the registry's name.
    const QStringList ids = {u"110105200801011236"_s, u"1234"_s, u"110105200801015678"_s,
                             QString()};
    for (int row = 1; row <= 4; ++row) {
        table.setCell(row, lumo::roster::RosterTable::kName, u"学生%1"_s.arg(row));
        table.setCell(row, lumo::roster::RosterTable::kIdNumber, ids[row - 1]);
    }
    table.setCell(5, lumo::roster::RosterTable::kName, u"不在班上"_s);
    writeBytes(folder.filePath(ids[2] + u".jpg"_s), "jpeg");
    QDir(folder.path()).mkdir(u"无身份证学生"_s);
    const QString withoutId = folder.filePath(u"无身份证学生/1234567890_3_学生4.jpg"_s);
    writeBytes(withoutId, "jpeg");

    ClassReport report;
    report.students = reportStudents(table, 4, folder.path());
    ASSERT_EQ(report.students.size(), 4);
    EXPECT_EQ(report.students[1].number, 2);
    EXPECT_EQ(report.students[1].name, u"学生2"_s);
    EXPECT_EQ(report.students[1].idNumber, u"1234"_s);
    EXPECT_EQ(report.students[2].photoPath, folder.filePath(ids[2] + u".jpg"_s));
    EXPECT_EQ(report.students[3].photoPath, QString()) << "no registry code: no name to find";
    EXPECT_EQ(report.photographedCount(), 1);
    EXPECT_EQ(report.students[0].finding, QString());
    EXPECT_EQ(report.students[1].finding, u"没有身份证号"_s);
    EXPECT_EQ(report.students[2].finding, u"校验位错误"_s);

    report.students = reportStudents(table, 4, folder.path(), {u"1234567890"_s, u"3"_s});
    EXPECT_EQ(report.students[3].photoPath, withoutId);
    EXPECT_EQ(report.photographedCount(), 2);
}

TEST(ClassReport, TheTableOpensInExcelQuotesAsRfc4180SaysAndRunsNoFormula)
{
    ClassReport report;
    report.students = {
        {1, u"张三"_s, u"110105200801011234"_s, QString(), u"/photos/110105200801011234.jpg"_s},
        {2, u"O'Neil, \"Jo\""_s, u"11010520080101567X"_s, u"校验位错误"_s, QString()},
        {3, u"两行\n名字"_s, QString(), QString(), QString()},
        {4, u"=HYPERLINK(\"x\")"_s, QString(), QString(), QString()},
    };
    const QByteArray csv = reportCsv(report);
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(csv.mid(3)),
              u"序号,姓名,身份证号,已拍照,问题,照片文件\r\n"
              "1,张三,1101**********1234,是,,110105200801011234.jpg\r\n"
              "2,\"O'Neil, \"\"Jo\"\"\",1101**********567X,否,校验位错误,\r\n"
              "3,\"两行\n名字\",,否,,\r\n"
              "4,\"'=HYPERLINK(\"\"x\"\")\",,否,,\r\n"_s);
}
