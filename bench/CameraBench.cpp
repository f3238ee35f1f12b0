// The camera's frames on their way to the preview: the conversion of one 1280 x 720 frame, the
// way from the video sink to frameArrived with what it costs the UI thread, and the CPU that
// previewing a 1280 x 720, 30 fps Motion JPEG clip takes. Run on an X server, where Qt converts
// frames as it does in Lumo:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/camera_bench
#include "platform/camera/FileCamera.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QVideoFrame>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>

using lumo::platform::FileCamera;
using lumo::platform::LiveCamera;

namespace {

const QSize kFrameSize(1280, 720);

// A new frame each time: a frame keeps the picture it was converted to.
QVideoFrame makeFrame(QVideoFrameFormat::PixelFormat format)
{
    QVideoFrame frame(QVideoFrameFormat(kFrameSize, format));
    frame.map(QVideoFrame::WriteOnly);
    for (int plane = 0; plane < frame.planeCount(); ++plane)
        std::memset(frame.bits(plane), 0x60 + 0x20 * plane, frame.mappedBytes(plane));
    frame.unmap();
    return frame;
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](timeval time) { return double(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double threadCpuSeconds()
{
    return cpuSeconds(RUSAGE_THREAD);
}

double processCpuSeconds()
{
    return cpuSeconds(RUSAGE_SELF);
}

void waitUntil(const bool &done)
{
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// What the conversion thread does with each frame.
void convertFrame(benchmark::State &state)
{
    const auto format = QVideoFrameFormat::PixelFormat(state.range(0));
    const FileCamera camera{QString()}; // it chooses how Qt converts frames
    for (auto _ : state) {
        state.PauseTiming();
        const QVideoFrame frame = makeFrame(format);
        state.ResumeTiming();
        benchmark::DoNotOptimize(frame.toImage().convertToFormat(QImage::Format_RGB32));
    }
    state.SetLabel(QVideoFrameFormat::pixelFormatToString(format).toStdString());
}
BENCHMARK(convertFrame)
    ->Arg(QVideoFrameFormat::Format_YUV420P) // what GStreamer's JPEG decoder gives
    ->Arg(QVideoFrameFormat::Format_YUYV)    // a webcam's raw frames
    ->Unit(benchmark::kMillisecond);

// One frame at a time from the sink to frameArrived: the time is the latency, the CPU time what the
// UI thread spent on the frame (the conversion runs on a thread of its own).
void sinkToFrameArrived(benchmark::State &state)
{
    FileCamera camera(QString{});
    bool arrived = false;
    QObject::connect(&camera, &LiveCamera::frameArrived, [&] { arrived = true; });
    for (auto _ : state) {
        state.PauseTiming();
        const QVideoFrame frame = makeFrame(QVideoFrameFormat::Format_YUV420P);
        arrived = false;
        state.ResumeTiming();
        camera.videoSink()->setVideoFrame(frame);
        waitUntil(arrived);
    }
}
BENCHMARK(sinkToFrameArrived)->Unit(benchmark::kMillisecond);

// Five seconds of preview after one to settle: the process's CPU time and the UI thread's as a
// share of the wall time (1 = one core), the frames shown a second, and the longest the UI thread
// was held between two turns of its event loop (on a busy machine, with the time it waited for a
// core), and how often that was over 5 ms.
void previewClip(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("preview.avi"));
    const int made =
        QProcess::execute(QStringLiteral("gst-launch-1.0"),
                          {"-q", "videotestsrc", "num-buffers=150", "pattern=ball", "!",
                           "video/x-raw,width=1280,height=720,framerate=30/1", "!", "jpegenc", "!",
                           "avimux", "!", "filesink", "location=" + clip});
    if (made != 0) {
        state.SkipWithError("gst-launch-1.0 could not make the clip");
        return;
    }
    for (auto _ : state) {
        FileCamera camera(clip);
        int frames = 0;
        QObject::connect(&camera, &LiveCamera::frameArrived, [&] { ++frames; });
        camera.start({});
        bool settled = false;
        QTimer::singleShot(1000, [&] { settled = true; });
        waitUntil(settled);

        // A timer every 2 ms: how late it comes is how long the UI thread was held.
        QElapsedTimer wall, sinceTick;
        qint64 longestHoldNs = 0;
        int holdsOver5ms = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 held = sinceTick.nsecsElapsed() - 2'000'000;
            longestHoldNs = std::max(longestHoldNs, held);
            holdsOver5ms += held > 5'000'000;
            sinceTick.start();
        });
        frames = 0;
        const double processStart = processCpuSeconds(), uiStart = threadCpuSeconds();
        wall.start();
        sinceTick.start();
        probe.start(2);
        bool done = false;
        QTimer::singleShot(5000, [&] { done = true; });
        waitUntil(done);
        const double seconds = wall.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        state.counters["cpu"] = (processCpuSeconds() - processStart) / seconds;
        state.counters["ui_cpu"] = (threadCpuSeconds() - uiStart) / seconds;
        state.counters["fps"] = frames / seconds;
        state.counters["ui_held_ms"] = longestHoldNs / 1e6;
        state.counters["ui_holds_over_5ms"] = holdsOver5ms;
    }
}
BENCHMARK(previewClip)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
