// Reading a 3000-row class list and writing 2999 photo marks back, for each workbook format, and
// the pre-flight of 3000 ID-card numbers.
// Run: build/bench/roster_bench   (the whole-process comparison is bench/roster-show-vs-xlrd)
#include "roster/IdCardCheck.h"
#include "roster/Preflight.h"
#include "roster/RosterImport.h"
#include "roster/RosterWriteBack.h"
#include "roster/Workbook.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lumo::roster;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(LUMO_ROSTER_TEST_DATA "/") + QString::fromUtf8(name);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void readInMemory(benchmark::State &state, const char *name)
{
    const QByteArray bytes = bytesOf(fixture(name));
    for (auto _ : state) {
        SheetReadResult result = readWorkbook(bytes);
        benchmark::DoNotOptimize(result);
        if (!result.ok() || result.grid.rowCount() != 3000)
            state.SkipWithError("fixture did not read");
    }
}

void importFromFile(benchmark::State &state, const char *name)
{
    const QString path = fixture(name);
    for (auto _ : state) {
        RosterTable table;
        const RosterImportResult result = importRoster(path, table);
        if (result.studentCount != 2999)
            state.SkipWithError("fixture did not import");
    }
}

// The whole write-back: re-read, mark 2999 rows, read the result back, write and rename.
void writeMarks(benchmark::State &state, const char *name)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QString::fromUtf8(name));
    const QByteArray original = bytesOf(fixture(name));
    RosterTable table;
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(original);
    }
    importRoster(path, table);
    for (int row = 1; row < 3000; ++row)
        table.setCell(row, RosterTable::kPhotoMark, kPhotoTakenMark);
    const std::vector<PhotoMark> marks = photoMarksOf(table);
    for (auto _ : state) {
        state.PauseTiming();
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(original);
        file.close();
        state.ResumeTiming();
        const WriteBackResult result = writePhotoMarks(path, marks);
        if (result.written != 2999)
            state.SkipWithError("marks not written");
    }
}

// 3000 students, most with good numbers, one in ten with something to find.
void preflight(benchmark::State &state)
{
    RosterTable table;
    for (int row = 1; row <= 3000; ++row) {
        const QString first17 = QStringLiteral("110105%1%2")
                                    .arg(QDate(2010, 1, 1).addDays(row % 700).toString("yyyyMMdd"))
                                    .arg(row % 1000, 3, 10, QLatin1Char('0'));
        QString number = first17 + residentIdCheckCharacter(first17);
        if (row % 10 == 1)
            number[17] = number[17] == u'0' ? u'1' : u'0';
        else if (row % 10 == 2)
            number.insert(6, u' ');
        else if (row % 10 == 3)
            number = QStringLiteral("H%1").arg(row, 8, 10, QLatin1Char('0'));
        table.setCell(row, RosterTable::kName, QStringLiteral("学生%1").arg(row));
        table.setCell(row, RosterTable::kIdNumber, number);
    }
    for (auto _ : state) {
        const std::vector<PreflightFinding> findings = preflightClass(table, 3000);
        if (findings.size() != 900)
            state.SkipWithError("unexpected findings");
    }
}

} // namespace

BENCHMARK(preflight)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readInMemory, xls_xlwt, "big-xlwt.xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readInMemory, xls_gnumeric, "big-gnumeric.xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readInMemory, xlsx_openpyxl, "big-openpyxl.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importFromFile, xls_xlwt, "big-xlwt.xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(importFromFile, xlsx_openpyxl, "big-openpyxl.xlsx")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeMarks, xls_xlwt, "big-xlwt.xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeMarks, xls_gnumeric, "big-gnumeric.xls")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writeMarks, xlsx_openpyxl, "big-openpyxl.xlsx")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
