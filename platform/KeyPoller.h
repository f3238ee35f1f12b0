// The keys that drive Lumo while another program has the keyboard focus. A poll tells which of
// them count as pressed: down now, or pressed since the previous poll (a short tap between two
// polls is not lost). Keys are only observed, never taken from the program that has the focus.
#pragma once

#include <QString>

#include <bitset>

enum class HotKey { F11, W, S, A, D, CapsLock, Q, E, F, Up, Down, Left, Right, Count };

using HotKeySet = std::bitset<static_cast<std::size_t>(HotKey::Count)>;

inline bool contains(const HotKeySet &keys, HotKey key)
{
    return keys.test(static_cast<std::size_t>(key));
}

class KeyPoller
{
public:
    virtual ~KeyPoller() = default;

    // False when keys cannot be observed here; unavailableReason() then says why.
    virtual bool isAvailable() const = 0;
    virtual QString unavailableReason() const = 0;

    virtual HotKeySet poll() = 0;
};
