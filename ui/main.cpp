// Lumo: takes the ID photos of a school's student registry, one class at a time. This is the one
// place that chooses the desktop's adapters.
#include "common/NativePath.h"
#include "common/Twips.h"
#include "common/Version.h"
#include "platform/camera/FileCamera.h"
#include "platform/camera/QtCamera.h"
#include "platform/desktop/CanberraShutterSound.h"
#include "platform/desktop/EspeakSpeech.h"
#include "platform/desktop/FolderWatcher.h"
#include "platform/desktop/ScreenRegionSource.h"
#include "platform/desktop/SoundDevice.h"
#include "platform/desktop/SoundOff.h"
#include "platform/desktop/TerminationSignals.h"
#include "platform/qt/ChineseTranslations.h"
#include "platform/qt/DesktopShell.h"
#include "platform/qt/MessageBoxDialogs.h"
#include "platform/x11/X11KeyPoller.h"
#include "platform/x11/X11ScreenGrabber.h"
#include "session/ClassSession.h"
#include "session/KeyCommands.h"
#include "settings/SettingsLocation.h"
#include "ui/CameraPreviewWindow.h"
#include "ui/KeyShortcuts.h"
#include "ui/MainWindow.h"
#include "ui/PhotoFrameWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace lumo;

namespace {

struct Options
{
    QCommandLineParser parser;
    QCommandLineOption cameraFile{
        QStringLiteral("camera-file"),
        QStringLiteral("Serve a video or picture file as the camera (demonstrations, checks)."),
        QStringLiteral("FILE")};

    Options()
    {
        parser.setApplicationDescription(QStringLiteral("Lumo: 学籍照片"));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(cameraFile);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("lumo"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    // Help and version are answered before anything needs a display or reads the settings.
    // Qt's own options (-platform, -style...) are known only to QApplication, which takes them
    // out of the arguments: the options are checked again once it exists.
    Options options;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << common::decodePath(argv[i]);
    const bool understood = options.parser.parse(arguments);
    // Taken from this first reading, which keeps every byte of a file name that is not UTF-8.
    const QString cameraFile = options.parser.value(options.cameraFile);
    if (options.parser.isSet(QStringLiteral("help")) ||
        options.parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(options.parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                                QStringLiteral("lumo"))),
                   stdout);
        return 0;
    }
    if (options.parser.isSet(QStringLiteral("version"))) {
        std::printf("lumo %s\n", kVersion);
        return 0;
    }

    // The frame over other programs, the screen capture and the global keys work on X11; Lumo's
    // own camera view and the watched folder also work on a Wayland desktop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        } else if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "wayland");
        } else if (!understood) {
            // Without a display Qt's own options cannot be meant: a wrong option is named first.
            std::fprintf(stderr, "lumo: %s\n", qPrintable(options.parser.errorText()));
            return 2;
        } else {
            std::fprintf(stderr, "Lumo 需要图形桌面（没有 DISPLAY，也没有 WAYLAND_DISPLAY）。\n"
                                 "Lumo needs a desktop session (neither DISPLAY nor "
                                 "WAYLAND_DISPLAY is set).\n");
            return 1;
        }
    }
    QApplication application(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    // The taskbar and the window switcher show the menu entry's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(LUMO_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/" LUMO_APP_ID ".svg")));
    // Qt's own buttons and dialogs speak Chinese too.
    platform::installChineseTranslations(application);

    if (!options.parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "lumo: %s\n", qPrintable(options.parser.errorText()));
        return 2;
    }

    platform::DesktopShell shell;
    platform::MessageBoxDialogs dialogs;
    platform::X11KeyPoller keys;
    platform::X11ScreenGrabber screen;
    platform::ScreenRegionSource photoSource(screen);
    // Without a sound device nothing is played, and that is said once here, not at every sound.
    const bool soundDevice = platform::soundDeviceAvailable();
    std::unique_ptr<platform::Speech> speech;
    std::unique_ptr<platform::ShutterSound> shutterSound;
    if (soundDevice) {
        speech = std::make_unique<platform::EspeakSpeech>();
        shutterSound = std::make_unique<platform::CanberraShutterSound>();
    } else {
        std::fputs("Lumo: 没有声音设备，语音提示和快门声已关闭 (no sound device: speech and the "
                   "shutter sound are off).\n",
                   stderr);
        speech = std::make_unique<platform::NoSpeech>();
        shutterSound = std::make_unique<platform::NoShutterSound>();
    }
    std::unique_ptr<platform::LiveCamera> camera;
    if (options.parser.isSet(options.cameraFile))
        camera = std::make_unique<platform::FileCamera>(common::encodePath(cameraFile), cameraFile);
    else
        camera = std::make_unique<platform::QtCamera>();
    platform::FolderWatcher folderWatch;

    const session::ProgramFolders folders{
        QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        QDir::homePath(),
        QStringLiteral(LUMO_INSTALLED_DATA_FOLDER),
    };

    // Before the lock: a second start asks this Lumo to come to the front by a signal.
    platform::TerminationSignals terminationSignals;

    // One Lumo at a time: they would share the settings and both capture on every key. A second
    // start brings the running Lumo to the front and ends; the lock of a Lumo that died is taken
    // over.
    QLockFile running(
        QDir(settings::chooseSettingsFolder(folders.programFolder, folders.userConfigFolder))
            .filePath(QStringLiteral("lumo.lock")));
    running.setStaleLockTime(0);
    if (!running.tryLock(0)) {
        qint64 pid = 0;
        QString hostName, applicationName;
        if (running.getLockInfo(&pid, &hostName, &applicationName))
            platform::TerminationSignals::askToShow(pid);
        return 0;
    }
    session::ClassSession session(
        folders, {dialogs, photoSource, *speech, *shutterSound, shell, camera.get(), &folderWatch});
    QObject::connect(&folderWatch, &platform::FolderWatch::pictureArrived, &session,
                     &session::ClassSession::takeArrivedPicture);
    // F centres the frame on the mouse: on the screen, or in Lumo's own camera view.
    const ui::CameraPreviewWindow *cameraView = nullptr;
    auto cursor = [&] {
        const bool inCameraView =
            cameraView && session.lumoSettings().source == settings::PhotoSourceKind::Camera;
        return inCameraView ? cameraView->mapFromGlobal(QCursor::pos()) : QCursor::pos();
    };
    session::KeyCommands keyCommands(session, keys, cursor, &ui::MainWindow::operatorIsTyping);

    // Start-up: the frame shows first, then the settings come in and both windows are placed.
    ui::PhotoFrameWindow frameWindow(session.frame());
    frameWindow.show();
    ui::MainWindow window(session);
    ui::CameraPreviewWindow preview(session.frame());
    cameraView = &preview;
    QObject::connect(camera.get(), &platform::LiveCamera::frameArrived, &preview,
                     &ui::CameraPreviewWindow::showFrame);
    QObject::connect(camera.get(), &platform::LiveCamera::problemChanged, &preview,
                     &ui::CameraPreviewWindow::showProblem);
    QObject::connect(&preview, &ui::CameraPreviewWindow::previewSizeChanged, &session,
                     &session::ClassSession::setPreviewSize);
    auto showPreview = [&] {
        preview.setVisible(session.lumoSettings().source == settings::PhotoSourceKind::Camera);
    };
    QObject::connect(&session, &session::ClassSession::lumoSettingsChanged, &preview, showPreview);
    session.start();
    session.frame().setTop(0);
    session.frame().setLeft(0);
    // The frame (or Lumo's own camera view) at the screen's top-left corner, the main window
    // right of it.
    if (session.lumoSettings().source == settings::PhotoSourceKind::Camera) {
        preview.move(0, 0);
        window.placeBesideFrame(common::pixelsToTwips(preview.frameGeometry().width()));
    } else {
        window.placeBesideFrame(session.frame().windowSizeTwips().width());
    }
    window.show();
    showPreview();
    keyCommands.start();
    // Where keys cannot be seen globally, they work while one of Lumo's windows has the focus.
    if (!keys.isAvailable()) {
        ui::installKeyShortcuts(&window, keyCommands);
        ui::installKeyShortcuts(&preview, keyCommands);
    }

    // Shut-down: settings saved, marks written back, the frame closed. Runs once.
    QObject::connect(&window, &ui::MainWindow::closing, &session, [&] {
        keyCommands.stop();
        session.shutDown();
        frameWindow.closeForGood();
        preview.close();
    });

    // What this desktop cannot do is said once, not on every key.
    QStringList unavailable;
    if (!photoSource.isAvailable())
        unavailable << photoSource.unavailableReason();
    if (!keys.isAvailable())
        unavailable << keys.unavailableReason();
    if (soundDevice && !speech->isAvailable())
        unavailable << speech->unavailableReason();
    if (!unavailable.isEmpty())
        QTimer::singleShot(0, &window, [&dialogs, unavailable] {
            dialogs.message(unavailable.join(u'\n'), QString(), platform::MessageKind::Warning);
        });

    // A logout or Ctrl+C ends Lumo through the same shut-down as closing the window.
    QObject::connect(&terminationSignals, &platform::TerminationSignals::terminationRequested,
                     &window, [&window] {
                         window.close();
                         QCoreApplication::exit(0);
                     });

    QObject::connect(&terminationSignals, &platform::TerminationSignals::showRequested, &window,
                     &ui::MainWindow::bringToFront);

    return QApplication::exec();
}
