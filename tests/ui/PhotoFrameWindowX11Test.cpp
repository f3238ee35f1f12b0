// The photo frame on a real X server: only its lines cover what lies below.
#include "frame/FrameModel.h"
#include "ui/PhotoFrameWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Stands in for the camera program: a picture whose every pixel has a known colour that no
// frame line has.
QColor patternAt(int x, int y)
{
    return QColor((x * 7) % 256, (y * 5) % 256, 128);
}

class PatternWindow : public QWidget
{
public:
    PatternWindow() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)
    {
        setGeometry(0, 0, 400, 500);
        m_picture = QImage(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                m_picture.setPixelColor(x, y, patternAt(x, y));
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
    QImage m_picture;
};

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

QColor colourOf(lumo::frame::LineColour colour)
{
    return colour == lumo::frame::LineColour::Green ? QColor(0, 255, 0) : QColor(255, 0, 0);
}

// The first pixel of the frame window on the screen that is not what the model says, or nothing.
QString wrongPixels(const lumo::frame::FrameModel &model, const QWidget &frameWindow, QPoint origin)
{
    const QImage screen = grabScreen();
    const QList<QRect> guide = lumo::frame::guidePixels(model.guide(), model.photoSize().width);
    for (int y = 0; y < frameWindow.height(); ++y) {
        for (int x = 0; x < frameWindow.width(); ++x) {
            QColor expected = patternAt(origin.x() + x, origin.y() + y);
            for (const QRect &rect : guide) {
                if (rect.contains(x, y))
                    expected = model.guide().headFits ? QColor(0, 230, 0) : QColor(255, 140, 0);
            }
            for (const lumo::frame::FrameLine &line : model.lines()) {
                if (lumo::frame::linePixels(line).contains(x, y))
                    expected = colourOf(line.colour);
            }
            const QColor shown = screen.pixelColor(origin + QPoint(x, y));
            if (shown != expected)
                return u"(%1, %2) is %3, expected %4"_s.arg(x).arg(y).arg(shown.name(),
                                                                          expected.name());
        }
    }
    return QString();
}

} // namespace

using namespace lumo;

TEST(PhotoFrameWindowOnX11, OnlyTheLinesCoverTheCameraPicture)
{
    PatternWindow camera;
    camera.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&camera));

    frame::FrameModel model;
    ui::PhotoFrameWindow frameWindow(model);
    model.setPhotoSize({300, 400});
    model.setPenWidths(2, 2);
    model.setLeft(150); // 10 px
    model.setTop(300);  // 20 px
    model.bringToFront();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frameWindow));
    QTest::qWait(300);

    // Every pixel of the frame window: a line's colour on the lines (green outer border and
    // centre line, red inner box), the camera picture everywhere else.
    EXPECT_EQ(wrongPixels(model, frameWindow, QPoint(10, 20)), QString());

    // The live guide: the face box and the head band's marks, orange while the head does not fit.
    model.setGuide({QRect(100, 120, 100, 100), 60, 330, false});
    QTest::qWait(300);
    EXPECT_EQ(wrongPixels(model, frameWindow, QPoint(10, 20)), QString());
    model.setGuide({});
    QTest::qWait(300);
    EXPECT_EQ(wrongPixels(model, frameWindow, QPoint(10, 20)), QString()) << "gone with the face";
}

TEST(PhotoFrameWindowOnX11, NeverTakesTheFocus)
{
    PatternWindow camera;
    camera.setWindowFlags(Qt::Window);
    camera.show();
    camera.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&camera));

    frame::FrameModel model;
    model.setPhotoSize({300, 369});
    ui::PhotoFrameWindow frameWindow(model);
    model.bringToFront();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frameWindow));
    QTest::qWait(200);
    EXPECT_FALSE(frameWindow.isActiveWindow());
    EXPECT_TRUE(frameWindow.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(frameWindow.windowFlags() & Qt::WindowTransparentForInput);
}
