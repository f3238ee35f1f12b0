// The keys that drive Lumo while another program has the keyboard focus. A poll tells which of
// them count as pressed: down now, or pressed since the previous poll (a short tap between two
// polls is not lost). Keys are only observed, never taken from the program that has the focus.
#pragma once

#include "platform/HotKeys.h"

#include <QString>

namespace lumo::platform {

class KeyPoller
{
public:
    virtual ~KeyPoller() = default;

    // False when keys cannot be observed here; unavailableReason() then says why.
    virtual bool isAvailable() const = 0;
    virtual QString unavailableReason() const = 0;

    virtual HotKeySet poll() = 0;
};

} // namespace lumo::platform
