// The contact sheet as the teacher gets it, read back with poppler-utils.
#include "report/ReportPdf.h"
#include "tests/report/ReportFixtures.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::report;
using namespace reporttest;
using namespace Qt::StringLiterals;

namespace {

// A class of that many students, every one with a photo but those listed as missing.
ClassReport makeClass(const QTemporaryDir &folder, int count, const QList<int> &missing = {})
{
    ClassReport report{u"三年级二班"_s, QDate(2025, 3, 7), {}};
    for (int number = 1; number <= count; ++number) {
        const QString id = u"1101052008010%1"_s.arg(number, 5, 10, QChar(u'0'));
        const QString photo =
            missing.contains(number) ? QString() : folder.filePath(id + u".jpg"_s);
        if (!photo.isEmpty())
            writeBytes(photo, photoJpeg());
        report.students << ReportStudent{number, u"学生%1"_s.arg(number), id, QString(), photo};
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

TEST(ReportPdf, ThirtyStudentsAPageMaskedAtTrueSizeAndTheLastPageSigned)
{
    QTemporaryDir folder;
    ClassReport report = makeClass(folder, 31, {2, 30});
    report.students[2].finding = u"校验位错误"_s;
    const QString pdf = written(report, folder);

    ASSERT_EQ(pdfPageCount(pdf), 2);
    const QString pages[] = {pdfText(pdf, 1), pdfText(pdf, 2)};
    for (const ReportStudent &student : report.students) {
        const QString &page = pages[student.number > 30];
        EXPECT_TRUE(
            page.contains(u"%1%2"_s.arg(student.number, 3, 10, QChar(u'0')).arg(student.name)));
        EXPECT_TRUE(page.contains(maskedId(student.idNumber)));
        EXPECT_FALSE(page.contains(student.idNumber));
    }
    for (int page : {0, 1}) { // the class and its counts on each page, should one get separated
        EXPECT_TRUE(pages[page].contains(u"三年级二班学籍照片"_s));
        EXPECT_TRUE(pages[page].contains(u"2025年3月7日已拍29/共31人未拍2人"_s));
        EXPECT_TRUE(pages[page].contains(u"第%1页/共2页"_s.arg(page + 1)));
    }
    EXPECT_EQ(pages[0].count(u"未拍摄"_s), 2);
    EXPECT_TRUE(pages[0].contains(u"校验位错误"_s));
    EXPECT_FALSE(pages[0].contains(u"班主任签字"_s));
    EXPECT_TRUE(pages[1].contains(u"班主任签字：________________日期：________________"_s))
        << pages[1].toStdString();
    // The Chinese font travels with the file: the teacher's computer may have none.
    EXPECT_TRUE(
        runProgram("pdffonts", {pdf})
            .out.contains(QRegularExpression(u"WenQuanYi\\S*\\s+CID TrueType\\s+\\S+\\s+yes"_s)));

    const QList<PdfImage> images = pdfImages(pdf);
    ASSERT_EQ(images.size(), 29);
    for (const PdfImage &image : images) {
        EXPECT_NEAR(image.widthMm, 26, 0.5);
        EXPECT_NEAR(image.heightMm, 32, 0.5);
    }
    EXPECT_EQ(images[27].page, 1);
    EXPECT_EQ(images[28].page, 2);
}

TEST(ReportPdf, PicturesNotAsLumoSavesThemAreFittedOrToldUnreadable)
{
    QTemporaryDir folder;
    ClassReport report = makeClass(folder, 3);
    writeBytes(report.students[0].photoPath, "not a picture");
    writeBytes(report.students[1].photoPath, photoJpeg(1300, 1600)); // a camera original
    writeBytes(report.students[2].photoPath, photoJpeg(320, 260));
    const QString pdf = written(report, folder);

    EXPECT_EQ(pdfText(pdf).count(u"照片无法读取"_s), 1);
    const QList<PdfImage> images = pdfImages(pdf);
    ASSERT_EQ(images.size(), 2);
    EXPECT_NEAR(images[0].heightMm, 32, 0.5);
    EXPECT_LE(images[0].width, 520); // brought down to twice the photo's pixels
    EXPECT_NEAR(images[1].widthMm, 26, 0.5);
    EXPECT_NEAR(images[1].heightMm, 26.0 * 260 / 320, 0.5);
}

TEST(ReportPdf, ACancelledReportLeavesThePreviousOneAlone)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"报表.pdf"_s);
    writeBytes(pdf, "the report of yesterday");
    QList<int> seen;
    QString error;
    EXPECT_FALSE(writeReportPdf(makeClass(folder, 8), pdf, &error, [&](int done, int total) {
        seen << done;
        EXPECT_EQ(total, 8);
        return done < 3;
    }));
    EXPECT_EQ(seen, (QList<int>{1, 2, 3}));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(pdf), "the report of yesterday");
    EXPECT_EQ(QDir(folder.path()).entryList({u"*.pdf"_s, u"*.part"_s}, QDir::Files | QDir::Hidden),
              QStringList{u"报表.pdf"_s});
}

TEST(ReportPdf, AnEmptyClassStillGivesAPageToSign)
{
    QTemporaryDir folder;
    const QString text = pdfText(written(ClassReport{u"一班"_s, QDate(2025, 1, 2), {}}, folder));
    EXPECT_TRUE(text.contains(u"已拍0/共0人"_s));
    EXPECT_TRUE(text.contains(u"班主任签字"_s));
}
