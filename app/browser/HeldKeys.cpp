// A page learns of keys only while it has the focus, and SDL passes no
// browser events on: every press counts.

#include "app/HeldKeys.h"

HeldKeys::HeldKeys() = default;

bool HeldKeys::heldSinceBeforeFocus(const SDL_Event& event) {
    (void)event;
    (void)held_;
    (void)nextPressHeld_;
    return false;
}
