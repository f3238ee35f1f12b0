#include "roster/CsvWorkbook.h"
#include "roster/Workbook.h"
#include "roster/WorkbookFormat.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

SheetReadResult readFixture(const QString &name)
{
    return readWorkbookFile(fixturePath(name));
}

void expectGridEquals(const SheetGrid &actual, const SheetGrid &expected, const QString &what)
{
    for (int row = 0; row < std::max(actual.rowCount(), expected.rowCount()); ++row) {
        for (int column = 0; column < SheetGrid::kColumns; ++column) {
            EXPECT_EQ(actual.cell(row, column), expected.cell(row, column))
                << what.toStdString() << " row " << row + 1 << " column " << column + 1;
        }
    }
}

} // namespace

TEST(WorkbookRead, EveryFormatAndMakerGivesTheSameClassSheet)
{
    // "Sheet1" stands third, after a decoy "Sheet10"; names include a single blank, a rich-text
    // string, ID-card numbers stored as numbers, blank formatted cells, booleans and fractions.
    for (const QString &name : classFixtures()) {
        const SheetReadResult result = readFixture(name);
        ASSERT_TRUE(result.ok()) << name.toStdString() << ": " << result.error.toStdString();
        expectGridEquals(result.grid, expectedClassGrid(), name);
    }
}

TEST(WorkbookRead, FormatIsToldByTheFirstBytesNotTheName)
{
    EXPECT_EQ(detectWorkbookFormat(readBytes(fixturePath("xlsx-named.xls"))), WorkbookFormat::Xlsx);
    EXPECT_EQ(detectWorkbookFormat(readBytes(fixturePath("xls-named.csv"))), WorkbookFormat::Xls);
    EXPECT_EQ(detectWorkbookFormat("姓名,身份证号\r\n"), WorkbookFormat::Csv);
    EXPECT_EQ(detectWorkbookFormat(QByteArray("\x09\x08\x10\x00\x00\x06", 6)),
              WorkbookFormat::Unknown);
    for (const char *name : {"xlsx-named.xls", "xls-named.csv"}) {
        const SheetReadResult result = readFixture(name);
        ASSERT_TRUE(result.ok()) << name;
        expectGridEquals(result.grid, expectedClassGrid(), name);
    }
}

TEST(WorkbookRead, RefusesWhatIsNotAReadableClassList)
{
    const struct
    {
        const char *file;
        const char *reason;
    } cases[] = {
        {"no-sheet1.xls", "no sheet named sheet1"},
        {"no-sheet1.xlsx", "no sheet named sheet1"},
        {"class-biff5.xls", "older than BIFF8"},
        {"encrypted.xls", "encrypted"},
        {"missing.xls", "cannot open"},
    };
    for (const auto &c : cases) {
        const SheetReadResult result = readFixture(c.file);
        EXPECT_FALSE(result.ok()) << c.file;
        EXPECT_TRUE(result.error.contains(QLatin1String(c.reason)))
            << c.file << ": " << result.error.toStdString();
    }
}

TEST(WorkbookRead, FormulasGiveTheirCachedResults)
{
    const SheetReadResult result = readFixture("formulas-libreoffice.xls");
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const SheetGrid &g = result.grid;
    EXPECT_EQ(g.cell(1, 0), "张三");               // text result, from the STRING record
    EXPECT_EQ(g.cell(1, 1), "110101201001011000"); // a number keeps 15 digits
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
        const SheetReadResult result = readFixture(name);
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
    const SheetReadResult utf8 = readCsvWorkbook(text);
    const SheetReadResult gbkText = readCsvWorkbook(gbk(QString::fromUtf8(text)));
    for (const SheetReadResult *result : {&utf8, &gbkText}) {
        ASSERT_TRUE(result->ok());
        EXPECT_EQ(result->grid.cell(1, 0), "张,三");
        EXPECT_EQ(result->grid.cell(1, 1), "11\"01");
        EXPECT_EQ(result->grid.cell(1, 2), "多\n行");
        EXPECT_EQ(result->grid.cell(2, 0), "  ");
        EXPECT_EQ(result->grid.rowCount(), 3);
    }
}
