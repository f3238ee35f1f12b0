// The screen source over the real screen grab of the X server: exactly the rectangle, black off
// the screen, and what lay below the hidden frame repainted before the copy.
#include "platform/desktop/ScreenRegionSource.h"
#include "platform/x11/X11ScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
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

QColor patternAt(int x, int y)
{
    return QColor((x * 3) % 256, (y * 11) % 256, 200);
}

// A window on the screen that shows patternAt() of the pixels it covers, or one colour.
class ScreenWindow : public QWidget
{
public:
    explicit ScreenWindow(const QRect &geometry, QColor colour = QColor())
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint),
          m_picture(geometry.size(), QImage::Format_RGB32)
    {
        for (int y = 0; y < geometry.height(); ++y)
            for (int x = 0; x < geometry.width(); ++x)
                m_picture.setPixelColor(
                    x, y,
                    colour.isValid() ? colour : patternAt(geometry.x() + x, geometry.y() + y));
        setGeometry(geometry);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
        QTest::qWait(50);
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
    QImage m_picture;
};

} // namespace

TEST(ScreenRegionSource, CopiesExactlyTheRectangleAndBlackOffTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ScreenWindow topLeft(QRect(0, 0, 300, 300));
    ScreenWindow bottomRight(QRect(screen.right() - 99, screen.bottom() - 99, 100, 100));
    X11ScreenGrabber grabber;
    ScreenRegionSource source(grabber);

    const int right = screen.right(), bottom = screen.bottom();
    const QColor black(Qt::black);
    // A rectangle, one of its pixels, and what the screen shows there.
    const std::tuple<QRect, QPoint, QColor> pixels[] = {
        {QRect(100, 50, 120, 147), QPoint(0, 0), patternAt(100, 50)},
        {QRect(100, 50, 120, 147), QPoint(119, 146), patternAt(219, 196)},
        {QRect(-10, -20, 50, 60), QPoint(9, 30), black},
        {QRect(-10, -20, 50, 60), QPoint(30, 19), black},
        {QRect(-10, -20, 50, 60), QPoint(10, 20), patternAt(0, 0)},
        {QRect(-10, -20, 50, 60), QPoint(49, 59), patternAt(39, 39)},
        {QRect(right - 9, bottom - 9, 30, 30), QPoint(9, 9), patternAt(right, bottom)},
        {QRect(right - 9, bottom - 9, 30, 30), QPoint(10, 9), black},
        {QRect(right - 9, bottom - 9, 30, 30), QPoint(9, 10), black},
        {QRect(5000, 5000, 10, 10), QPoint(9, 9), black},
    };
    for (const auto &[rectangle, pixel, colour] : pixels) {
        const QImage photo = source.capture(rectangle);
        ASSERT_EQ(photo.size(), rectangle.size());
        EXPECT_EQ(photo.pixelColor(pixel), colour)
            << pixel.x() << "," << pixel.y() << " of " << rectangle.x() << "," << rectangle.y();
    }
    EXPECT_TRUE(source.capture(QRect(0, 0, 0, 10)).isNull());
}

TEST(ScreenRegionSource, WhatLayBelowTheHiddenFrameIsRepaintedFirst)
{
    ScreenWindow camera(QRect(0, 0, 300, 300));
    ScreenWindow frame(QRect(50, 40, 100, 120), Qt::red);
    X11ScreenGrabber grabber;
    ScreenRegionSource source(grabber);
    frame.hide();
    const QImage photo = source.capture(QRect(50, 40, 100, 120));
    for (const QPoint p : {QPoint(0, 0), QPoint(50, 60), QPoint(99, 119)})
        EXPECT_EQ(photo.pixelColor(p), patternAt(50 + p.x(), 40 + p.y()));
}
