// Speech and the shutter sound on a computer without a sound device: nothing is played, and
// nothing is reported at every prompt and capture, Lumo having said at start-up that sound is off.
#pragma once

#include "platform/ShutterSound.h"
#include "platform/Speech.h"

namespace lumo::platform {

class NoSpeech : public Speech
{
public:
    bool isAvailable() const override { return false; }
    QString unavailableReason() const override
    {
        return QStringLiteral("没有声音设备，语音提示已关闭");
    }
    bool speak(const QString &) override { return false; }
};

class NoShutterSound : public ShutterSound
{
public:
    // Sound being off is no failure of this capture.
    bool play(const QString &) override { return true; }
    QString lastError() const override { return {}; }
};

} // namespace lumo::platform
