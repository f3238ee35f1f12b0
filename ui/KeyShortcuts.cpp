#include "ui/KeyShortcuts.h"

#include "platform/HotKeys.h"
#include "session/KeyCommands.h"

#include <QShortcut>
#include <QWidget>

namespace lumo::ui {

namespace {

using platform::HotKey;

struct KeyShortcut
{
    Qt::Key key;
    HotKey hotKey;
    bool repeats; // the frame's move and size keys repeat while held
};

const KeyShortcut kShortcuts[] = {
    {Qt::Key_W, HotKey::W, true},          {Qt::Key_S, HotKey::S, true},
    {Qt::Key_A, HotKey::A, true},          {Qt::Key_D, HotKey::D, true},
    {Qt::Key_Q, HotKey::Q, true},          {Qt::Key_E, HotKey::E, true},
    {Qt::Key_F, HotKey::F, false},         {Qt::Key_CapsLock, HotKey::CapsLock, false},
    {Qt::Key_Right, HotKey::Right, false}, {Qt::Key_Up, HotKey::Up, false},
    {Qt::Key_Down, HotKey::Down, false},   {Qt::Key_Left, HotKey::Left, false},
    {Qt::Key_Home, HotKey::Home, false},   {Qt::Key_F11, HotKey::F11, false},
};

} // namespace

void installKeyShortcuts(QWidget *window, session::KeyCommands &keys)
{
    for (const KeyShortcut &entry : kShortcuts) {
        auto *shortcut = new QShortcut(QKeySequence(entry.key), window);
        shortcut->setAutoRepeat(entry.repeats);
        QObject::connect(shortcut, &QShortcut::activated, &keys,
                         [&keys, hotKey = entry.hotKey] { keys.press(hotKey); });
    }
}

} // namespace lumo::ui
