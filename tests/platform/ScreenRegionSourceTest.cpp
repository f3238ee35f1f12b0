// The screen source over the real screen grab of the X server: exactly the device pixels of the
// rectangle, black off the screen, and what lay below the hidden frame repainted before the copy.
#include "platform/desktop/ScreenRegionSource.h"
#include "platform/x11/X11ScreenGrabber.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using lumo::platform::ScreenRegionSource;
using lumo::platform::X11ScreenGrabber;

void PrintTo(const QColor &colour, std::ostream *out)
{
    *out << colour.name().toStdString();
}

namespace {

QColor patternAt(QPoint at)
{
    return QColor((at.x() * 3) % 256, (at.y() * 11) % 256, 200);
}

// A window on the screen that shows patternAt() of the device pixels it covers, or one colour.
class ScreenWindow : public QLabel
{
public:
    explicit ScreenWindow(const QRect &geometry, QColor colour = QColor())
        : QLabel(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)
    {
        const int ratio = qRound(qGuiApp->devicePixelRatio());
        QImage picture(geometry.size() * ratio, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixelColor(x, y, patternAt(geometry.topLeft() * ratio + QPoint(x, y)));
        if (colour.isValid())
            picture.fill(colour);
        picture.setDevicePixelRatio(ratio);
        setPixmap(QPixmap::fromImage(picture));
        setGeometry(geometry);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
        QTest::qWait(50);
    }
};

} // namespace

TEST(ScreenRegionSource, CopiesExactlyTheRectangleBlackOffTheScreenAndNotTheHiddenFrame)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int ratio = qRound(qGuiApp->devicePixelRatio()); // 2 on a desktop scaled by 2
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toInt());
    const QRect devicePixels(screen.topLeft() * ratio, screen.size() * ratio);
    ScreenWindow topLeft(QRect(0, 0, 300, 300));
    ScreenWindow bottomRight(QRect(screen.right() - 99, screen.bottom() - 99, 100, 100));
    ScreenWindow frame(QRect(50, 40, 100, 120), Qt::red);
    X11ScreenGrabber grabber;
    ScreenRegionSource source(grabber);
    frame.hide(); // what lay below it is repainted before the copy

    // Every device pixel: the windows' pattern on the screen, black off it.
    const int right = screen.right(), bottom = screen.bottom();
    for (const QRect &rectangle :
         {QRect(50, 40, 100, 120), QRect(100, 50, 120, 147), QRect(-10, -20, 50, 60),
          QRect(right - 9, bottom - 9, 30, 30), QRect(5000, 5000, 10, 10)}) {
        const QImage photo = source.capture(rectangle);
        ASSERT_EQ(photo.size(), rectangle.size() * ratio);
        for (int y = 0; y < photo.height(); ++y) {
            for (int x = 0; x < photo.width(); ++x) {
                const QPoint at = rectangle.topLeft() * ratio + QPoint(x, y);
                ASSERT_EQ(photo.pixelColor(x, y),
                          devicePixels.contains(at) ? patternAt(at) : Qt::black)
                    << at.x() << "," << at.y();
            }
        }
    }
    EXPECT_TRUE(source.capture(QRect(0, 0, 0, 10)).isNull());

    // The live guide's look takes the screen as it is, the frame's own pixels included.
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTest::qWait(50);
    const QImage peeked = source.peek(QRect(40, 30, 20, 20));
    ASSERT_EQ(peeked.size(), QSize(20, 20) * ratio);
    EXPECT_EQ(peeked.pixelColor(0, 0), patternAt(QPoint(40, 30) * ratio));
    EXPECT_EQ(peeked.pixelColor(19 * ratio, 19 * ratio), QColor(Qt::red));
    EXPECT_TRUE(source.peek(QRect()).isNull());
}

TEST(X11ScreenGrabber, UnavailableOnAWaylandSessionSayingWhatToDo)
{
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_FALSE(X11ScreenGrabber().isAvailable());
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_SESSION_TYPE", "wayland");
    EXPECT_TRUE(X11ScreenGrabber().unavailableReason().contains("GNOME on Xorg"));
    qputenv("XDG_SESSION_TYPE", "x11");
    EXPECT_TRUE(X11ScreenGrabber().isAvailable());
}
