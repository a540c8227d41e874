// On the desktop the window system's own key events come through SDL's
// SYSWM events, each just before the SDL key event it becomes: X11's key
// codes (the keyboard's state read with XQueryKeymap when the focus comes)
// and Windows' virtual keys (read with GetAsyncKeyState).

#include "app/HeldKeys.h"

#include <SDL_syswm.h>

HeldKeys::HeldKeys() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }
}

#if defined(_WIN32)

bool HeldKeys::heldSinceBeforeFocus(const SDL_Event& event) {
    const bool held = nextPressHeld_;
    nextPressHeld_ = false;
    if (event.type == SDL_KEYDOWN) {
        return held;
    }
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_WINDOWS) {
        return false;
    }
    const auto& msg = event.syswm.msg->msg.win;
    const size_t key = msg.wParam & 0xFF;
    switch (msg.msg) {
        case WM_SETFOCUS:
            for (size_t k = 0; k < held_.size(); ++k) {
                held_[k] = (GetAsyncKeyState(static_cast<int>(k)) & 0x8000) != 0;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            nextPressHeld_ = held_[key];
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            held_[key] = false;
            break;
        default:
            break;
    }
    return false;
}

#else

bool HeldKeys::heldSinceBeforeFocus(const SDL_Event& event) {
    const bool held = nextPressHeld_;
    nextPressHeld_ = false;
    if (event.type == SDL_KEYDOWN) {
        return held;
    }
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11) {
        return false;
    }
    const XEvent& x = event.syswm.msg->msg.x11.event;
    switch (x.type) {
        case FocusIn: {
            char keys[32] = {};
            XQueryKeymap(x.xany.display, keys);
            for (size_t k = 0; k < held_.size(); ++k) {
                held_[k] = ((keys[k / 8] >> (k % 8)) & 1) != 0;
            }
            break;
        }
        case KeyPress:
            nextPressHeld_ = held_[x.xkey.keycode & 0xFF];
            break;
        case KeyRelease:
            held_[x.xkey.keycode & 0xFF] = false;
            break;
        default:
            break;
    }
    return false;
}

#endif
