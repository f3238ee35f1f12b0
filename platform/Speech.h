// Speaks the prompts that call students to the camera.
#pragma once

#include <QString>

namespace lumo::platform {

class Speech
{
public:
    virtual ~Speech() = default;

    // False when nothing can be spoken here; unavailableReason() then says why.
    virtual bool isAvailable() const = 0;
    virtual QString unavailableReason() const = 0;

    // Returns when the text has been spoken. False when it could not be.
    virtual bool speak(const QString &text) = 0;
};

} // namespace lumo::platform
