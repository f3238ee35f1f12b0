// What the camera and the file camera share: frames that reach a QVideoSink become pictures on a
// thread of their own, so that the UI thread only receives finished pictures. A frame that
// arrives while the previous one is still converting replaces the waiting one: the preview shows
// the newest frame, late rather than never.
#pragma once

#include "platform/LiveCamera.h"

#include <QMutex>
#include <QThread>
#include <QVideoFrame>
#include <QVideoSink>

namespace lumo::platform {

class VideoSinkCamera : public LiveCamera
{
    Q_OBJECT

public:
    ~VideoSinkCamera() override;

    QImage latestFrame() const override { return m_latest; }
    QString problem() const override { return m_problem; }

    // Where the frames arrive; a benchmark may put frames in itself.
    QVideoSink *videoSink() { return &m_sink; }

protected:
    explicit VideoSinkCamera(QObject *parent);

    // A picture that needs no conversion takes the path of a converted frame from here on.
    void deliver(const QImage &frame);
    // Frames still converting are dropped, and there is no latest frame until the next one.
    void forgetFrames();
    void setProblem(const QString &problem);

private:
    void convertWaitingFrame(); // on the conversion thread
    void frameConverted(const QImage &frame, quint64 generation);

    QVideoSink m_sink;
    QThread m_conversionThread;
    QObject *m_converter; // lives on m_conversionThread

    // Between the sink and the conversion thread.
    QMutex m_mutex;
    QVideoFrame m_waiting;
    bool m_conversionQueued = false;
    quint64 m_generation = 0; // raised when the frames converting are to be dropped

    QImage m_latest;
    QString m_problem;
};

} // namespace lumo::platform
