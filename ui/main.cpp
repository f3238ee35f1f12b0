// Lumo: takes the ID photos of a school's student registry, one class at a time. This is the one
// place that chooses the desktop's adapters.
#include "platform/desktop/CanberraShutterSound.h"
#include "platform/desktop/EspeakSpeech.h"
#include "platform/desktop/ScreenRegionSource.h"
#include "platform/desktop/TerminationSignals.h"
#include "platform/qt/DesktopShell.h"
#include "platform/qt/MessageBoxDialogs.h"
#include "platform/x11/X11KeyPoller.h"
#include "platform/x11/X11ScreenGrabber.h"
#include "session/ClassSession.h"
#include "session/KeyCommands.h"
#include "ui/MainWindow.h"
#include "ui/PhotoFrameWindow.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFont>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

using namespace lumo;

int main(int argc, char *argv[])
{
    // The frame, the screen capture and the global keys work on X11, in screen pixels.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            std::fprintf(stderr, "Lumo 需要 X11 桌面会话（未设置 DISPLAY）。\n"
                                 "Lumo needs an X11 session (DISPLAY is not set).\n");
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumo"));
    QApplication::setApplicationVersion(QStringLiteral(LUMO_VERSION));
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    platform::DesktopShell shell;
    platform::MessageBoxDialogs dialogs;
    platform::X11KeyPoller keys;
    platform::X11ScreenGrabber screen;
    platform::ScreenRegionSource photoSource(screen);
    platform::EspeakSpeech speech;
    platform::CanberraShutterSound shutterSound;

    const session::ProgramFolders folders{
        QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        QDir::homePath(),
    };
    session::ClassSession session(folders, {dialogs, photoSource, speech, shutterSound, shell});
    session::KeyCommands keyCommands(session, keys, [] { return QCursor::pos(); });

    // Start-up: the frame shows first, then the settings come in and both windows are placed.
    ui::PhotoFrameWindow frameWindow(session.frame());
    frameWindow.show();
    ui::MainWindow window(session);
    session.start();
    session.frame().setTop(0);
    session.frame().setLeft(0);
    window.placeBesideFrame(session.frame().windowSizeTwips().width());
    window.show();
    keyCommands.start();

    // Shut-down: settings saved, marks written back, the frame closed. Runs once.
    QObject::connect(&window, &ui::MainWindow::closing, &session, [&] {
        keyCommands.stop();
        session.shutDown();
        frameWindow.closeForGood();
    });

    // What this desktop cannot do is said once, not on every key.
    QStringList unavailable;
    if (!keys.isAvailable())
        unavailable << keys.unavailableReason();
    if (!speech.isAvailable())
        unavailable << speech.unavailableReason();
    if (!unavailable.isEmpty())
        QTimer::singleShot(0, &window, [&dialogs, unavailable] {
            dialogs.message(unavailable.join(u'\n'), QString());
        });

    // A logout or Ctrl+C ends Lumo through the same shut-down as closing the window.
    platform::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &platform::TerminationSignals::terminationRequested,
                     &window, [&window] {
                         window.close();
                         QCoreApplication::exit(0);
                     });

    return QApplication::exec();
}
