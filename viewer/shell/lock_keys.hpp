// lock_keys.hpp: the state of the lock keys, as far as the window system tells it.
#pragma once

#include <optional>

namespace tessaly {

// On or off for each lock key the status bar shows; none where the window system does not say.
struct LockKeyStates {
    std::optional<bool> kana;
    std::optional<bool> caps;
    std::optional<bool> num;
    std::optional<bool> scroll;
};

// The lock keys of the running X11 display, read from its keyboard extension (XKB): each by the
// indicator of that name. Nothing on other platforms, or without the extension.
LockKeyStates readX11LockKeys();

} // namespace tessaly
