// A camera that Lumo reads itself: it shows the live picture in Lumo's own preview and gives the
// latest frame, at the camera's own resolution, when a photo is taken. A video or picture file
// can stand in for it (for demonstrations, tests, and checking a setup without hardware).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>

namespace lumo::platform {

struct CameraDevice
{
    QByteArray id; // what the settings remember
    QString name;  // what the operator sees
};

class LiveCamera : public QObject
{
    Q_OBJECT

public:
    // The cameras this computer has now.
    virtual QList<CameraDevice> devices() const = 0;

    // Starts the camera (an empty id: the default one) at the resolution given, or, when none is
    // given, at the highest resolution it offers at 15 frames a second or more. Frames arrive
    // from then on; a camera that is missing, busy in another program or unplugged is told by
    // problem() and problemChanged(), and is taken up again when it comes back.
    virtual void start(const QByteArray &deviceId, QSize resolution = QSize()) = 0;
    virtual void stop() = 0;

    // The newest frame, in the camera's own pixels; null while there is none.
    virtual QImage latestFrame() const = 0;

    // Why there are no frames, in the operator's words; empty while the camera delivers.
    virtual QString problem() const = 0;

signals:
    void frameArrived(const QImage &frame);
    void problemChanged(const QString &problem);
};

} // namespace lumo::platform
