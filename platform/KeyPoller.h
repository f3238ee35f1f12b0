// The keys that drive Lumo while another program has the keyboard focus. A poll tells which of
// them were newly pressed since the previous poll (a short tap between two polls is not lost; a
// key held since before it is not newly pressed, however long it is held) and which are down
// now. Keys are only observed, never taken from the program that has the focus.
#pragma once

#include "platform/HotKeys.h"

#include <QString>

namespace lumo::platform {

struct KeyPoll
{
    HotKeySet pressed; // went down since the previous poll
    HotKeySet held;    // down now
};

class KeyPoller
{
public:
    virtual ~KeyPoller() = default;

    // False when keys cannot be observed here; unavailableReason() then says why.
    virtual bool isAvailable() const = 0;
    virtual QString unavailableReason() const = 0;

    virtual KeyPoll poll() = 0;
};

} // namespace lumo::platform
