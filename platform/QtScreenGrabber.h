// Screen pixels through the window system's screen grab of Qt.
#pragma once

#include "platform/ScreenGrabber.h"

class QtScreenGrabber : public ScreenGrabber
{
public:
    QImage grab(const QRect &screenRect) override;
    void letWindowsRepaint() override;
};
