#pragma once
// Where the input devices deliver the game's keys. Keyboards, game
// controllers and touches all end up as the same few virtual-key codes
// (catalogue's kKey* names) before any level sees them; the window layer
// passes them on to the application.

#include <cstdint>

class KeyReceiver {
public:
    virtual ~KeyReceiver() = default;
    // Key `code` (0..255) went down; `repeat` when it is a held key's repeat
    // rather than a new press.
    virtual void press(int32_t code, bool repeat) = 0;
    // Key `code` came up.
    virtual void release(int32_t code) = 0;
};
