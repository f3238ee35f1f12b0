#include "platform/camera/QtCamera.h"

#include <QCameraDevice>
#include <QLoggingCategory>

#include <tuple>

namespace lumo::platform {

namespace {

Q_LOGGING_CATEGORY(lcCamera, "lumo.camera")

constexpr int kCheckMs = 1000;
constexpr int kFirstFrameMs = 6000; // some cameras take seconds to deliver after opening
constexpr int kStalledMs = 3000;
constexpr int kRetryMs = 3000;
constexpr float kPreviewFrameRate = 15;

QString noCamera()
{
    return QStringLiteral("没有找到摄像头。请接上摄像头，Lumo 会自动开始使用它。");
}
QString chosenCameraMissing()
{
    return QStringLiteral("没有找到所选的摄像头。请接上它，或在设置中选择另一个摄像头。");
}
QString unplugged()
{
    return QStringLiteral("摄像头已断开。请重新接上摄像头，Lumo 会自动继续。");
}
QString busy()
{
    return QStringLiteral("摄像头没有送来画面，它可能正被另一个程序使用。请关闭那个程序，Lumo "
                          "会自动重试。");
}
QString stalled()
{
    return QStringLiteral("摄像头停止送来画面，Lumo 正在重新打开它。");
}

QCameraDevice findDevice(const QByteArray &id)
{
    if (id.isEmpty())
        return QMediaDevices::defaultVideoInput();
    for (const QCameraDevice &device : QMediaDevices::videoInputs())
        if (device.id() == id)
            return device;
    return QCameraDevice();
}

// The resolution asked for, or the largest that previews smoothly; then the fastest, and raw
// frames before JPEG ones, which cost a decode each.
QCameraFormat chooseFormat(const QCameraDevice &device, QSize resolution)
{
    const auto rank = [](const QCameraFormat &format) {
        return std::tuple(qint64(format.resolution().width()) * format.resolution().height(),
                          format.maxFrameRate(),
                          format.pixelFormat() != QVideoFrameFormat::Format_Jpeg);
    };
    QCameraFormat best;
    for (const QCameraFormat &format : device.videoFormats()) {
        const bool fits = resolution.isValid() ? format.resolution() == resolution
                                               : format.maxFrameRate() >= kPreviewFrameRate;
        if (fits && (best.isNull() || rank(format) > rank(best)))
            best = format;
    }
    if (best.isNull() && resolution.isValid())
        return chooseFormat(device, QSize()); // a setting made for another camera
    return best;
}

} // namespace

QtCamera::QtCamera(QObject *parent) : VideoSinkCamera(parent)
{
    m_session.setVideoSink(videoSink());
    m_checks.setInterval(kCheckMs);
    connect(&m_checks, &QTimer::timeout, this, &QtCamera::check);
    connect(&m_mediaDevices, &QMediaDevices::videoInputsChanged, this, [this] {
        if (m_started && !m_camera)
            open();
        else
            check();
    });
    connect(this, &LiveCamera::frameArrived, this, [this] {
        m_hadFrame = true;
        m_sinceFrame.start();
    });
}

QtCamera::~QtCamera()
{
    m_session.setCamera(nullptr);
}

QList<CameraDevice> QtCamera::devices() const
{
    QList<CameraDevice> devices;
    for (const QCameraDevice &device : QMediaDevices::videoInputs())
        devices.append({device.id(), device.description()});
    return devices;
}

void QtCamera::start(const QByteArray &deviceId, QSize resolution)
{
    close();
    m_deviceId = deviceId;
    m_resolution = resolution;
    m_started = true;
    m_hadCamera = false;
    open();
    m_checks.start();
}

void QtCamera::stop()
{
    m_started = false;
    m_checks.stop();
    close();
    setProblem(QString());
}

void QtCamera::open()
{
    const QCameraDevice device = findDevice(m_deviceId);
    if (device.isNull()) {
        if (m_hadCamera)
            setProblem(unplugged());
        else
            setProblem(m_deviceId.isEmpty() || QMediaDevices::videoInputs().isEmpty()
                           ? noCamera()
                           : chosenCameraMissing());
        return;
    }
    // From here on this camera: when it is unplugged, another one is not taken silently.
    m_deviceId = device.id();
    m_hadCamera = true;
    m_hadFrame = false;
    m_sinceFrame.start();
    m_camera = std::make_unique<QCamera>(device);
    const QCameraFormat format = chooseFormat(device, m_resolution);
    if (!format.isNull())
        m_camera->setCameraFormat(format);
    connect(m_camera.get(), &QCamera::errorOccurred, this,
            [this](QCamera::Error, const QString &detail) {
                qCWarning(lcCamera).noquote() << "camera error:" << detail;
                close();
                setProblem(findDevice(m_deviceId).isNull() ? unplugged() : busy());
            });
    m_session.setCamera(m_camera.get());
    m_camera->start();
}

void QtCamera::close()
{
    m_session.setCamera(nullptr);
    // Not deleted at once: close() may run inside one of the camera's own signals.
    if (m_camera)
        m_camera.release()->deleteLater();
    forgetFrames();
    m_sinceFrame.start();
}

void QtCamera::check()
{
    if (!m_started)
        return;
    if (!m_camera) {
        if (m_sinceFrame.elapsed() >= kRetryMs)
            open();
        return;
    }
    const bool present = !findDevice(m_deviceId).isNull();
    if (present && m_sinceFrame.elapsed() < (m_hadFrame ? kStalledMs : kFirstFrameMs))
        return;
    const bool hadFrame = m_hadFrame;
    close();
    setProblem(!present ? unplugged() : hadFrame ? stalled() : busy());
}

} // namespace lumo::platform
