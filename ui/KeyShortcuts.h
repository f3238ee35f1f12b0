// The hot keys as shortcuts of Lumo's own windows, for a desktop where keys cannot be seen
// globally (Wayland): they work while a Lumo window has the keyboard focus.
#pragma once

class QWidget;

namespace lumo::session {
class KeyCommands;
}

namespace lumo::ui {

void installKeyShortcuts(QWidget *window, session::KeyCommands &keys);

} // namespace lumo::ui
