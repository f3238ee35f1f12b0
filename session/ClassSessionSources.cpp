// The class session's photo sources: the screen inside the frame, Lumo's own camera, and the
// pictures that arrive in a watched folder.
#include "session/ClassSession.h"

#include "platform/Dialogs.h"
#include "platform/FolderWatch.h"
#include "platform/LiveCamera.h"
#include "platform/PhotoSource.h"
#include "platform/ShutterSound.h"

#include <QDir>
#include <QLoggingCategory>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcSession)

namespace lumo::session {

namespace {

const QString kUniformCapture =
    QStringLiteral("拍到的画面是一片纯色（黑屏、锁屏或镜头被挡住），没有保存照片。"
                   "请检查摄像头画面后再拍。");

// One colour in every pixel: nothing of a student can be on it.
bool isUniform(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb first = pixels.pixel(0, 0);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (row[x] != first)
                return false;
        }
    }
    return true;
}

} // namespace

QImage cropCameraFrame(const QImage &frame, const QRect &photoRectangle, QSize previewSize)
{
    if (frame.isNull() || photoRectangle.isEmpty())
        return QImage();
    // The preview shows the whole frame, scaled to the preview's width with the frame's shape.
    const double scale =
        previewSize.isEmpty() ? 1.0 : double(frame.width()) / double(previewSize.width());
    const QRect inCamera(qRound(photoRectangle.x() * scale), qRound(photoRectangle.y() * scale),
                         qRound(photoRectangle.width() * scale),
                         qRound(photoRectangle.height() * scale));
    // Parts of the frame beyond the camera's picture come out black.
    return frame.convertToFormat(QImage::Format_RGB32).copy(inCamera);
}

void ClassSession::setLumoSettings(const settings::LumoSettings &sources)
{
    const bool cameraChanged = sources.source != m_lumoSettings.source ||
                               sources.cameraId != m_lumoSettings.cameraId ||
                               sources.cameraResolution != m_lumoSettings.cameraResolution;
    m_lumoSettings = sources;
    if (platform::LiveCamera *camera = m_services.camera; camera && cameraChanged) {
        if (m_lumoSettings.source == settings::PhotoSourceKind::Camera)
            camera->start(m_lumoSettings.cameraId, m_lumoSettings.cameraResolution);
        else
            camera->stop();
    }
    if (platform::FolderWatch *watch = m_services.folderWatch) {
        const QString folder = m_lumoSettings.source == settings::PhotoSourceKind::Folder
                                   ? m_lumoSettings.watchedFolder
                                   : QString();
        if (watch->watchedFolder() != folder)
            watch->watch(folder);
    }
    // Only the screen source needs the frame window over another program.
    m_frame.setHidden(m_lumoSettings.source != settings::PhotoSourceKind::Screen);
    updateFramingGuide();
    emit lumoSettingsChanged();
}

QList<platform::CameraDevice> ClassSession::cameraDevices() const
{
    return m_services.camera ? m_services.camera->devices() : QList<platform::CameraDevice>();
}

void ClassSession::chooseWatchedFolder()
{
    const QString folder = m_services.dialogs.chooseFolder(QStringLiteral("选择监视的文件夹"),
                                                           m_lumoSettings.watchedFolder);
    if (folder.isEmpty())
        return;
    settings::LumoSettings sources = m_lumoSettings;
    sources.watchedFolder = QDir::toNativeSeparators(folder);
    setLumoSettings(sources);
}

ClassSession::Capture ClassSession::capture()
{
    const frame::PhotoSize photo = m_frame.photoSize();
    if (photo.width <= 0 || photo.height <= 0) {
        warning(QStringLiteral("照片宽度或高度为0，无法拍照，请设置照片宽。"));
        return Capture::NotTaken;
    }
    switch (m_lumoSettings.source) {
    case settings::PhotoSourceKind::Screen:
        break;
    case settings::PhotoSourceKind::Camera:
        return captureCamera();
    case settings::PhotoSourceKind::Folder:
        warning(
            QStringLiteral("照片来源是文件夹监视：把照片放进文件夹 %1，就会保存为当前学生的照片。")
                .arg(QDir::toNativeSeparators(m_lumoSettings.watchedFolder)));
        return Capture::Unavailable;
    }
    // The frame is hidden for the copy, so that its lines are not in the photo, and shown
    // again whatever happens.
    m_frame.setHidden(true);
    const QImage picture = m_services.photoSource.capture(m_frame.photoRectangle());
    if (!m_shutDown)
        m_frame.bringToFront();
    if (picture.isNull())
        return Capture::Failed;
    return takeCapture(picture);
}

ClassSession::Capture ClassSession::captureCamera()
{
    const platform::LiveCamera *camera = m_services.camera;
    const QImage frame = camera ? camera->latestFrame() : QImage();
    if (frame.isNull()) {
        const QString problem = camera ? camera->problem() : QString();
        warning((problem.isEmpty() ? QStringLiteral("摄像头还没有画面。") : problem) +
                QStringLiteral("\n照片没有保存。"));
        return Capture::Unavailable;
    }
    const QImage picture = cropCameraFrame(frame, m_frame.photoRectangle(), m_previewSize);
    return picture.isNull() ? Capture::Failed : takeCapture(picture);
}

ClassSession::Capture ClassSession::takeCapture(const QImage &picture)
{
    if (isUniform(picture)) {
        warning(kUniformCapture);
        return Capture::Uniform;
    }
    m_capture = picture;
    emit capturedPhotoChanged();
    const QString sound = m_folders.dataFilePath(QStringLiteral("QieZi.wav"));
    if (!m_services.shutterSound.play(sound))
        qCWarning(lcSession).noquote() << "shutter sound:" << m_services.shutterSound.lastError();
    return Capture::Taken;
}

void ClassSession::takeArrivedPicture(const QImage &picture)
{
    m_arrivals.append(picture);
    takeArrivals();
}

void ClassSession::takeArrivals()
{
    // Pictures that arrive while a command (or a message box) is open wait for it to end.
    if (m_commandRunning) {
        QTimer::singleShot(200, this, &ClassSession::takeArrivals);
        return;
    }
    while (!m_arrivals.isEmpty() && !m_shutDown && !m_commandRunning) {
        const QImage picture = m_arrivals.takeFirst();
        advance(&picture);
    }
}

} // namespace lumo::session
