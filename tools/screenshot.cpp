// Saves a picture of the whole X screen: used by ./run without a display and by the README's
// screenshot. Usage: lumo-screenshot FILE.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    if (screen.isNull() || !screen.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not save the screen to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
