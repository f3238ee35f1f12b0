#include "platform/x11/X11KeyPoller.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <optional>

namespace lumo::platform {

namespace {

// In the order of HotKey.
constexpr std::array<KeySym, static_cast<std::size_t>(HotKey::Count)> kKeySyms = {
    XK_F11, XK_w, XK_s,  XK_a,    XK_d,    XK_Caps_Lock, XK_q,
    XK_e,   XK_f, XK_Up, XK_Down, XK_Left, XK_Right,     XK_Home,
};

bool isHeld(const char keymap[32], unsigned char keycode)
{
    return keycode != 0 && (keymap[keycode / 8] & (1 << (keycode % 8)));
}

} // namespace

X11KeyPoller::X11KeyPoller(const char *displayName)
{
    Display *display = XOpenDisplay(displayName);
    if (!display) {
        m_unavailableReason = QStringLiteral("未检测到 X11 会话，无法使用全局热键");
        return;
    }
    int event = 0, error = 0;
    // From version 2.1 on, raw events arrive also while another program grabs the keyboard.
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &m_xinputOpcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        m_unavailableReason = QStringLiteral("X 服务器不支持 XInput 2，无法使用全局热键");
        return;
    }

    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(mask, XI_RawKeyPress);
    XISetMask(mask, XI_RawKeyRelease);
    XIEventMask eventMask;
    eventMask.deviceid = XIAllMasterDevices;
    eventMask.mask_len = sizeof(mask);
    eventMask.mask = mask;
    XISelectEvents(display, DefaultRootWindow(display), &eventMask, 1);
    XFlush(display);

    for (std::size_t i = 0; i < kKeySyms.size(); ++i)
        m_keycodes[i] = XKeysymToKeycode(display, kKeySyms[i]);
    m_display = display;
}

X11KeyPoller::~X11KeyPoller()
{
    if (m_display)
        XCloseDisplay(m_display);
}

KeyPoll X11KeyPoller::poll()
{
    if (!m_display)
        return {};

    KeyPoll result;
    auto hotKeyOf = [&](int keycode) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < m_keycodes.size(); ++i) {
            if (m_keycodes[i] != 0 && m_keycodes[i] == keycode)
                return i;
        }
        return std::nullopt;
    };
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        XGenericEventCookie *cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_xinputOpcode ||
            !XGetEventData(m_display, cookie))
            continue;
        const auto key = hotKeyOf(static_cast<const XIRawEvent *>(cookie->data)->detail);
        if (key && cookie->evtype == XI_RawKeyPress) {
            // A press of a key already down is a repeat, not a new press.
            if (!m_down.test(*key))
                result.pressed.set(*key);
            m_down.set(*key);
        } else if (key && cookie->evtype == XI_RawKeyRelease) {
            m_down.reset(*key);
        }
        XFreeEventData(m_display, cookie);
    }

    char keymap[32] = {};
    XQueryKeymap(m_display, keymap);
    for (std::size_t i = 0; i < m_keycodes.size(); ++i)
        result.held[i] = isHeld(keymap, m_keycodes[i]);
    // Down now without a press seen: the press was missed, or its event comes with the next
    // poll (and then finds the key down). Up now: a release still to come changes nothing.
    result.pressed |= result.held & ~m_down;
    m_down = result.held;
    return result;
}

} // namespace lumo::platform
