// Lumo: takes the ID photos of a school's student registry, one class at a time.
#include "app/Form1.h"
#include "app/ProgramEnvironment.h"
#include "platform/PlatformServices.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
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
    };

    Form1 form(environment);
    form.Form_Load();
    form.show();

    // A logout or Ctrl+C ends Lumo through the same shut-down as closing the window.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &form,
                     [&form] {
                         form.close();
                         QCoreApplication::exit(0);
                     });

    return QApplication::exec();
}
