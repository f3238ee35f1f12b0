// Reading the class sheet out of every workbook format, and what is refused.
#include "roster/CellText.h"
#include "roster/CsvWorkbook.h"
#include "roster/Workbook.h"
#include "roster/WorkbookFormat.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lumo::roster;

TEST(WorkbookRead, EveryFormatAndMakerGivesTheSameClassSheet)
{
    // The last two carry the other format's file name: the first bytes decide.
    for (const QString &name : kClassFixtures + QStringList{"xlsx-named.xls", "xls-named.csv"}) {
        const SheetReadResult result = readWorkbookFile(fixturePath(name));
        EXPECT_EQ(result.grid, expectedClassGrid())
            << name.toStdString() << ": " << result.error.toStdString();
    }
    // A bare BIFF5 stream (no Compound File around it) is no text.
    EXPECT_EQ(detectWorkbookFormat(QByteArray("\x09\x08\x10\x00\x00\x06", 6)),
              WorkbookFormat::Unknown);
}

TEST(WorkbookRead, RefusesWhatIsNotAReadableClassList)
{
    // A pipe reports no size and never ends; nothing past the cap is read.
    QTemporaryDir folder;
    const QString fifo = folder.filePath("fifo.xls"), empty = folder.filePath("empty.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    writeBytes(empty, {});
    QFile huge(folder.filePath("huge.csv"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kLargestWorkbook + 1));
    const std::pair<QString, const char *> cases[] = {
        {fixturePath("no-sheet1.xls"), "no sheet named sheet1"},
        {fixturePath("no-sheet1.xlsx"), "no sheet named sheet1"},
        {fixturePath("class-biff5.xls"), "older than BIFF8"},
        {fixturePath("encrypted.xls"), "encrypted"},
        {fixturePath("missing.xls"), "No such file"},
        {empty, "the file is empty"},
        {huge.fileName(), "太大"},
        {fifo, "不是普通文件"}};
    for (const auto &[file, reason] : cases) {
        const QString error = readWorkbookFile(file).error;
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason)))
            << file.toStdString() << ": " << error.toStdString();
    }
}

TEST(WorkbookRead, CellsHoldTheCachedResultsOfFormulasAndUnquotedCsvFields)
{
    // Text comes from the STRING record after the FORMULA; ="" is an empty name.
    const SheetReadResult formulas = readWorkbookFile(fixturePath("formulas-libreoffice.xls"));
    EXPECT_EQ(formulas.grid, gridOf({{"姓名", "身份证号", "是否已照相", "班级"},
                                     {"张三", "110101201001011000", "是", "#DIV/0!"},
                                     {"李四", "110101201001015678", "TRUE", "一年级2班"},
                                     {"", "x"}}))
        << formulas.error.toStdString();
    // Quoted commas, quotes and line breaks, in either encoding.
    const QByteArray text = QByteArray("姓名,身份证号,是否已照相\n") +
                            "\"张,三\",\"11\"\"01\",\"多\n行\"\r\n" + "  ,x\n";
    for (const QByteArray &bytes : {text, gbk(QString::fromUtf8(text))}) {
        const SheetReadResult csv = readCsvWorkbook(bytes);
        EXPECT_EQ(csv.grid, gridOf({{"姓名", "身份证号", "是否已照相"},
                                    {"张,三", "11\"01", "多\n行"},
                                    {"  ", "x"}}))
            << csv.error.toStdString();
        EXPECT_EQ(csv.grid.rowCount(), 3);
    }
}

TEST(WorkbookRead, NumbersShowAsGeneralFormatButWholeNumbersInDigits)
{
    // An ID-card number stored as a number keeps the 15 digits the file holds.
    const std::pair<double, const char *> cases[] = {
        {-0.0, "0"},          {310104201207184123.0, "310104201207184000"},
        {1e21, "1E+21"},      {0.1 + 0.2, "0.3"},
        {-0.25, "-0.25"},     {1.0 / 3, "0.333333333333333"},
        {1.5e-10, "1.5E-10"}, {99999999999999.95, "100000000000000"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(celltext::numberText(value), text) << value;
}
