#include "session/KeyCommands.h"

#include "platform/HotKeys.h"
#include "platform/KeyPoller.h"
#include "session/ClassSession.h"

namespace lumo::session {

namespace {

using platform::HotKey;

struct KeyCommand
{
    HotKey key;
    std::function<void(ClassSession &, QPoint cursor)> run;
    bool bringsFrameToFront;
};

// One look acts on every pressed key, in this order.
const KeyCommand kKeyCommands[] = {
    {HotKey::W, [](ClassSession &s, QPoint) { s.moveFrame(0, -1); }, true},
    {HotKey::S, [](ClassSession &s, QPoint) { s.moveFrame(0, 1); }, true},
    {HotKey::A, [](ClassSession &s, QPoint) { s.moveFrame(-1, 0); }, true},
    {HotKey::D, [](ClassSession &s, QPoint) { s.moveFrame(1, 0); }, true},
    {HotKey::CapsLock, [](ClassSession &s, QPoint) { s.next(); }, false},
    {HotKey::Q, [](ClassSession &s, QPoint) { s.shrinkFrame(); }, true},
    {HotKey::E, [](ClassSession &s, QPoint) { s.enlargeFrame(); }, true},
    {HotKey::F, [](ClassSession &s, QPoint cursor) { s.centreFrameOn(cursor); }, true},
    {HotKey::Up, [](ClassSession &s, QPoint) { s.previous(); }, true},
    {HotKey::Down, [](ClassSession &s, QPoint) { s.skip(); }, true},
    {HotKey::Left, [](ClassSession &s, QPoint) { s.repeatName(); }, false},
    {HotKey::Right, [](ClassSession &s, QPoint) { s.next(); }, true},
};

} // namespace

KeyCommands::KeyCommands(ClassSession &session, platform::KeyPoller &keys,
                         std::function<QPoint()> cursor)
    : m_session(session), m_keys(keys), m_cursor(std::move(cursor))
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &KeyCommands::tick);
}

void KeyCommands::tick()
{
    if (m_session.isCommandRunning() || m_session.isShutDown())
        return;
    const platform::HotKeySet keys = m_keys.poll();
    if (platform::contains(keys, HotKey::F11))
        m_session.toggleHotKeys();
    if (m_session.switches().hotKeysOff)
        return;
    for (const KeyCommand &command : kKeyCommands) {
        // A logout during a command ends the session; the keys after it do nothing.
        if (!platform::contains(keys, command.key) || m_session.isShutDown())
            continue;
        command.run(m_session, command.key == HotKey::F ? m_cursor() : QPoint());
        if (command.bringsFrameToFront && !m_session.isShutDown())
            m_session.frame().bringToFront();
    }
}

} // namespace lumo::session
