// Runs the live framing guide's check on a thread of its own, one picture at a time: a picture
// offered while a check runs is dropped, so that a slow check never queues work behind the keys.
#pragma once

#include "checks/PhotoChecks.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThread>

namespace lumo::session {

class FramingGuideRunner : public QObject
{
    Q_OBJECT

public:
    // Checks with the given detector, or with the program's shared one when there is none.
    explicit FramingGuideRunner(const checks::FaceDetector *detector = nullptr);
    ~FramingGuideRunner() override; // waits for a check that runs

    // Starts checking the picture under the frame; false (and the picture dropped) while a
    // check runs.
    bool offer(const QImage &underFrame);
    bool isBusy() const { return m_busy; }

signals:
    // The guide, in the pixels of a picture of that size.
    void guideFound(const lumo::checks::FramingGuide &guide, QSize pictureSize);

private:
    const checks::FaceDetector *m_detector;
    QThread m_thread;
    QObject *m_worker; // lives in m_thread
    bool m_busy = false;
};

} // namespace lumo::session
