#include "roster/BiffRecords.h"
#include "roster/CompoundFile.h"
#include "roster/CsvWorkbook.h"
#include "roster/LittleEndian.h"
#include "roster/RosterWriteBack.h"
#include "roster/Workbook.h"
#include "tests/roster/RosterFixtures.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <map>

namespace {

constexpr int kMarkColumn = 2;

// Students of the class fixtures to mark: no C cell (张三), C in a MULBLANK (孙八), a number in C
// (周九, in a MULRK where LibreOffice and Gnumeric wrote one), "否" replaced (钱七), a blank name.
const std::vector<int> kMarkedRows = {1, 3, 4, 6, 7, 8};

std::vector<PhotoMark> marksFor(const SheetGrid &grid, const std::vector<int> &rows)
{
    std::vector<PhotoMark> marks;
    for (int row : rows)
        marks.push_back({row, grid.cell(row, 0), grid.cell(row, 1)});
    return marks;
}

QString copyFixture(const QTemporaryDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    QFile::copy(fixturePath(name), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

std::map<QString, QByteArray> zipEntries(const QByteArray &bytes)
{
    std::map<QString, QByteArray> entries;
    zip_error_t error;
    zip_source_t *source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    for (zip_int64_t i = 0; archive && i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), '\0');
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        entries[QString::fromUtf8(stat.name)] = data;
    }
    if (archive)
        zip_discard(archive);
    return entries;
}

// The streams of a Compound File by name.
std::map<QString, QByteArray> streams(const QByteArray &bytes)
{
    std::map<QString, QByteArray> result;
    QString error;
    const auto file = CompoundFile::open(bytes, &error);
    for (std::size_t i = 0; file && i < file->entries().size(); ++i) {
        if (file->entries()[i].type == CompoundFileEntry::Stream)
            result[file->entries()[i].name] = file->stream(i, &error).value_or("?");
    }
    return result;
}

bool isCellRecord(std::uint16_t type)
{
    switch (type) {
    case biff::LabelSst:
    case biff::Label:
    case biff::RString:
    case biff::Number:
    case biff::Rk:
    case biff::BoolErr:
    case biff::Formula:
    case biff::Blank:
    case biff::MulRk:
    case biff::MulBlank:
        return true;
    default:
        return false;
    }
}

// Every stream position of the workbook stream points where it should: BOUNDSHEET at BOF
// records, INDEX at DBCELL records, DBCELL at the block's ROW records and each row's first cell.
void expectPositionsConsistent(const QByteArray &file, const std::string &what)
{
    const QByteArray stream = streams(file)["Workbook"];
    QString error;
    const auto records = biff::splitRecords(stream, &error);
    ASSERT_TRUE(records) << what;
    std::map<std::uint32_t, const biff::Record *> at;
    for (const biff::Record &r : *records)
        at[r.offset] = &r;
    auto typeAt = [&](std::uint32_t offset) -> int {
        const auto found = at.find(offset);
        return found == at.end() ? -1 : found->second->type;
    };
    for (const biff::Record &r : *records) {
        if (r.type == biff::BoundSheet) {
            EXPECT_EQ(typeAt(le::u32(r.data, 0)), biff::Bof) << what;
        } else if (r.type == biff::Index) {
            for (qsizetype k = 16; k + 4 <= r.data.size(); k += 4)
                EXPECT_EQ(typeAt(le::u32(r.data, k)), biff::DbCell) << what;
        } else if (r.type == biff::DbCell) {
            // The block's ROW records, then each row's first cell in the order of the rows.
            std::uint32_t rowRecord = r.offset - le::u32(r.data, 0);
            std::vector<std::uint16_t> rows;
            for (std::uint32_t p = rowRecord; typeAt(p) == biff::Row; p += 20)
                rows.push_back(le::u16(at[p]->data, 0));
            ASSERT_FALSE(rows.empty()) << what;
            std::uint32_t cell = rowRecord + 20;
            for (qsizetype k = 4; k + 2 <= r.data.size(); k += 2) {
                const std::uint16_t distance = le::u16(r.data, k);
                const std::size_t row = std::size_t(k / 2 - 2);
                if (distance == 0)
                    continue;
                ASSERT_LT(row, rows.size()) << what;
                cell += distance;
                const auto found = at.find(cell);
                ASSERT_NE(found, at.end()) << what << " DBCELL at " << r.offset;
                ASSERT_TRUE(isCellRecord(found->second->type)) << what;
                EXPECT_EQ(le::u16(found->second->data, 0), rows[row]) << what;
            }
        }
    }
}

QStringList leftoverTemporaryFiles(const QTemporaryDir &folder)
{
    return QDir(folder.path()).entryList({".lumo-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(WriteBack, MarksOnlyColumnCOfTheMarkedRowsInEveryFormat)
{
    for (const QString &name : classFixtures()) {
        const std::string what = name.toStdString();
        QTemporaryDir folder;
        const QString path = copyFixture(folder, name);
        const QByteArray before = readBytes(path);
        const SheetGrid original = readWorkbook(before).grid;

        const WriteBackResult result = writePhotoMarks(path, marksFor(original, kMarkedRows));
        ASSERT_TRUE(result.ok) << what << ": " << result.error.toStdString();
        EXPECT_EQ(result.written, int(kMarkedRows.size())) << what;

        const QByteArray after = readBytes(path);
        SheetGrid expected = original;
        for (int row : kMarkedRows)
            expected.setCell(row, kMarkColumn, "是");
        const SheetReadResult reread = readWorkbook(after);
        ASSERT_TRUE(reread.ok()) << what;
        EXPECT_TRUE(reread.grid == expected) << what;
        EXPECT_TRUE(leftoverTemporaryFiles(folder).isEmpty()) << what;

        if (name.endsWith(".xls")) {
            auto beforeStreams = streams(before);
            auto afterStreams = streams(after);
            beforeStreams.erase("Workbook");
            afterStreams.erase("Workbook");
            EXPECT_EQ(afterStreams, beforeStreams) << what;
            expectPositionsConsistent(after, what);
        } else if (name.endsWith(".xlsx")) {
            auto beforeEntries = zipEntries(before);
            auto afterEntries = zipEntries(after);
            const QString sheetPart = "xl/worksheets/sheet3.xml"; // "Sheet1" is the third sheet
            EXPECT_NE(afterEntries[sheetPart], beforeEntries[sheetPart]) << what;
            beforeEntries.erase(sheetPart);
            afterEntries.erase(sheetPart);
            EXPECT_EQ(afterEntries, beforeEntries) << what;
        } else {
            // Unmarked lines keep their bytes; the mark is in the file's own encoding.
            const QList<QByteArray> linesBefore = before.split('\n');
            const QList<QByteArray> linesAfter = after.split('\n');
            ASSERT_EQ(linesAfter.size(), linesBefore.size());
            for (int i = 0; i < linesBefore.size(); ++i) {
                const bool marked = std::count(kMarkedRows.begin(), kMarkedRows.end(), i) > 0;
                EXPECT_EQ(linesAfter[i] == linesBefore[i], !marked) << what << " line " << i;
            }
            EXPECT_TRUE(after.contains(name.contains("gbk") ? gbk("是") : QByteArray("是")));
        }
    }
}

TEST(WriteBack, CsvMarksAddMissingFieldsAndReplaceQuotedOnes)
{
    const QByteArray text("姓名,身份证号\n张三,1\n王五,3,\"否\",一班\r\n李四,2");
    const MarkedBytes marked = markCsvWorkbook(text, {1, 2, 3});
    ASSERT_TRUE(marked.ok());
    EXPECT_EQ(marked.bytes, QByteArray("姓名,身份证号\n张三,1,是\n王五,3,是,一班\r\n李四,2,是"));
}

TEST(WriteBack, ThreeThousandMarksKeepIndexAndDbCellRight)
{
    // Gnumeric writes INDEX and DBCELL records; every row of every block gets a new cell.
    for (const QString &name : {QStringLiteral("big-gnumeric.xls"), QStringLiteral("big-xlwt.xls"),
                                QStringLiteral("big-openpyxl.xlsx")}) {
        QTemporaryDir folder;
        const QString path = copyFixture(folder, name);
        const SheetGrid original = readWorkbookFile(path).grid;
        std::vector<int> rows;
        for (int row = 1; row < 3000; ++row)
            rows.push_back(row);
        const WriteBackResult result = writePhotoMarks(path, marksFor(original, rows));
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(result.written, 2999);
        const SheetGrid after = readWorkbookFile(path).grid;
        EXPECT_EQ(after.cell(2999, kMarkColumn), "是");
        EXPECT_EQ(after.cell(2999, 0), "学生2999");
        if (name.endsWith(".xls"))
            expectPositionsConsistent(readBytes(path), name.toStdString());
    }
}

TEST(WriteBack, OnlyRowsThatStillHoldTheSameStudent)
{
    QTemporaryDir folder;
    const QString path = copyFixture(folder, "class-xlwt.xls");
    const QByteArray before = readBytes(path);
    const std::vector<PhotoMark> marks = {
        {1, "张三", "000000000000000000"}, // ID-card number changed since the import
        {3, "王六", "12345"},              // name changed
        {2, "李四", "310104201207184000"}, // already marked: nothing to write
    };
    const WriteBackResult result = writePhotoMarks(path, marks);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.written, 0);
    EXPECT_EQ(result.notes.size(), 2);
    EXPECT_EQ(readBytes(path), before); // not even rewritten
}

TEST(WriteBack, AFormulaInColumnCIsReplacedWithItsCachedText)
{
    QTemporaryDir folder;
    const QString path = copyFixture(folder, "formulas-libreoffice.xls");
    const SheetGrid before = readWorkbookFile(path).grid;
    ASSERT_EQ(before.cell(2, kMarkColumn), "TRUE"); // =1=1
    const WriteBackResult result = writePhotoMarks(path, marksFor(before, {2}));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.written, 1);
    SheetGrid expected = before;
    expected.setCell(2, kMarkColumn, "是");
    EXPECT_TRUE(readWorkbookFile(path).grid == expected);
}

TEST(WriteBack, AFormulaInColumnCOfAnXlsxIsLeftAlone)
{
    // Replacing it would leave the calculation chain part pointing at a cell without formula.
    QTemporaryDir folder;
    const QString path = copyFixture(folder, "class-openpyxl.xlsx");
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), 0, nullptr);
    ASSERT_TRUE(archive);
    const char *part = "xl/worksheets/sheet3.xml";
    QByteArray xml = zipEntries(readBytes(path))[part];
    xml.replace("<c r=\"D2\"", "<c r=\"C2\" t=\"b\"><f>1=1</f><v>1</v></c><c r=\"D2\"");
    zip_source_t *source = zip_source_buffer(archive, xml.constData(), zip_uint64_t(xml.size()), 0);
    ASSERT_EQ(zip_file_replace(archive, zip_uint64_t(zip_name_locate(archive, part, 0)), source, 0),
              0);
    ASSERT_EQ(zip_close(archive), 0);

    const QByteArray before = readBytes(path);
    const SheetGrid grid = readWorkbook(before).grid;
    ASSERT_EQ(grid.cell(1, kMarkColumn), "TRUE");
    const WriteBackResult result = writePhotoMarks(path, marksFor(grid, {1, 3}));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(result.notes.size(), 1);
    const SheetGrid after = readWorkbookFile(path).grid;
    EXPECT_EQ(after.cell(1, kMarkColumn), "TRUE");
    EXPECT_EQ(after.cell(3, kMarkColumn), "是");
}

TEST(WriteBack, AFailureLeavesTheWorkbookUntouched)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("class.xls");
    const QByteArray damaged = readBytes(fixturePath("class-xlwt.xls")).first(3000);
    writeBytes(path, damaged);
    const WriteBackResult result = writePhotoMarks(path, {{1, "张三", "110101201001011234"}});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(readBytes(path), damaged);
    EXPECT_TRUE(leftoverTemporaryFiles(folder).isEmpty());

    const WriteBackResult missing = writePhotoMarks(folder.filePath("gone.xls"), {});
    EXPECT_FALSE(missing.ok);
}

TEST(WriteBack, LibreOfficeReadsTheMarksAndEveryOtherCellUnchanged)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir folder;
    const QStringList names = {"class-xlwt.xls", "class-gnumeric.xls", "class-libreoffice.xls",
                               "class-openpyxl.xlsx", "class-libreoffice.xlsx"};
    QStringList marked;
    for (const QString &name : names) {
        QDir().mkpath(folder.filePath("marked"));
        const QString path = folder.filePath("marked/" + name);
        QFile::copy(fixturePath(name), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        const SheetGrid grid = readWorkbookFile(path).grid;
        ASSERT_TRUE(writePhotoMarks(path, marksFor(grid, kMarkedRows)).ok);
        marked << path;
    }
    // The third sheet ("Sheet1") of each workbook as UTF-8 CSV.
    QProcess process;
    process.start(soffice, QStringList{"-env:UserInstallation=file://" + folder.filePath("profile"),
                                       "--headless", "--convert-to",
                                       "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,"
                                       "false,false,false,3",
                                       "--outdir", folder.filePath("csv")}
                               << marked);
    ASSERT_TRUE(process.waitForFinished(180000));
    for (const QString &name : names) {
        const QString csv =
            folder.filePath("csv/" + QFileInfo(name).completeBaseName() + "-Sheet1.csv");
        const SheetReadResult fromLibreOffice = readWorkbookFile(csv);
        ASSERT_TRUE(fromLibreOffice.ok()) << name.toStdString() << " " << csv.toStdString();
        SheetGrid expected = expectedClassGrid();
        for (int row : kMarkedRows)
            expected.setCell(row, kMarkColumn, "是");
        // LibreOffice writes numbers its own way and booleans in its locale; compare the rest.
        for (int row = 0; row < 11; ++row) {
            for (int column = 0; column < 4; ++column) {
                if (row == 2 && column == 1)
                    continue;
                EXPECT_EQ(fromLibreOffice.grid.cell(row, column), expected.cell(row, column))
                    << name.toStdString() << " row " << row + 1 << " column " << column + 1;
            }
        }
    }
}
