#include "platform/camera/VideoSinkCamera.h"

#include <QCoreApplication>

#include <utility>

namespace lumo::platform {

VideoSinkCamera::VideoSinkCamera(QObject *parent) : m_converter(new QObject)
{
    setParent(parent);
    // Without it, Qt converts frames with OpenGL wherever the platform offers it: with a software
    // OpenGL that took 12 ms a frame and most of a core for a 30 fps preview, against 2.4 ms of
    // one thread; and an OpenGL context of its own on the conversion thread. Lumo has no OpenGL
    // widgets, the one thing this also switches off.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    m_conversionThread.setObjectName(QStringLiteral("camera frames"));
    m_converter->moveToThread(&m_conversionThread);
    m_conversionThread.start();

    // Direct: the sink may signal on the media framework's thread.
    connect(
        &m_sink, &QVideoSink::videoFrameChanged, this,
        [this](const QVideoFrame &frame) {
            if (!frame.isValid())
                return;
            QMutexLocker lock(&m_mutex);
            m_waiting = frame;
            if (!std::exchange(m_conversionQueued, true))
                QMetaObject::invokeMethod(
                    m_converter, [this] { convertWaitingFrame(); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
}

VideoSinkCamera::~VideoSinkCamera()
{
    m_conversionThread.quit();
    m_conversionThread.wait();
    delete m_converter;
}

void VideoSinkCamera::convertWaitingFrame()
{
    QMutexLocker lock(&m_mutex);
    const QVideoFrame frame = std::exchange(m_waiting, QVideoFrame());
    m_conversionQueued = false;
    const quint64 generation = m_generation;
    lock.unlock();
    // RGB32: what the preview paints without converting again.
    const QImage picture = frame.toImage().convertToFormat(QImage::Format_RGB32);
    if (!picture.isNull())
        QMetaObject::invokeMethod(
            this, [this, picture, generation] { frameConverted(picture, generation); },
            Qt::QueuedConnection);
}

void VideoSinkCamera::frameConverted(const QImage &frame, quint64 generation)
{
    QMutexLocker lock(&m_mutex);
    if (generation != m_generation)
        return;
    lock.unlock();
    deliver(frame);
}

void VideoSinkCamera::deliver(const QImage &frame)
{
    m_latest = frame;
    setProblem(QString());
    emit frameArrived(frame);
}

void VideoSinkCamera::forgetFrames()
{
    QMutexLocker lock(&m_mutex);
    ++m_generation;
    m_waiting = QVideoFrame();
    m_latest = QImage();
}

void VideoSinkCamera::setProblem(const QString &problem)
{
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit problemChanged(problem);
}

} // namespace lumo::platform
