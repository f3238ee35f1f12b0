// Speed of the photo output: the 260 x 320 resampler (against OpenCV's bilinear resize on the
// same pictures when OpenCV is there), the registry photo made in memory, the durable write it
// ends with, and a whole save of a 300 x 369 capture.
#include "common/AtomicFile.h"
#include "photo/PhotoSaver.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>

#ifdef LUMO_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

using namespace lumo::photo;

namespace {

// A camera-like picture: smooth shading with some sensor noise, at a screen's 96 dpi.
BgrImage capturePicture(int width, int height, int noiseLevel)
{
    BgrImage image(width, height);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-noiseLevel, noiseLevel);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = image.row(y);
        for (int x = 0; x < width; ++x) {
            const int base = 60 + (x * 120) / width + (y * 60) / height;
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = std::uint8_t(std::clamp(base + 20 * c + noise(random), 0, 255));
        }
    }
    image.setDotsPerMeter(3780, 3780);
    return image;
}

const BgrImage &capture(int width)
{
    static const BgrImage large = capturePicture(780, 960, 6);
    static const BgrImage small = capturePicture(300, 369, 6);
    return width == 780 ? large : small;
}

void resampleWith(benchmark::State &state, ResampleKernel kernel)
{
    const BgrImage &from = capture(int(state.range(0)));
    if (kernel == ResampleKernel::Avx2 && !cpuHasAvx2()) {
        state.SkipWithError("this CPU has no AVX2");
        return;
    }
    for (auto _ : state) {
        BgrImage to = resample(from, kPhotoWidth, kPhotoHeight, kernel);
        benchmark::DoNotOptimize(to.bits());
    }
}

void BM_Resample_Reference(benchmark::State &state)
{
    resampleWith(state, ResampleKernel::Reference);
}
void BM_Resample_Scalar(benchmark::State &state)
{
    resampleWith(state, ResampleKernel::Scalar);
}
void BM_Resample_Avx2(benchmark::State &state)
{
    resampleWith(state, ResampleKernel::Avx2);
}
BENCHMARK(BM_Resample_Reference)->Arg(780)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Resample_Scalar)->Arg(780)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Resample_Avx2)->Arg(780)->Arg(300)->Unit(benchmark::kMicrosecond);

#ifdef LUMO_BENCH_OPENCV
void openCvResize(benchmark::State &state, int threads)
{
    const BgrImage &from = capture(int(state.range(0)));
    const cv::Mat in(from.height(), from.width(), CV_8UC3, const_cast<std::uint8_t *>(from.bits()),
                     std::size_t(from.stride()));
    const int previous = cv::getNumThreads();
    cv::setNumThreads(threads);
    for (auto _ : state) {
        cv::Mat out;
        cv::resize(in, out, cv::Size(kPhotoWidth, kPhotoHeight), 0, 0, cv::INTER_LINEAR);
        benchmark::DoNotOptimize(out.data);
    }
    cv::setNumThreads(previous);
}
void BM_OpenCvResize(benchmark::State &state)
{
    openCvResize(state, -1);
}
void BM_OpenCvResize_OneThread(benchmark::State &state)
{
    openCvResize(state, 1);
}
BENCHMARK(BM_OpenCvResize)->Arg(780)->Arg(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenCvResize_OneThread)->Arg(780)->Arg(300)->Unit(benchmark::kMicrosecond);
#endif

// The DPI step and the size step in memory: no file is touched. A noisier capture's photo takes
// passes of the size step (the counter says how many).
void BM_RegistryPhoto(benchmark::State &state)
{
    const BgrImage from = capturePicture(
        int(state.range(0)), int(state.range(0)) == 780 ? 960 : 369, int(state.range(1)));
    for (auto _ : state) {
        const RegistryPhoto photo = makeRegistryPhoto(from, true, true);
        benchmark::DoNotOptimize(photo.bytes.constData());
    }
    state.counters["passes"] = makeRegistryPhoto(from, true, true).sizeStepPasses;
}
BENCHMARK(BM_RegistryPhoto)
    ->Args({300, 6})
    ->Args({780, 6})
    ->Args({300, 40})
    ->Args({780, 40})
    ->Unit(benchmark::kMicrosecond);

// What durability costs: the photo written as every save writes it (flushed to the disk, renamed,
// the folder flushed), against the same bytes only handed to the operating system.
void BM_WritePhoto_Durable(benchmark::State &state)
{
    QTemporaryDir folder;
    const QByteArray bytes = makeRegistryPhoto(capture(300), true, true).bytes;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    for (auto _ : state) {
        if (!lumo::common::writeFileAtomically(path, bytes))
            state.SkipWithError("the photo could not be written");
    }
}
void BM_WritePhoto_NotFlushed(benchmark::State &state)
{
    QTemporaryDir folder;
    const QByteArray bytes = makeRegistryPhoto(capture(300), true, true).bytes;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    const QString partial = folder.filePath(QStringLiteral(".photo.jpg.part"));
    for (auto _ : state) {
        QFile file(partial);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            state.SkipWithError("the photo could not be written");
        file.close();
        std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData());
    }
}
BENCHMARK(BM_WritePhoto_Durable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WritePhoto_NotFlushed)->Unit(benchmark::kMillisecond)->UseRealTime();

// A whole save of a 300 x 369 capture: the photo and its backup, both written durably over the
// student's earlier ones.
void BM_SavePhoto(benchmark::State &state)
{
    QTemporaryDir folder;
    PhotoSaver saver;
    SaveRequest request{.outputFolder = folder.filePath(QStringLiteral("out")),
                        .backupFolder = folder.path(),
                        .name = QStringLiteral("张三"),
                        .idNumber = QStringLiteral("11010520080101123X"),
                        .picture = capture(300)};
    for (auto _ : state) {
        if (saver.save(request, [] { return true; }).status != SaveStatus::Saved)
            state.SkipWithError("the save did not complete");
    }
}
BENCHMARK(BM_SavePhoto)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
