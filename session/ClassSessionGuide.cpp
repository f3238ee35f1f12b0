// The live framing guide: about ten times a second the picture under the frame goes to the
// checks on their own thread, and what they find is drawn over the frame.
#include "session/ClassSession.h"

#include "platform/PhotoSource.h"
#include "session/FramingGuideRunner.h"

#include <QLoggingCategory>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcSession)

namespace lumo::session {

namespace {

constexpr int kGuideIntervalMs = 100;

} // namespace

bool ClassSession::wantsFramingGuide() const
{
    return m_lumoSettings.checkPhotos && !m_shutDown &&
           m_lumoSettings.source != settings::PhotoSourceKind::Folder;
}

void ClassSession::updateFramingGuide()
{
    if (!wantsFramingGuide()) {
        if (m_guideTimer)
            m_guideTimer->stop();
        m_frame.setGuide({});
        return;
    }
    if (!m_guideRunner) {
        m_guideRunner = std::make_unique<FramingGuideRunner>();
        connect(m_guideRunner.get(), &FramingGuideRunner::guideFound, this,
                &ClassSession::showFramingGuide);
        m_guideTimer = std::make_unique<QTimer>();
        m_guideTimer->setInterval(kGuideIntervalMs);
        connect(m_guideTimer.get(), &QTimer::timeout, this, &ClassSession::lookAtFraming);
    }
    m_guideTimer->start();
}

void ClassSession::lookAtFraming()
{
    // A capture hides the frame and a message box may be open: the guide waits for the command.
    if (m_commandRunning || m_guideRunner->isBusy())
        return;
    const QRect photoRectangle = m_frame.photoRectangle();
    QImage picture;
    if (m_lumoSettings.source == settings::PhotoSourceKind::Screen) {
        if (m_frame.isHidden())
            return;
        picture = m_services.photoSource.peek(photoRectangle);
    } else if (m_services.camera) {
        picture = cropCameraFrame(m_services.camera->latestFrame(), photoRectangle, m_previewSize);
    }
    if (picture.isNull()) {
        m_frame.setGuide({});
        return;
    }
    m_guideRunner->offer(picture);
}

void ClassSession::showFramingGuide(const checks::FramingGuide &guide, QSize pictureSize)
{
    const QSize photo = m_frame.photoRectangle().size();
    if (!wantsFramingGuide() || pictureSize.isEmpty() || photo.isEmpty() ||
        !guide.error.isEmpty()) {
        if (!guide.error.isEmpty() && m_guideTimer) {
            // The checks cannot run here (no face detector): no guide for the rest of the run.
            qCWarning(lcSession).noquote() << "framing guide:" << guide.error;
            m_guideTimer->stop();
        }
        m_frame.setGuide({});
        return;
    }
    const double across = double(photo.width()) / pictureSize.width();
    const double down = double(photo.height()) / pictureSize.height();
    frame::FramingGuideShape shape;
    shape.headBandTop = qRound(guide.headBandTop * down);
    shape.headBandBottom = qRound(guide.headBandBottom * down);
    if (guide.face) {
        const QRect &face = *guide.face;
        shape.face = QRect(qRound(face.x() * across), qRound(face.y() * down),
                           qRound(face.width() * across), qRound(face.height() * down));
    }
    shape.headFits = guide.headFits;
    m_frame.setGuide(shape);
}

} // namespace lumo::session
