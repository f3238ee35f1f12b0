// Plays the shutter sound that confirms a capture.
#pragma once

#include <QString>

namespace lumo::platform {

class ShutterSound
{
public:
    virtual ~ShutterSound() = default;

    // Starts the sound and returns at once. False, with lastError(), when it cannot be played.
    virtual bool play(const QString &soundFile) = 0;
    virtual QString lastError() const = 0;
};

} // namespace lumo::platform
