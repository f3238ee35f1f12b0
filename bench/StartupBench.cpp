// Start-up time to a shown main window. Run on an X server: xvfb-run build/bench/startup_bench
#include "session/ClassSession.h"
#include "tests/support/FakePlatform.h"
#include "ui/MainWindow.h"
#include "ui/PhotoFrameWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>

using namespace lumo;

namespace {

// Creating the window, loading the settings (written by the first iteration), placing both
// windows and showing them until the X server has exposed the main window.
void BM_StartupInProcess(benchmark::State &state)
{
    QTemporaryDir program, home, user;
    FakeDialogs dialogs;
    FakePhotoSource camera;
    FakeSpeech speech;
    FakeShutterSound sound;
    FakeShell shell;
    for (auto _ : state) {
        session::ClassSession session({program.path(), user.path(), home.path()},
                                      {dialogs, camera, speech, sound, shell});
        ui::PhotoFrameWindow frameWindow(session.frame());
        frameWindow.show();
        ui::MainWindow window(session);
        session.start();
        window.placeBesideFrame(session.frame().windowSizeTwips().width());
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("the main window was not exposed");
        state.PauseTiming();
        window.close();
        frameWindow.close();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupInProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

bool isMainWindow(Display *display, Window window)
{
    char *name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool found = QByteArray(name) == "Lumov2.0";
    XFree(name);
    return found;
}

// From starting the lumo program to its main window being mapped on the screen.
void BM_StartupProcess(benchmark::State &state)
{
    QTemporaryDir program, home;
    const QString copy = QDir(program.path()).filePath(QStringLiteral("lumo"));
    QFile::copy(QStringLiteral(LUMO_PROGRAM), copy);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());

    for (auto _ : state) {
        QProcess lumo;
        lumo.setProcessEnvironment(environment);
        lumo.start(copy, {});
        for (bool shown = false; !shown;) {
            XEvent event;
            XNextEvent(display, &event);
            shown = event.type == MapNotify && isMainWindow(display, event.xmap.window);
        }
        state.PauseTiming();
        ::kill(pid_t(lumo.processId()), SIGTERM);
        lumo.waitForFinished(10000);
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        state.ResumeTiming();
    }
    XCloseDisplay(display);
}
BENCHMARK(BM_StartupProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
