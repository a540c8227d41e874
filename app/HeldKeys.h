#pragma once
// Keys that were already held down when the window got the keyboard focus
// (Escape or Return held while the game starts, or while the player
// switches to it) are not presses: a key counts once it goes down while the
// window has the focus. The window system still sends such a key's repeats,
// and SDL, which never saw it go down, passes the first one on as a fresh
// press; only the platform's own events tell it apart, so each platform has
// its own implementation (app/desktop, app/browser).
//
// The main loop shows it every event first and ignores the ones it names.

#include <SDL.h>

#include <bitset>

class HeldKeys {
public:
    // Asks SDL for the window system's own events where the platform needs them.
    HeldKeys();

    // True when `event` is the press of a key held since before the window
    // had the focus; such a key counts again once it has been let go.
    bool heldSinceBeforeFocus(const SDL_Event& event);

private:
    std::bitset<256> held_;       // the platform's own key codes held at focus
    bool nextPressHeld_ = false;  // the window system's event said so; SDL's follows it
};
