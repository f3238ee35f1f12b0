// The contact sheet as the teacher gets it, read back with poppler-utils: pages, text, the photos'
// printed size, the embedded font, and what happens when a photo or the file fails.
#include "report/ReportPdf.h"
#include "tests/report/ReportFixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::report;
using namespace reporttest;
using namespace Qt::StringLiterals;

namespace {

QString idOf(int number)
{
    return u"1101052008010%1"_s.arg(number, 5, 10, QChar(u'0'));
}

// A class of that many students, every one with a photo but those listed as missing.
ClassReport makeClass(const QTemporaryDir &folder, int count, const QList<int> &missing = {})
{
    ClassReport report;
    report.className = u"三年级二班"_s;
    report.date = QDate(2025, 3, 7);
    for (int number = 1; number <= count; ++number) {
        ReportStudent student{number, u"学生%1"_s.arg(number), idOf(number), QString(), QString()};
        if (!missing.contains(number)) {
            student.photoPath = folder.filePath(student.idNumber + u".jpg"_s);
            writeBytes(student.photoPath, photoJpeg(number * 40 % 256));
        }
        report.students << student;
    }
    return report;
}

QString written(const ClassReport &report, const QTemporaryDir &folder)
{
    const QString pdf = folder.filePath(u"报表.pdf"_s);
    QString error;
    EXPECT_TRUE(writeReportPdf(report, pdf, &error)) << error.toStdString();
    return pdf;
}

} // namespace

TEST(ReportPdf, ShowsEveryStudentMaskedAndTheLineToSign)
{
    QTemporaryDir folder;
    ClassReport report = makeClass(folder, 5, {2, 4});
    report.students[2].finding = u"校验位错误"_s;
    const QString pdf = written(report, folder);

    EXPECT_EQ(pdfPageCount(pdf), 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"三年级二班"_s));
    EXPECT_TRUE(text.contains(u"2025年3月7日"_s));
    EXPECT_TRUE(text.contains(u"已拍3/共5人"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"未拍2人"_s));
    for (const ReportStudent &student : report.students) {
        EXPECT_TRUE(
            text.contains(u"%1%2"_s.arg(student.number, 3, 10, QChar(u'0')).arg(student.name)));
        EXPECT_TRUE(text.contains(maskedId(student.idNumber)));
        EXPECT_FALSE(text.contains(student.idNumber));
        // Nor anywhere else in the file, as text of the document's own.
        EXPECT_FALSE(readBytes(pdf).contains(student.idNumber.toLatin1()));
    }
    EXPECT_EQ(text.count(u"未拍摄"_s), 2);
    EXPECT_TRUE(text.contains(u"校验位错误"_s));
    EXPECT_TRUE(text.contains(u"班主任签字：________________日期：________________"_s))
        << text.toStdString();
    EXPECT_TRUE(text.contains(u"第1页/共1页"_s));
    // The Chinese font travels with the file: the teacher's computer may have none.
    const QString fonts = pdfFonts(pdf);
    EXPECT_TRUE(
        fonts.contains(QRegularExpression(u"WenQuanYi\\S*\\s+CID TrueType\\s+\\S+\\s+yes"_s)))
        << fonts.toStdString();
}

TEST(ReportPdf, PhotosArePrintedAtTheirTrueSize)
{
    QTemporaryDir folder;
    ClassReport report = makeClass(folder, 4);
    // A camera original and a landscape picture put into the folder by hand: fitted into the
    // photo's box, the original brought down in pixels.
    writeBytes(report.students[2].photoPath, photoJpeg(99, 1300, 1600));
    writeBytes(report.students[3].photoPath, photoJpeg(99, 320, 260));
    const QList<PdfImage> images = pdfImages(written(report, folder));

    ASSERT_EQ(images.size(), 4);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(images[i].widthMm, 26, 0.5);
        EXPECT_NEAR(images[i].heightMm, 32, 0.5);
    }
    EXPECT_EQ(images[0].width, 260);
    EXPECT_EQ(images[0].height, 320);
    EXPECT_LE(images[2].width, 520);
    EXPECT_LE(images[2].height, 640);
    EXPECT_NEAR(images[3].widthMm, 26, 0.5);
    EXPECT_NEAR(images[3].heightMm, 26.0 * 260 / 320, 0.5);
}

TEST(ReportPdf, ThirtyOneStudentsTakeTwoPagesAndTheLastIsSigned)
{
    QTemporaryDir folder;
    const QString pdf = written(makeClass(folder, 31, {30}), folder);

    EXPECT_EQ(pdfPageCount(pdf), 2);
    const QString first = pdfText(pdf, 1);
    const QString last = pdfText(pdf, 2);
    EXPECT_TRUE(first.contains(u"030学生30"_s));
    EXPECT_FALSE(first.contains(u"031学生31"_s));
    EXPECT_TRUE(last.contains(u"031学生31"_s));
    EXPECT_EQ(first.count(u"未拍摄"_s), 1);
    EXPECT_FALSE(last.contains(u"未拍摄"_s));
    EXPECT_TRUE(first.contains(u"第1页/共2页"_s));
    EXPECT_TRUE(last.contains(u"第2页/共2页"_s));
    EXPECT_FALSE(first.contains(u"班主任签字"_s));
    EXPECT_TRUE(last.contains(u"班主任签字"_s));
    // Both pages carry the class and its counts, for a page that gets separated.
    EXPECT_TRUE(first.contains(u"已拍30/共31人"_s));
    EXPECT_TRUE(last.contains(u"已拍30/共31人"_s));
    // Each photo on its student's page.
    const QList<PdfImage> images = pdfImages(pdf);
    ASSERT_EQ(images.size(), 30);
    EXPECT_EQ(images[28].page, 1);
    EXPECT_EQ(images[29].page, 2);
}

TEST(ReportPdf, APhotoThatCannotBeReadIsShownAsSuch)
{
    QTemporaryDir folder;
    ClassReport report = makeClass(folder, 3);
    writeBytes(report.students[0].photoPath, "not a picture");
    writeBytes(report.students[1].photoPath, photoJpeg(10).left(2000)); // cut off while copied
    const QString pdf = written(report, folder);

    const QString text = pdfText(pdf);
    EXPECT_EQ(text.count(u"照片无法读取"_s), 2) << text.toStdString();
    EXPECT_FALSE(text.contains(u"未拍摄"_s));
    EXPECT_EQ(pdfImages(pdf).size(), 1);
}

TEST(ReportPdf, AReportIsWrittenWholeOrNotAtAll)
{
    QTemporaryDir folder;
    const ClassReport report = makeClass(folder, 8);
    const QString pdf = folder.filePath(u"报表.pdf"_s);
    writeBytes(pdf, "the report of yesterday");
    const auto filesInFolder = [&] {
        return QDir(folder.path()).entryList({u"*.pdf"_s, u"*.part"_s}, QDir::Files | QDir::Hidden);
    };

    QList<int> seen;
    QString error;
    EXPECT_FALSE(writeReportPdf(report, pdf, &error, [&](int done, int total) {
        seen << done;
        EXPECT_EQ(total, 8);
        return done < 3;
    }));
    EXPECT_EQ(seen, (QList<int>{1, 2, 3}));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(pdf), "the report of yesterday");
    EXPECT_EQ(filesInFolder(), QStringList{u"报表.pdf"_s});

    seen.clear();
    ASSERT_TRUE(writeReportPdf(report, pdf, &error, [&](int done, int) {
        seen << done;
        return true;
    }));
    EXPECT_EQ(seen, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(pdfPageCount(pdf), 1);
    EXPECT_EQ(filesInFolder(), QStringList{u"报表.pdf"_s});

    error.clear();
    EXPECT_FALSE(writeReportPdf(report, folder.filePath(u"missing/报表.pdf"_s), &error));
    EXPECT_TRUE(error.contains(u"missing"_s)) << error.toStdString();
}

TEST(ReportPdf, AnEmptyClassStillGivesAPageToSign)
{
    QTemporaryDir folder;
    const QString pdf = written(ClassReport{u"一班"_s, QDate(2025, 1, 2), {}}, folder);
    EXPECT_EQ(pdfPageCount(pdf), 1);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"已拍0/共0人"_s));
    EXPECT_TRUE(text.contains(u"班主任签字"_s));
}
