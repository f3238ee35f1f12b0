// The photo is what the screen shows inside the frame: another program's camera picture.
#pragma once

#include "platform/PhotoSource.h"
#include "platform/ScreenGrabber.h"

namespace lumo::platform {

class ScreenRegionSource : public PhotoSource
{
public:
    explicit ScreenRegionSource(ScreenGrabber &screen) : m_screen(screen) {}

    bool isAvailable() const override { return m_screen.isAvailable(); }
    QString unavailableReason() const override { return m_screen.unavailableReason(); }

    // Waits for the windows below the (hidden) frame to repaint, then copies the rectangle.
    QImage capture(const QRect &photoRectangle) override;
    QImage peek(const QRect &photoRectangle) override;

private:
    ScreenGrabber &m_screen;
};

} // namespace lumo::platform
