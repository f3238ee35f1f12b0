// Lumo: takes the ID photos of a school's student registry, one class at a time.
#include "app/Form1.h"
#include "app/ProgramEnvironment.h"
#include "platform/PlatformServices.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

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

    PlatformServices services = makeDesktopServices();
    const ProgramEnvironment environment{
        QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        QDir::homePath(),
        *services.shell,
        *services.dialogs,
        *services.keys,
        *services.screen,
        *services.speech,
        *services.shutterSound,
    };

    Form1 form(environment);
    form.Form_Load();
    form.show();

    // What this desktop cannot do is said once, not on every key.
    const QStringList unavailable = services.unavailable();
    if (!unavailable.isEmpty()) {
        QTimer::singleShot(0, &form, [&services, unavailable] {
            services.dialogs->message(unavailable.join(u'\n'));
        });
    }

    // A logout or Ctrl+C ends Lumo through the same shut-down as closing the window.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &form,
                     [&form] {
                         form.close();
                         QCoreApplication::exit(0);
                     });

    return QApplication::exec();
}
