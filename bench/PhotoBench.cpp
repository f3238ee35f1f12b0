// Speed of the photo output: the 260 x 320 resampler (against OpenCV's bilinear resize on the
// same pictures when OpenCV is there) and a whole save of a 300 x 369 capture.
#include "photo/Cimage.h"
#include "photo/PhotoSaver.h"
#include "photo/ResizeImage.h"
#include "tests/support/FakePlatform.h"

#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

#ifdef LUMO_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

// A camera-like picture: smooth shading with some sensor noise.
QImage capturePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < height; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int base = 60 + (x * 120) / width + (y * 60) / height;
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = uchar(std::clamp(base + 20 * c + noise(random), 0, 255));
        }
    }
    return image;
}

const photo::Cimage &source(int width, int height)
{
    static photo::Cimage large, small;
    photo::Cimage &image = width == 780 ? large : small;
    if (image.isEmpty())
        image.LoadPicture(capturePicture(width, height));
    return image;
}

void resize(benchmark::State &state, photo::ResampleKernel kernel)
{
    const photo::Cimage &from = source(int(state.range(0)), int(state.range(1)));
    if (kernel == photo::ResampleKernel::Avx2 && !photo::cpuHasAvx2()) {
        state.SkipWithError("this CPU has no AVX2");
        return;
    }
    for (auto _ : state) {
        photo::Cimage to = photo::ResizeImage(from, 260, 320, kernel);
        benchmark::DoNotOptimize(to.Pointer());
    }
}

void BM_ResizeImage_Reference(benchmark::State &state)
{
    resize(state, photo::ResampleKernel::Reference);
}
void BM_ResizeImage_Scalar(benchmark::State &state)
{
    resize(state, photo::ResampleKernel::Scalar);
}
void BM_ResizeImage_Avx2(benchmark::State &state)
{
    resize(state, photo::ResampleKernel::Avx2);
}
BENCHMARK(BM_ResizeImage_Reference)
    ->Args({780, 960})
    ->Args({300, 369})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResizeImage_Scalar)->Args({780, 960})->Args({300, 369})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResizeImage_Avx2)->Args({780, 960})->Args({300, 369})->Unit(benchmark::kMicrosecond);

#ifdef LUMO_BENCH_OPENCV
void openCvResize(benchmark::State &state, int threads)
{
    const photo::Cimage &from = source(int(state.range(0)), int(state.range(1)));
    const cv::Mat in(from.Height(), from.Width(), CV_8UC3,
                     const_cast<std::uint8_t *>(from.Pointer()), std::size_t(from.Stride()));
    const int previous = cv::getNumThreads();
    cv::setNumThreads(threads);
    for (auto _ : state) {
        cv::Mat out;
        cv::resize(in, out, cv::Size(260, 320), 0, 0, cv::INTER_LINEAR);
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
BENCHMARK(BM_OpenCvResize)->Args({780, 960})->Args({300, 369})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenCvResize_OneThread)
    ->Args({780, 960})
    ->Args({300, 369})
    ->Unit(benchmark::kMicrosecond);
#endif

// First write, DPI step, backup and size step of a 300 x 369 capture, every write durable.
void BM_SavePhoto(benchmark::State &state)
{
    QTemporaryDir folder;
    FakeDialogs dialogs; // answers Yes
    photo::PhotoSaver saver(dialogs);
    photo::SaveRequest request;
    request.outputFolder = folder.filePath(QStringLiteral("out"));
    request.backupFolder = folder.path();
    request.name = QStringLiteral("张三");
    request.idNumber = QStringLiteral("11010520080101123X");
    request.picture = capturePicture(300, 369);
    for (auto _ : state) {
        if (saver.SavePhoto(request) != photo::SaveStatus::Saved)
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
