// The photo marks written back into the workbook in every format: only column C of the marked
// rows changes, every stream position of an .xls stays right, LibreOffice reads the result, and
// a failure leaves the workbook as it was.
#include "roster/BiffRecords.h"
#include "roster/CompoundFile.h"
#include "roster/CsvWorkbook.h"
#include "roster/LittleEndian.h"
#include "roster/RosterWriteBack.h"
#include "roster/Workbook.h"
#include "roster/XlsxPackage.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <map>
#include <numeric>
#include <set>

using namespace lumo::roster;

namespace {

// Students of the class fixtures to mark: no C cell (张三), C in a MULBLANK (孙八), a number in C
// (周九, in a MULRK where LibreOffice and Gnumeric wrote one), "否" replaced (钱七), a blank name.
const std::vector<int> kMarkedRows = {1, 3, 4, 6, 7, 8};

SheetGrid withMarks(SheetGrid grid, const std::vector<int> &rows)
{
    for (int row : rows)
        grid.setCell(row, 2, kPhotoTakenMark); // column C
    return grid;
}

// The streams of a Compound File (.xls), or else the entries of a ZIP archive (.xlsx), by name.
std::map<QString, QByteArray> parts(const QByteArray &bytes)
{
    std::map<QString, QByteArray> parts;
    QString error;
    if (const auto file = CompoundFile::open(bytes, &error)) {
        for (std::size_t i = 0; i < file->entries().size(); ++i) {
            if (file->entries()[i].type == CompoundFileEntry::Stream)
                parts[file->entries()[i].name] = file->stream(i, &error).value_or("?");
        }
        return parts;
    }
    const auto package = xlsx::Package::open(bytes, &error);
    for (zip_int64_t i = 0; package && i < zip_get_num_entries(package->archive(), 0); ++i) {
        const QString name = QString::fromUtf8(zip_get_name(package->archive(), i, 0));
        parts[name] = package->part(name, &error).value_or("?");
    }
    return parts;
}

// Every stream position of the workbook stream points where it should: BOUNDSHEET at BOF
// records, INDEX at DBCELL records, DBCELL at the block's ROW records and each row's first cell.
void expectPositionsConsistent(const QByteArray &file, const std::string &what)
{
    const QByteArray stream = parts(file)["Workbook"];
    QString error;
    const auto records = biff::splitRecords(stream, &error);
    ASSERT_TRUE(records) << what;
    std::map<std::uint32_t, const biff::Record *> at;
    for (const biff::Record &r : *records)
        at[r.offset] = &r;
    auto typeAt = [&](std::uint32_t p) { return at.contains(p) ? int(at[p]->type) : -1; };
    const std::set<int> cellTypes = {biff::LabelSst, biff::Label,   biff::RString, biff::Number,
                                     biff::Rk,       biff::BoolErr, biff::Formula, biff::Blank,
                                     biff::MulRk,    biff::MulBlank};
    for (const biff::Record &r : *records) {
        if (r.type == biff::BoundSheet) {
            EXPECT_EQ(typeAt(le::u32(r.data, 0)), biff::Bof) << what;
        } else if (r.type == biff::Index) {
            for (qsizetype k = 16; k + 4 <= r.data.size(); k += 4)
                EXPECT_EQ(typeAt(le::u32(r.data, k)), biff::DbCell) << what;
        } else if (r.type == biff::DbCell) {
            const std::uint32_t firstRow = r.offset - le::u32(r.data, 0);
            std::vector<std::uint16_t> rows;
            for (std::uint32_t p = firstRow; typeAt(p) == biff::Row; p += 20)
                rows.push_back(le::u16(at[p]->data, 0));
            ASSERT_FALSE(rows.empty()) << what;
            std::uint32_t cell = firstRow + 20;
            for (std::size_t row = 0; 4 + 2 * qsizetype(row) < r.data.size(); ++row) {
                const std::uint16_t distance = le::u16(r.data, 4 + 2 * qsizetype(row));
                if (distance == 0)
                    continue;
                ASSERT_LT(row, rows.size()) << what;
                cell += distance;
                ASSERT_TRUE(cellTypes.count(typeAt(cell))) << what << " DBCELL at " << r.offset;
                EXPECT_EQ(le::u16(at[cell]->data, 0), rows[row]) << what;
            }
        }
    }
}

} // namespace

TEST(WriteBack, MarksOnlyColumnCOfTheMarkedRowsInEveryFormatAndLibreOfficeReadsThem)
{
    QTemporaryDir folder;
    for (const QString &name : kClassFixtures) {
        const std::string what = name.toStdString();
        const QString path = copyFixture(folder.path(), name);
        const QByteArray before = readBytes(path);
        const SheetGrid original = readWorkbook(before).grid;

        const WriteBackResult result = writePhotoMarks(path, marksFor(original, kMarkedRows));
        ASSERT_TRUE(result.ok) << what << ": " << result.error.toStdString();
        EXPECT_EQ(result.written, int(kMarkedRows.size())) << what;

        const QByteArray after = readBytes(path);
        EXPECT_EQ(readWorkbook(after).grid, withMarks(original, kMarkedRows)) << what;
        if (!name.endsWith(".csv")) {
            // Only the workbook stream, or the part of the sheet "Sheet1" (the third), changes.
            auto partsBefore = parts(before), partsAfter = parts(after);
            const QString changed = name.endsWith(".xls") ? "Workbook" : "xl/worksheets/sheet3.xml";
            partsAfter[changed] = partsBefore[changed];
            EXPECT_EQ(partsAfter, partsBefore) << what;
            if (name.endsWith(".xls"))
                expectPositionsConsistent(after, what);
        } else {
            // Unmarked lines keep their bytes; the mark is in the file's own encoding.
            const auto linesBefore = before.split('\n'), linesAfter = after.split('\n');
            for (int i = 0; i < std::max(linesBefore.size(), linesAfter.size()); ++i) {
                const bool marked = std::ranges::count(kMarkedRows, i) > 0;
                EXPECT_EQ(linesAfter.value(i) == linesBefore.value(i), !marked) << what << i;
            }
            EXPECT_TRUE(after.contains(name.contains("gbk") ? gbk("是") : QByteArray("是")));
        }
    }
    // No partial file is left beside the workbooks.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
              kClassFixtures.size());
    // A line without a C field gets the commas it lacks; a quoted field is replaced whole.
    const MarkedBytes csv =
        markCsvWorkbook("姓名,身份证号\n张三,1\n王五,3,\"否\",一班\r\n李四,2", {1, 2, 3});
    EXPECT_EQ(csv.bytes, QByteArray("姓名,身份证号\n张三,1,是\n王五,3,是,一班\r\n李四,2,是"));

    // LibreOffice converts the third sheet ("Sheet1") of each marked workbook to UTF-8 CSV, the
    // .xls and .xlsx apart: it names the CSV after the base name alone.
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const SheetGrid expected = withMarks(expectedClassGrid(), kMarkedRows);
    for (const QString suffix : {"xls", "xlsx"}) {
        const QStringList marked = QDir(folder.path()).entryList({"class-*." + suffix});
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(soffice,
                      QStringList{"-env:UserInstallation=file://" + folder.filePath("profile"),
                                  "--headless", "--convert-to",
                                  "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,"
                                  "false,false,false,3",
                                  "--outdir", suffix}
                          << marked);
        ASSERT_TRUE(process.waitForFinished(180000));
        for (const QString &name : marked) {
            const QString csv = QFileInfo(name).completeBaseName() + "-Sheet1.csv";
            SheetGrid grid = readWorkbookFile(folder.filePath(suffix + '/' + csv)).grid;
            // LibreOffice writes numbers its own way and booleans in its locale.
            grid.setCell(2, 1, expected.cell(2, 1));
            grid.setCell(3, 4, expected.cell(3, 4));
            EXPECT_EQ(grid, expected) << suffix.toStdString() << ": " << name.toStdString();
        }
    }
}

TEST(WriteBack, EveryStudentMarkedInBigClassesAndWhereverTheClassSheetStands)
{
    // Gnumeric writes INDEX and DBCELL records; every row of every block gets a new cell. The
    // .xlsx class sheets stand first, last and between sheets of other sizes: after a larger one,
    // libzip keeps the beginning of the archive as it is while writing.
    for (const QString name :
         {"big-gnumeric.xls", "big-xlwt.xls", "big-openpyxl.xlsx",
          "order-after-large-openpyxl.xlsx", "order-after-large-libreoffice.xlsx",
          "order-before-large-openpyxl.xlsx", "order-between-openpyxl.xlsx"}) {
        const std::string what = name.toStdString();
        QTemporaryDir folder;
        const QString path = copyFixture(folder.path(), name);
        const QByteArray before = readBytes(path);
        const SheetGrid original = readWorkbook(before).grid;
        EXPECT_EQ(original.rowCount(), name.startsWith("big") ? 3000 : 46) << what;
        std::vector<int> rows(std::size_t(original.rowCount() - 1));
        std::iota(rows.begin(), rows.end(), 1);
        const WriteBackResult result = writePhotoMarks(path, marksFor(original, rows));
        ASSERT_TRUE(result.ok) << what << ": " << result.error.toStdString();
        EXPECT_EQ(result.written, int(rows.size())) << what;
        const QByteArray after = readBytes(path);
        EXPECT_EQ(readWorkbook(after).grid, withMarks(original, rows)) << what;
        if (name.endsWith(".xls")) {
            expectPositionsConsistent(after, what);
        } else { // the class sheet's part changes, no other
            auto partsBefore = parts(before), partsAfter = parts(after);
            EXPECT_EQ(std::ranges::count_if(
                          partsAfter, [&](auto &p) { return partsBefore[p.first] != p.second; }),
                      1)
                << what;
        }
    }
}

TEST(WriteBack, TheWorkbookStaysUntouchedWithoutMarksToWriteOrOnFailure)
{
    QTemporaryDir folder;
    const QString path = copyFixture(folder.path(), "class-xlwt.xls");
    const QByteArray before = readBytes(path);
    const std::vector<PhotoMark> marks = {
        {1, "张三", "000000000000000000"}, // ID-card number changed since the import
        {3, "王六", "12345"},              // name changed
        {2, "李四", "310104201207184000"}, // already marked: nothing to write
        {0, "姓名", "身份证号"}};          // the header is no student
    const WriteBackResult result = writePhotoMarks(path, marks);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.written, 0);
    EXPECT_EQ(result.notes.size(), 3);
    EXPECT_EQ(readBytes(path), before); // not even rewritten

    const QByteArray damaged = before.first(3000);
    writeBytes(path, damaged);
    const WriteBackResult failed = writePhotoMarks(path, {{1, "张三", "110101201001011234"}});
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_EQ(readBytes(path), damaged);
    EXPECT_FALSE(writePhotoMarks(folder.filePath("gone.xls"), {}).ok);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"class-xlwt.xls"});
}

TEST(WriteBack, AFormulaInColumnCIsReplacedInAnXlsButLeftAloneInAnXlsx)
{
    // In an .xls the formula's record gives way to the mark.
    QTemporaryDir folder;
    const QString xls = copyFixture(folder.path(), "formulas-libreoffice.xls");
    const SheetGrid formulas = readWorkbookFile(xls).grid;
    ASSERT_EQ(writePhotoMarks(xls, marksFor(formulas, {2})).written, 1);
    EXPECT_EQ(readWorkbookFile(xls).grid, withMarks(formulas, {2})); // =1=1 was in C3

    // In an .xlsx the calculation chain part would point at a cell without formula.
    const QString xlsx = copyFixture(folder.path(), "class-openpyxl.xlsx");
    const char *part = "xl/worksheets/sheet3.xml";
    QByteArray xml = parts(readBytes(xlsx))[part];
    xml.replace("<c r=\"D2\"", "<c r=\"C2\" t=\"b\"><f>1=1</f><v>1</v></c><c r=\"D2\"");
    zip_t *archive = zip_open(QFile::encodeName(xlsx).constData(), 0, nullptr);
    zip_source_t *source = zip_source_buffer(archive, xml.constData(), zip_uint64_t(xml.size()), 0);
    ASSERT_EQ(zip_file_replace(archive, zip_uint64_t(zip_name_locate(archive, part, 0)), source, 0),
              0);
    ASSERT_EQ(zip_close(archive), 0);
    const SheetGrid grid = readWorkbookFile(xlsx).grid;
    const WriteBackResult result = writePhotoMarks(xlsx, marksFor(grid, {1, 3}));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(result.notes.size(), 1);
    EXPECT_EQ(readWorkbookFile(xlsx).grid, withMarks(grid, {3}));
}

TEST(WriteBack, AWorkbookSavedMeanwhileIsMarkedInItsNewVersionAndNeverOverwrittenUnread)
{
    // Between the read and the commit another program gives row 3 to another student and adds
    // one: once, or at every read.
    for (const int saves : {1, 100}) {
        QTemporaryDir folder;
        const QString path = copyFixture(folder.path(), "class-utf8-bom.csv");
        const SheetGrid original = readWorkbookFile(path).grid;
        int calls = 0;
        const WriteBackResult result = writePhotoMarks(path, marksFor(original, {1, 3}), [&] {
            if (calls++ < saves)
                writeBytes(path, readBytes(path).replace("王五", "王六") + "新生,1\r\n");
        });
        EXPECT_EQ(result.ok, saves == 1) << result.error.toStdString();
        EXPECT_EQ(result.written, saves == 1 ? 1 : 0);
        const SheetGrid now = readWorkbookFile(path).grid;
        EXPECT_EQ(readBytes(path).count("新生"), std::min(calls, saves)); // every save is kept
        EXPECT_EQ(now.cell(3, 0), "王六");
        EXPECT_EQ(now.cell(3, 2), "");
        EXPECT_EQ(now.cell(1, 2), saves == 1 ? kPhotoTakenMark : QString());
    }
}

TEST(WriteBack, NeverIntoAReadOnlyWorkbookNotEvenThroughASymbolicLink)
{
    QTemporaryDir folder;
    const QString real = copyFixture(folder.path(), "class-xlwt.xls");
    const QString link = folder.filePath("link.xls");
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0444), 0);
    const QByteArray before = readBytes(real);
    const WriteBackResult result = writePhotoMarks(link, marksFor(readWorkbook(before).grid, {1}));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, readOnlyWorkbookMessage(link));
    EXPECT_EQ(readBytes(real), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
