// The shutter sound through libcanberra: asynchronous, and an error code instead of a hang when
// there is no sound device.
#pragma once

#include "platform/ShutterSound.h"

struct ca_context;

namespace lumo::platform {

class CanberraShutterSound : public ShutterSound
{
public:
    CanberraShutterSound();
    ~CanberraShutterSound() override;

    CanberraShutterSound(const CanberraShutterSound &) = delete;
    CanberraShutterSound &operator=(const CanberraShutterSound &) = delete;

    bool play(const QString &soundFile) override;
    QString lastError() const override { return m_lastError; }

private:
    ca_context *m_context = nullptr;
    QString m_lastError;
};

} // namespace lumo::platform
