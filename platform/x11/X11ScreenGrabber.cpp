#include "platform/x11/X11ScreenGrabber.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <X11/Xlib.h>

namespace lumo::platform {

namespace {

// Without this pause about one capture in twenty still shows the frame's lines.
constexpr int kRepaintMilliseconds = 50;

} // namespace

X11ScreenGrabber::X11ScreenGrabber()
{
    // Through XWayland the grab shows the native Wayland windows black, and their keys are not
    // seen by the key poller.
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        m_unavailableReason = QStringLiteral(
            "当前是 Wayland 桌面：Lumo 无法复制相机程序的画面（拍到的是黑屏），也收不到在其他"
            "程序里按下的热键。请注销，在登录界面点选用户后，用右下角的齿轮选择“GNOME on "
            "Xorg”（或其他 Xorg 会话），再登录运行 Lumo。");
}

QImage X11ScreenGrabber::grab(const QRect &screenRect)
{
    if (screenRect.isEmpty())
        return QImage();
    // The picture has the resolution of the screen that shows most of the rectangle.
    qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    int mostArea = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect part = screenRect & screen->geometry();
        if (part.width() * part.height() > mostArea) {
            mostArea = part.width() * part.height();
            ratio = screen->devicePixelRatio();
        }
    }
    auto toPicture = [&](const QRect &rect) {
        const QRectF moved = QRectF(rect.translated(-screenRect.topLeft()));
        return QRectF(moved.topLeft() * ratio, moved.size() * ratio).toRect();
    };
    QImage picture(toPicture(screenRect).size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect part = screenRect & screen->geometry();
        if (part.isEmpty())
            continue;
        // The grab takes coordinates relative to the screen it is asked of, in Qt's pixels, and
        // gives the screen's own pixels.
        const QRect local = part.translated(-screen->geometry().topLeft());
        QImage pixels =
            screen->grabWindow(0, local.x(), local.y(), local.width(), local.height()).toImage();
        if (pixels.isNull())
            return QImage();
        pixels.setDevicePixelRatio(1);
        painter.drawImage(toPicture(part), pixels);
    }
    painter.end();
    return picture;
}

void X11ScreenGrabber::letWindowsRepaint()
{
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        XSync(x11->display(), False);
    // Our own windows repaint meanwhile too; no key or click is handled before the grab.
    QEventLoop waiting;
    QTimer::singleShot(kRepaintMilliseconds, &waiting, &QEventLoop::quit);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace lumo::platform
