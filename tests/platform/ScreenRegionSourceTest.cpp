// Grabbing screen pixels on the X server, also where the rectangle leaves the screen.
#include "platform/QtScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QColor patternAt(int x, int y)
{
    return QColor((x * 3) % 256, (y * 11) % 256, 200);
}

class Pattern : public QWidget
{
public:
    explicit Pattern(const QRect &geometry)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)
    {
        setGeometry(geometry);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QImage picture(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                picture.setPixelColor(x, y, patternAt(this->x() + x, this->y() + y));
        QPainter(this).drawImage(0, 0, picture);
    }
};

} // namespace

TEST(QtScreenGrabber, CopiesExactlyTheRectangle)
{
    Pattern pattern(QRect(0, 0, 300, 300));
    pattern.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pattern));
    QTest::qWait(100);

    QtScreenGrabber grabber;
    const QImage picture = grabber.grab(QRect(100, 50, 120, 147));
    ASSERT_EQ(picture.size(), QSize(120, 147));
    for (const QPoint p : {QPoint(0, 0), QPoint(119, 146), QPoint(60, 70)})
        EXPECT_EQ(picture.pixelColor(p), patternAt(100 + p.x(), 50 + p.y()));
}

TEST(QtScreenGrabber, PixelsOffTheScreenAreBlack)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Pattern topLeft(QRect(0, 0, 100, 100));
    Pattern bottomRight(QRect(screen.right() - 99, screen.bottom() - 99, 100, 100));
    topLeft.show();
    bottomRight.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&topLeft));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bottomRight));
    QTest::qWait(100);

    QtScreenGrabber grabber;
    const QImage before = grabber.grab(QRect(-10, -20, 50, 60));
    ASSERT_EQ(before.size(), QSize(50, 60));
    EXPECT_EQ(before.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(before.pixelColor(9, 30), QColor(Qt::black));
    EXPECT_EQ(before.pixelColor(10, 20), patternAt(0, 0));
    EXPECT_EQ(before.pixelColor(49, 59), patternAt(39, 39));

    const QImage after = grabber.grab(QRect(screen.right() - 9, screen.bottom() - 9, 30, 30));
    ASSERT_EQ(after.size(), QSize(30, 30));
    EXPECT_EQ(after.pixelColor(0, 0), patternAt(screen.right() - 9, screen.bottom() - 9));
    EXPECT_EQ(after.pixelColor(10, 10), QColor(Qt::black));

    EXPECT_TRUE(grabber.grab(QRect(5000, 5000, 10, 10)).pixelColor(0, 0) == QColor(Qt::black));
    EXPECT_TRUE(grabber.grab(QRect(0, 0, 0, 10)).isNull());
}
