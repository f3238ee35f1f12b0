// The hot keys: every 100 ms the keys pressed since the last look and the keys held down are
// read, wherever the keyboard focus is, and each runs its command in a fixed order. The frame's
// move and size keys repeat while held; every other key acts once per press, so that a press
// held a moment too long never photographs a second student. F11 always works and switches the
// others off and on.
#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <functional>

#include "platform/HotKeys.h"

namespace lumo::platform {
class KeyPoller;
struct KeyPoll;
} // namespace lumo::platform

namespace lumo::session {

class ClassSession;

class KeyCommands : public QObject
{
    Q_OBJECT

public:
    // cursor tells where the mouse pointer is on the screen, for F; typingInLumo whether the
    // operator is typing in one of Lumo's text boxes or has one of its dialogs open.
    KeyCommands(ClassSession &session, platform::KeyPoller &keys, std::function<QPoint()> cursor,
                std::function<bool()> typingInLumo = {});

    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }

    // One look at the keys. A look inside a running command acts on no key: the keys wait for a
    // later look.
    void tick();

    // A key pressed in one of Lumo's own windows, where no global look at the keys is possible
    // (a Wayland desktop): it acts as the same key seen by a look.
    void press(platform::HotKey key);

private:
    void act(const platform::KeyPoll &keys);

    ClassSession &m_session;
    platform::KeyPoller &m_keys;
    std::function<QPoint()> m_cursor;
    std::function<bool()> m_typingInLumo;
    QTimer m_timer;
};

} // namespace lumo::session
