// Saves a picture of the whole X screen: used by ./run without a display and by the README's
// screenshot. Usage: lumo-screenshot FILE.png [WIDTHxHEIGHT]  (a size crops from the top left)
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FILE.png [WIDTHxHEIGHT]\n", argv[0]);
        return 2;
    }
    int width = -1, height = -1;
    if (argc == 3 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "%s: the size must look like 800x560\n", argv[0]);
        return 2;
    }
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, width, height);
    if (screen.isNull() || !screen.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not save the screen to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
