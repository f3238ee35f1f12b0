// Speed of the class report: the contact sheet of a class of 50 and of 3000 students (the
// roster's most), each with a photo as the best-quality save writes it (near 60000 bytes, the
// largest Lumo makes), and the table of 3000. Counters: the PDF's bytes against the photos' own.
// Runs offscreen: build/bench/report_bench
#include "photo/BgrImage.h"
#include "photo/RegistryPhoto.h"
#include "report/ReportCsv.h"
#include "report/ReportPdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

constexpr int kDistinctPhotos = 20;

// A face-sized capture with the fine detail of skin and hair, so that the best quality lands
// near the size limit as a camera's photo does.
QByteArray registryPhoto(unsigned seed)
{
    lumo::photo::BgrImage capture(520, 640);
    std::mt19937 random(seed);
    for (int y = 0; y < capture.height(); ++y)
        for (int x = 0; x < capture.width(); ++x)
            for (int c = 0; c < 3; ++c)
                capture.row(y)[3 * x + c] =
                    std::uint8_t((x * (c + 1) + y * (3 - c)) / 5 + int(random() % 24));
    const lumo::photo::RegistryPhoto photo =
        lumo::photo::makeRegistryPhoto(capture, true, true, lumo::photo::Quality::Best);
    if (!photo.isMade())
        std::abort();
    return photo.bytes;
}

// A class of that many students in a folder of its own, every student with a photo file.
struct BenchClass
{
    explicit BenchClass(int count)
    {
        report.className = QStringLiteral("三年级二班");
        report.date = QDate(2025, 3, 7);
        QList<QByteArray> photos;
        for (int i = 0; i < kDistinctPhotos; ++i)
            photos << registryPhoto(unsigned(i + 1));
        for (int number = 1; number <= count; ++number) {
            const QString id = QStringLiteral("1101052008%1").arg(number, 8, 10, QChar(u'0'));
            const QString path = folder.filePath(id + QStringLiteral(".jpg"));
            QFile file(path);
            const QByteArray &bytes = photos[number % kDistinctPhotos];
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                std::abort();
            photoBytes += bytes.size();
            report.students.append({number, QStringLiteral("学生%1").arg(number), id,
                                    number % 7 == 0 ? QStringLiteral("校验位错误") : QString(),
                                    path});
        }
    }

    QTemporaryDir folder;
    lumo::report::ClassReport report;
    qint64 photoBytes = 0;
};

void Report_Pdf(benchmark::State &state)
{
    const BenchClass bench(int(state.range(0)));
    const QString pdf = bench.folder.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        QString error;
        if (!lumo::report::writeReportPdf(bench.report, pdf, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
    state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
    state.counters["photo_bytes"] = double(bench.photoBytes);
    state.counters["students"] = double(state.range(0));
}
BENCHMARK(Report_Pdf)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(Report_Pdf)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void Report_Csv(benchmark::State &state)
{
    const BenchClass bench(int(state.range(0)));
    const QString csv = bench.folder.filePath(QStringLiteral("report.csv"));
    for (auto _ : state) {
        QString error;
        if (!lumo::report::writeReportCsv(bench.report, csv, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}
BENCHMARK(Report_Csv)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char *argv[])
{
    // The report draws no window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
