// Copies screen pixels: the photo is what lies inside the frame on the screen.
#pragma once

#include <QImage>
#include <QRect>

namespace lumo::platform {

class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;

    // The pixels of the rectangle in screen coordinates, exactly its size; pixels that lie off
    // every screen are black. A null image when nothing could be copied.
    virtual QImage grab(const QRect &screenRect) = 0;

    // Waits until the window system has carried out what was asked of it (hiding the frame)
    // and the windows below have repainted, so that a grab shows them.
    virtual void letWindowsRepaint() = 0;
};

} // namespace lumo::platform
