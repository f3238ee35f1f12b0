// Copies screen pixels: the photo is what lies inside the frame on the screen.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace lumo::platform {

class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;

    // False where the screen cannot be copied (a Wayland session); unavailableReason() then says
    // why, in the operator's words.
    virtual bool isAvailable() const = 0;
    virtual QString unavailableReason() const = 0;

    // The pixels of the rectangle in screen coordinates (Qt's device-independent pixels), at the
    // screen's own resolution: a desktop scaled by 2 gives twice the width and height. Pixels
    // that lie off every screen are black. A null image when nothing could be copied.
    virtual QImage grab(const QRect &screenRect) = 0;

    // Waits until the window system has carried out what was asked of it (hiding the frame)
    // and the windows below have repainted, so that a grab shows them.
    virtual void letWindowsRepaint() = 0;
};

} // namespace lumo::platform
