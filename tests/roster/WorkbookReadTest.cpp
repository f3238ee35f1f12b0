// Reading the class sheet out of every workbook format, and what is refused.
#include "roster/CellText.h"
#include "roster/CsvWorkbook.h"
#include "roster/Workbook.h"
#include "roster/WorkbookFormat.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

using namespace lumo::roster;

TEST(WorkbookRead, EveryFormatAndMakerGivesTheSameClassSheet)
{
    // The last two carry the other format's file name: the first bytes decide.
    for (const QString &name : kClassFixtures + QStringList{"xlsx-named.xls", "xls-named.csv"}) {
        const SheetReadResult result = readWorkbookFile(fixturePath(name));
        ASSERT_TRUE(result.ok()) << name.toStdString() << ": " << result.error.toStdString();
        const SheetGrid expected = expectedClassGrid();
        for (int row = 0; row < std::max(result.grid.rowCount(), expected.rowCount()); ++row) {
            for (int column = 0; column < SheetGrid::kColumns; ++column)
                EXPECT_EQ(result.grid.cell(row, column), expected.cell(row, column))
                    << name.toStdString() << " row " << row + 1 << " column " << column + 1;
        }
    }
    // A bare BIFF5 stream (no Compound File around it) is no text.
    EXPECT_EQ(detectWorkbookFormat(QByteArray("\x09\x08\x10\x00\x00\x06", 6)),
              WorkbookFormat::Unknown);
}

TEST(WorkbookRead, RefusesWhatIsNotAReadableClassList)
{
    const std::pair<const char *, const char *> cases[] = {
        {"no-sheet1.xls", "no sheet named sheet1"},
        {"no-sheet1.xlsx", "no sheet named sheet1"},
        {"class-biff5.xls", "older than BIFF8"},
        {"encrypted.xls", "encrypted"},
        {"missing.xls", "cannot open"},
    };
    for (const auto &[file, reason] : cases) {
        const SheetReadResult result = readWorkbookFile(fixturePath(file));
        EXPECT_FALSE(result.ok()) << file;
        EXPECT_TRUE(result.error.contains(QLatin1String(reason)))
            << file << ": " << result.error.toStdString();
    }
}

TEST(WorkbookRead, FormulasGiveTheirCachedResults)
{
    const SheetReadResult result = readWorkbookFile(fixturePath("formulas-libreoffice.xls"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const SheetGrid &g = result.grid;
    EXPECT_EQ(g.cell(1, 0), "张三"); // text, from the STRING record after the FORMULA
    EXPECT_EQ(g.cell(1, 1), "110101201001011000");
    EXPECT_EQ(g.cell(1, 2), "是");
    EXPECT_EQ(g.cell(1, 3), "#DIV/0!");
    EXPECT_EQ(g.cell(2, 1), "110101201001015678");
    EXPECT_EQ(g.cell(2, 2), "TRUE");
    EXPECT_EQ(g.cell(2, 3), "一年级2班");
    EXPECT_EQ(g.cell(3, 0), ""); // ="" is an empty name
}

TEST(WorkbookRead, OnlyRows1To3000AreKept)
{
    for (const char *name : {"big-xlwt.xls", "big-gnumeric.xls", "big-openpyxl.xlsx"}) {
        const SheetReadResult result = readWorkbookFile(fixturePath(name));
        ASSERT_TRUE(result.ok()) << name;
        EXPECT_EQ(result.grid.rowCount(), 3000) << name;
        EXPECT_EQ(result.grid.cell(2999, 0), "学生2999") << name;
        EXPECT_EQ(result.grid.cell(1, 1), "110101201000000001") << name;
    }
}

TEST(WorkbookRead, CsvInEitherEncodingWithQuotes)
{
    const QByteArray text = QByteArray("姓名,身份证号,是否已照相\n") +
                            "\"张,三\",\"11\"\"01\",\"多\n行\"\r\n" + "  ,x\n";
    for (const QByteArray &bytes : {text, gbk(QString::fromUtf8(text))}) {
        const SheetReadResult result = readCsvWorkbook(bytes);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.grid.cell(1, 0), "张,三");
        EXPECT_EQ(result.grid.cell(1, 1), "11\"01");
        EXPECT_EQ(result.grid.cell(1, 2), "多\n行");
        EXPECT_EQ(result.grid.cell(2, 0), "  ");
        EXPECT_EQ(result.grid.rowCount(), 3);
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
