// Screen pixels on X11: Qt's screen grab, after XSync and a pause for the windows below to
// repaint.
#pragma once

#include "platform/ScreenGrabber.h"

namespace lumo::platform {

class X11ScreenGrabber : public ScreenGrabber
{
public:
    bool isAvailable() const override { return true; }
    QString unavailableReason() const override { return QString(); }
    QImage grab(const QRect &screenRect) override;
    void letWindowsRepaint() override;
};

} // namespace lumo::platform
