// The keys that drive the frame and the class while another program has the keyboard focus.
#pragma once

#include <bitset>
#include <cstddef>

namespace lumo::platform {

enum class HotKey { F11, W, S, A, D, CapsLock, Q, E, F, Up, Down, Left, Right, Home, Count };

using HotKeySet = std::bitset<static_cast<std::size_t>(HotKey::Count)>;

inline bool contains(const HotKeySet &keys, HotKey key)
{
    return keys.test(static_cast<std::size_t>(key));
}

inline void insert(HotKeySet &keys, HotKey key)
{
    keys.set(static_cast<std::size_t>(key));
}

} // namespace lumo::platform
