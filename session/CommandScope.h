// Marks a command of the class session as running for as long as it lasts, so that no key
// starts another meanwhile.
#pragma once

namespace lumo::session {

class CommandScope
{
public:
    explicit CommandScope(bool &running) : m_running(running), m_outer(running) { running = true; }
    ~CommandScope() { m_running = m_outer; }
    // True when another command was already running: this one does nothing.
    bool nested() const { return m_outer; }

    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;

private:
    bool &m_running;
    bool m_outer;
};

} // namespace lumo::session
