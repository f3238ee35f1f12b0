// A video or picture file in place of the camera, for demonstrations, tests and checking a setup
// without one: a video plays on in a loop, a picture is shown again at a preview's pace. From the
// frame on, both take the camera's path.
#pragma once

#include "platform/camera/VideoSinkCamera.h"

#include <QFile>
#include <QMediaPlayer>
#include <QTimer>

namespace lumo::platform {

class FileCamera : public VideoSinkCamera
{
    Q_OBJECT

public:
    explicit FileCamera(const QString &file, QObject *parent = nullptr);
    // A file named by its bytes, which need not be UTF-8 (a GBK name from a Windows computer);
    // shownPath names it in messages.
    FileCamera(const QByteArray &nativePath, const QString &shownPath, QObject *parent = nullptr);
    ~FileCamera() override;

    // The file is the one device; start() takes it whatever the id, at the file's own size.
    QList<CameraDevice> devices() const override;
    void start(const QByteArray &deviceId, QSize resolution = QSize()) override;
    void stop() override;

private:
    QByteArray m_nativePath;
    QString m_shownPath;
    QFile m_file; // the open file, which the player reads a clip from
    QMediaPlayer m_player;
    QImage m_picture;
    QTimer m_pictureFrames;
};

} // namespace lumo::platform
