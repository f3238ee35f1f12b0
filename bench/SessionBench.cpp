// The class session's work on a key press: the import of a large class, one pane refresh, the
// whole Next command, and an idle look at the keys. Run on an X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/session_bench
#include "platform/desktop/ScreenRegionSource.h"
#include "platform/x11/X11KeyPoller.h"
#include "platform/x11/X11ScreenGrabber.h"
#include "session/ClassSession.h"
#include "session/KeyCommands.h"
#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <benchmark/benchmark.h>

using namespace lumo;

namespace {

// A session with the real screen grab and keys of the X server; dialogs, speech and the shutter
// sound are silent stand-ins.
struct BenchSession
{
    explicit BenchSession(platform::ScreenGrabber &screen)
        : source(screen), session({program.path(), program.path(), program.path()},
                                  {dialogs, source, speech, sound, shell})
    {
        session.start();
        session.setSetting(&settings::SessionSettings::outputFolder,
                           QDir(program.path()).filePath(QStringLiteral("photos")));
        session.setSetting(&settings::SessionSettings::backupFolder,
                           QDir(program.path()).filePath(QStringLiteral("backup")));
        QDir(program.path()).mkpath(QStringLiteral("backup"));
        session.setSetting(&settings::SessionSettings::backup, 1);
        // A copy: the shut-down writes the photo marks into the class list.
        const QString classList = QDir(program.path()).filePath(QStringLiteral("class.xls"));
        QFile::copy(QStringLiteral(LUMO_ROSTER_TEST_DATA "/big-xlwt.xls"), classList);
        session.setSetting(&settings::SessionSettings::workbookPath, classList);
        dialogs.answerYes = true; // overwrite earlier rounds' photos
    }

    QTemporaryDir program;
    FakeDialogs dialogs;
    FakeSpeech speech;
    FakeShutterSound sound;
    FakeShell shell;
    platform::ScreenRegionSource source;
    session::ClassSession session;
};

// A camera picture under the frame: a capture of one colour would be refused, not saved.
class CameraPicture : public QWidget
{
public:
    CameraPicture() : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        setGeometry(0, 0, 800, 600);
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(20, 80, 200));
        gradient.setColorAt(1, QColor(240, 200, 120));
        painter.fillRect(rect(), gradient);
    }
};

// The screen grab without the pause that lets the windows below repaint, to see Lumo's own work.
class GrabWithoutPause : public platform::X11ScreenGrabber
{
public:
    void letWindowsRepaint() override {}
};

void BM_ImportClassOf2999(benchmark::State &state)
{
    platform::X11ScreenGrabber screen;
    BenchSession bench(screen);
    for (auto _ : state)
        bench.session.importClass();
    state.counters["students"] = bench.session.studentCount();
}
BENCHMARK(BM_ImportClassOf2999)->Unit(benchmark::kMillisecond);

void BM_PaneRefreshWithBothReviewPhotos(benchmark::State &state)
{
    platform::X11ScreenGrabber screen;
    BenchSession bench(screen);
    bench.session.importClass();
    QImage photo(260, 320, QImage::Format_RGB888);
    photo.fill(QColor(180, 150, 120));
    const QDir photos(bench.session.settings().outputFolder);
    photos.mkpath(QStringLiteral("."));
    for (int row = 1; row <= 4; ++row)
        photo.save(photos.filePath(bench.session.roster().idNumber(row) + QStringLiteral(".jpg")),
                   "JPEG", 80);
    int student = 3;
    for (auto _ : state) {
        bench.session.goTo(student);
        student = student == 3 ? 4 : 3;
    }
}
BENCHMARK(BM_PaneRefreshWithBothReviewPhotos)->Unit(benchmark::kMicrosecond);

// CapsLock in the one-key workflow: capture of 300 x 369, save with every step, pane refresh;
// argument 1 adds the photo check after capture and the best-quality search.
template <typename Grabber> void nextStudent(benchmark::State &state)
{
    CameraPicture camera;
    if (!QTest::qWaitForWindowExposed(&camera))
        state.SkipWithError("the camera picture was not shown");
    Grabber screen;
    BenchSession bench(screen);
    settings::LumoSettings options = bench.session.lumoSettings();
    options.checkPhotos = options.bestQuality = state.range(0) == 1;
    bench.session.setLumoSettings(options);
    bench.session.importClass();
    bench.session.setPhotoWidth(QStringLiteral("300"));
    for (auto _ : state) {
        if (bench.session.currentIndex() > 2900) {
            state.PauseTiming();
            bench.session.goTo(1);
            state.ResumeTiming();
        }
        bench.session.next();
    }
}

void BM_NextStudent(benchmark::State &state)
{
    nextStudent<platform::X11ScreenGrabber>(state);
}
BENCHMARK(BM_NextStudent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_NextStudentOwnWork(benchmark::State &state)
{
    nextStudent<GrabWithoutPause>(state);
}
BENCHMARK(BM_NextStudentOwnWork)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

// CapsLock with Lumo's own camera: the crop of a 1280 x 720 frame under the frame (at the
// camera's resolution), the save with every step, the pane refresh.
void BM_NextStudentFromTheCamera(benchmark::State &state)
{
    platform::X11ScreenGrabber screen;
    BenchSession bench(screen);
    FakeCamera camera;
    camera.frame = QImage(1280, 720, QImage::Format_RGB32);
    QPainter painter(&camera.frame);
    painter.fillRect(camera.frame.rect(), QLinearGradient(0, 0, 1280, 720));
    painter.end();
    session::ClassSession session(
        {bench.program.path(), bench.program.path(), bench.program.path()},
        {bench.dialogs, bench.source, bench.speech, bench.sound, bench.shell, &camera, nullptr});
    session.start();
    session.setSetting(&settings::SessionSettings::workbookPath,
                       bench.session.settings().workbookPath);
    session.setSetting(&settings::SessionSettings::outputFolder,
                       bench.session.settings().outputFolder);
    session.importClass();
    session.setLumoSettings({settings::PhotoSourceKind::Camera, {}, {}, {}});
    session.setPreviewSize(QSize(640, 360));
    session.setPhotoWidth(QStringLiteral("300"));
    for (auto _ : state) {
        if (session.currentIndex() > 2900) {
            state.PauseTiming();
            session.goTo(1);
            state.ResumeTiming();
        }
        session.next();
    }
}
BENCHMARK(BM_NextStudentFromTheCamera)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_KeyLookWithoutKeys(benchmark::State &state)
{
    platform::X11ScreenGrabber screen;
    platform::X11KeyPoller keys;
    BenchSession bench(screen);
    session::KeyCommands commands(bench.session, keys, [] { return QPoint(); });
    for (auto _ : state)
        commands.tick();
}
BENCHMARK(BM_KeyLookWithoutKeys)->Unit(benchmark::kMicrosecond);

// What the live framing guide costs the window's thread ten times a second on the screen
// source: the look at the screen under a 390 x 480 frame (the check itself runs elsewhere).
void BM_FramingGuideLook(benchmark::State &state)
{
    CameraPicture camera;
    if (!QTest::qWaitForWindowExposed(&camera))
        state.SkipWithError("the camera picture was not shown");
    platform::X11ScreenGrabber screen;
    platform::ScreenRegionSource source(screen);
    for (auto _ : state)
        benchmark::DoNotOptimize(source.peek(QRect(0, 0, 390, 480)));
}
BENCHMARK(BM_FramingGuideLook)->Unit(benchmark::kMillisecond);

} // namespace
