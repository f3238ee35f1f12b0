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

QImage X11ScreenGrabber::grab(const QRect &screenRect)
{
    if (screenRect.isEmpty())
        return QImage();
    QImage picture(screenRect.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect part = screenRect & screen->geometry();
        if (part.isEmpty())
            continue;
        // The grab takes coordinates relative to the screen it is asked of.
        const QRect local = part.translated(-screen->geometry().topLeft());
        const QPixmap pixels =
            screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
        if (pixels.isNull())
            return QImage();
        painter.drawPixmap(part.topLeft() - screenRect.topLeft(), pixels);
    }
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
