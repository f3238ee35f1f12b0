// Global keys on X11: raw key presses and releases of XInput 2 on the root window (every press,
// also a tap shorter than the poll interval) together with XQueryKeymap (keys held down), on a
// connection of its own so that nothing is grabbed.
#pragma once

#include "platform/KeyPoller.h"

#include <array>

struct _XDisplay;

namespace lumo::platform {

class X11KeyPoller : public KeyPoller
{
public:
    // Connects to the display named by DISPLAY (or the given name).
    explicit X11KeyPoller(const char *displayName = nullptr);
    ~X11KeyPoller() override;

    X11KeyPoller(const X11KeyPoller &) = delete;
    X11KeyPoller &operator=(const X11KeyPoller &) = delete;

    bool isAvailable() const override { return m_display != nullptr; }
    QString unavailableReason() const override { return m_unavailableReason; }
    KeyPoll poll() override;

private:
    _XDisplay *m_display = nullptr;
    int m_xinputOpcode = 0;
    std::array<unsigned char, static_cast<std::size_t>(HotKey::Count)> m_keycodes{};
    HotKeySet m_down; // down after the events and the keymap of the previous poll
    QString m_unavailableReason;
};

} // namespace lumo::platform
