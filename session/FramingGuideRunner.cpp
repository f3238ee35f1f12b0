#include "session/FramingGuideRunner.h"

#include "session/PictureConversion.h"

namespace lumo::session {

FramingGuideRunner::FramingGuideRunner(const checks::FaceDetector *detector)
    : m_detector(detector), m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("framing guide"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

FramingGuideRunner::~FramingGuideRunner()
{
    m_thread.quit();
    m_thread.wait();
}

bool FramingGuideRunner::offer(const QImage &underFrame)
{
    if (m_busy)
        return false;
    m_busy = true;
    // The result comes back as an event for this object: one still queued when it is
    // destroyed is dropped with it.
    QMetaObject::invokeMethod(m_worker, [this, underFrame, detector = m_detector] {
        const photo::BgrImage picture = toBgrImage(underFrame);
        const checks::FramingGuide guide =
            detector ? checks::checkFraming(picture, *detector) : checks::checkFraming(picture);
        QMetaObject::invokeMethod(this, [this, guide, size = underFrame.size()] {
            m_busy = false;
            emit guideFound(guide, size);
        });
    });
    return true;
}

} // namespace lumo::session
