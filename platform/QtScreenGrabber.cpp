#include "platform/QtScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

QImage QtScreenGrabber::grab(const QRect &screenRect)
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
