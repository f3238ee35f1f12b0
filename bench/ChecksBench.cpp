// The photo checks and the best-quality encoding, on photos made from the example faces:
// the live guide on the picture under a frame (budget 5 ms), the check after capture of a
// 260 x 320 photo (20 ms), and the best-quality search (15 ms), with its PSNR gain over
// quality 80. One core: run it with taskset -c 0.
#include "checks/CascadeFaceDetector.h"
#include "checks/PhotoChecks.h"
#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"
#include "tests/checks/FacePhotos.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lumo;

namespace {

const checks::FaceDetector &detector()
{
    QString error;
    const checks::FaceDetector *shared = checks::sharedFaceDetector(&error);
    if (!shared)
        qFatal("%s", qPrintable(error));
    return *shared;
}

void liveFraming(benchmark::State &state)
{
    const photo::BgrImage underFrame =
        checkstest::framedFace(int(state.range(0)), int(state.range(1)), 0.66);
    const checks::FaceDetector &faces = detector();
    for (auto _ : state)
        benchmark::DoNotOptimize(checks::checkFraming(underFrame, faces));
}
BENCHMARK(liveFraming)->Args({390, 480})->Args({780, 960})->Unit(benchmark::kMillisecond);

void afterCapture(benchmark::State &state)
{
    const photo::BgrImage &photo = checkstest::facePhotos().front().image;
    const checks::FaceDetector &faces = detector();
    for (auto _ : state)
        benchmark::DoNotOptimize(checks::checkPhoto(photo, faces));
}
BENCHMARK(afterCapture)->Unit(benchmark::kMillisecond);

double psnr(const photo::BgrImage &a, const QByteArray &jpeg)
{
    const photo::BgrImage b = photo::decodeJpeg(jpeg, nullptr);
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            squares += std::pow(double(a.row(y)[x]) - b.row(y)[x], 2);
    return 10 * std::log10(255.0 * 255.0 * a.height() * a.width() * 3 / squares);
}

// Over the good photos: the search's time, and the mean quality, size and PSNR gain.
void bestQuality(benchmark::State &state)
{
    std::vector<const photo::BgrImage *> photos;
    for (const checkstest::FacePhoto &p : checkstest::facePhotos())
        if (p.fault.isEmpty())
            photos.push_back(&p.image);
    std::size_t next = 0;
    QByteArray best;
    for (auto _ : state)
        photo::encodeBestJpeg(*photos[next++ % photos.size()], photo::kPhotoDpi,
                              photo::kCompressTargetBytes, &best);
    double gain = 0, quality = 0, bytes = 0;
    for (const photo::BgrImage *image : photos) {
        QByteArray registry;
        int q = 0;
        photo::encodeBestJpeg(*image, photo::kPhotoDpi, photo::kCompressTargetBytes, &best, &q);
        photo::encodeJpeg(*image, photo::kCompressQuality, photo::kPhotoDpi, &registry);
        gain += psnr(*image, best) - psnr(*image, registry);
        quality += q;
        bytes += double(best.size());
    }
    state.counters["psnrGainDb"] = gain / double(photos.size());
    state.counters["quality"] = quality / double(photos.size());
    state.counters["bytes"] = bytes / double(photos.size());
}
BENCHMARK(bestQuality)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
