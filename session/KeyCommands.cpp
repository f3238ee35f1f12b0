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
    bool repeatsWhileHeld; // frame moves and sizes; every other key acts once per press
    bool bringsFrameToFront;
};

// One look acts on every key that counts, in this order.
const KeyCommand kKeyCommands[] = {
    {HotKey::W, [](ClassSession &s, QPoint) { s.moveFrame(0, -1); }, true, true},
    {HotKey::S, [](ClassSession &s, QPoint) { s.moveFrame(0, 1); }, true, true},
    {HotKey::A, [](ClassSession &s, QPoint) { s.moveFrame(-1, 0); }, true, true},
    {HotKey::D, [](ClassSession &s, QPoint) { s.moveFrame(1, 0); }, true, true},
    {HotKey::CapsLock, [](ClassSession &s, QPoint) { s.next(); }, false, false},
    {HotKey::Q, [](ClassSession &s, QPoint) { s.shrinkFrame(); }, true, true},
    {HotKey::E, [](ClassSession &s, QPoint) { s.enlargeFrame(); }, true, true},
    {HotKey::F, [](ClassSession &s, QPoint cursor) { s.centreFrameOn(cursor); }, false, true},
    {HotKey::Up, [](ClassSession &s, QPoint) { s.previous(); }, false, true},
    {HotKey::Down, [](ClassSession &s, QPoint) { s.skip(); }, false, true},
    {HotKey::Left, [](ClassSession &s, QPoint) { s.repeatName(); }, false, false},
    {HotKey::Right, [](ClassSession &s, QPoint) { s.next(); }, false, true},
    {HotKey::Home, [](ClassSession &s, QPoint) { s.retakePrevious(); }, false, true},
};

} // namespace

KeyCommands::KeyCommands(ClassSession &session, platform::KeyPoller &keys,
                         std::function<QPoint()> cursor, std::function<bool()> typingInLumo)
    : m_session(session), m_keys(keys), m_cursor(std::move(cursor)),
      m_typingInLumo(std::move(typingInLumo))
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &KeyCommands::tick);
}

void KeyCommands::press(HotKey key)
{
    platform::HotKeySet pressed;
    platform::insert(pressed, key);
    act({pressed, pressed});
}

void KeyCommands::tick()
{
    if (m_session.isCommandRunning() || m_session.isShutDown())
        return;
    act(m_keys.poll());
}

void KeyCommands::act(const platform::KeyPoll &keys)
{
    if (m_session.isCommandRunning() || m_session.isShutDown())
        return;
    if (platform::contains(keys.pressed, HotKey::F11))
        m_session.toggleHotKeys();
    // While the operator types in one of Lumo's boxes or answers one of its dialogs, the keys
    // are the operator's text, not commands.
    if (m_session.switches().hotKeysOff || (m_typingInLumo && m_typingInLumo()))
        return;
    for (const KeyCommand &command : kKeyCommands) {
        const bool counts =
            platform::contains(keys.pressed, command.key) ||
            (command.repeatsWhileHeld && platform::contains(keys.held, command.key));
        // A logout during a command ends the session; the keys after it do nothing.
        if (!counts || m_session.isShutDown())
            continue;
        command.run(m_session, command.key == HotKey::F ? m_cursor() : QPoint());
        // Over another program's camera window the frame is brought back in front; over Lumo's
        // own camera view it is drawn in the view.
        if (command.bringsFrameToFront && !m_session.isShutDown() &&
            m_session.lumoSettings().source == settings::PhotoSourceKind::Screen)
            m_session.frame().bringToFront();
    }
}

} // namespace lumo::session
