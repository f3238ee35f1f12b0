// Screen pixels on X11: Qt's screen grab, after XSync and a pause for the windows below to
// repaint.
#pragma once

#include "platform/ScreenGrabber.h"

namespace lumo::platform {

class X11ScreenGrabber : public ScreenGrabber
{
public:
    // Unavailable on a Wayland session, where the grab shows other programs black.
    X11ScreenGrabber();

    bool isAvailable() const override { return m_unavailableReason.isEmpty(); }
    QString unavailableReason() const override { return m_unavailableReason; }
    QImage grab(const QRect &screenRect) override;
    void letWindowsRepaint() override;

private:
    QString m_unavailableReason;
};

} // namespace lumo::platform
