// The computer's camera through Qt Multimedia. A camera that is missing, taken by another program
// or unplugged is told, and taken up again without restarting Lumo: when the cameras change, and
// every few seconds in case that goes unnoticed.
#pragma once

#include "platform/camera/VideoSinkCamera.h"

#include <QCamera>
#include <QElapsedTimer>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QTimer>

#include <memory>

namespace lumo::platform {

class QtCamera : public VideoSinkCamera
{
    Q_OBJECT

public:
    explicit QtCamera(QObject *parent = nullptr);
    ~QtCamera() override;

    QList<CameraDevice> devices() const override;
    void start(const QByteArray &deviceId, QSize resolution = QSize()) override;
    void stop() override;

private:
    void open();
    void close();
    void check();

    QByteArray m_deviceId;
    QSize m_resolution;
    bool m_started = false;
    bool m_hadCamera = false; // since start(): a camera gone missing was unplugged
    bool m_hadFrame = false;  // since open()
    QMediaDevices m_mediaDevices;
    QMediaCaptureSession m_session;
    std::unique_ptr<QCamera> m_camera;
    QTimer m_checks;
    QElapsedTimer m_sinceFrame; // or since opened, or closed
};

} // namespace lumo::platform
