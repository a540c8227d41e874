#pragma once
// Turns SDL's key events into the virtual-key codes 0..255 that the game's
// levels and the key table gKeys speak (Escape 27, Space 32, arrows 37-40,
// digits 48-57, letters 65-90, F1-F12 112-123). Every key gets some code, so
// that any key leaves the intro screen.

#include <SDL.h>

#include <cstdint>

// A key that has no code of its own: still a key press, steering nothing.
constexpr int kOtherKey = 255;

// The virtual-key code of a physical key.
int virtualKeyFromScancode(SDL_Scancode scancode);

// Whether the key event switches between the window and the full screen:
// F11, or Enter with Alt held. Such keys never reach a level.
bool isFullscreenToggle(SDL_Scancode scancode, uint16_t modifiers);

// Whether the platform treats the key event as a system key that the game
// never sees: F10, the Alt keys themselves, and anything pressed with Alt held.
bool isSystemKey(SDL_Scancode scancode, uint16_t modifiers);
