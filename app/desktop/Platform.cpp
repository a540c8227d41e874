// The game on the desktop: desktop OpenGL, and a main loop that runs on the
// main thread until the game ends.

#include "app/LoopDriver.h"
#include "app/PlatformFacts.h"

#include <cstdlib>

#include "app/Window.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <SDL_syswm.h>
#include <X11/XKBlib.h>
#endif

// A context that still speaks OpenGL 1.1 immediate mode.
const PlatformContext kPlatformContext = {SDL_GL_CONTEXT_PROFILE_COMPATIBILITY, 0};

SDL_Point platformDrawableSize() {
    SDL_Point size{0, 0};
    SDL_GL_GetDrawableSize(gWindow, &size.x, &size.y);
    return size;
}

int runMainLoop(MainLoop& loop, void (*finish)()) {
    loop.run();
    finish();
    return 0;
}

#if defined(_WIN32)

bool platformHasDesktop() {
    return true;
}

PadInput::Repeat platformKeyRepeat() {
    int delay = 0;
    DWORD speed = 0;
    if (!SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0) ||
        !SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0)) {
        return PadInput::kDefaultRepeat;
    }
    // Windows keeps both as steps of its control panel's sliders: the delay
    // 0..3 from 250 ms to 1 s, the speed 0..31 from about 2.5 to 30 repeats
    // a second.
    const int64_t delayMs = 250 * (1 + (delay < 0 ? 0 : delay > 3 ? 3 : delay));
    const double perSecond = 2.5 + 27.5 * (speed > 31 ? 31 : speed) / 31.0;
    return {delayMs, static_cast<int64_t>(1000.0 / perSecond + 0.5)};
}

#else

bool platformHasDesktop() {
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

PadInput::Repeat platformKeyRepeat() {
    // The X server's own setting; a desktop on Wayland tells each program
    // through its keyboard, which SDL does not pass on.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (gWindow == nullptr || SDL_GetWindowWMInfo(gWindow, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11) {
        return PadInput::kDefaultRepeat;
    }
    unsigned delay = 0;
    unsigned interval = 0;
    if (!XkbGetAutoRepeatRate(info.info.x11.display, XkbUseCoreKbd, &delay, &interval) ||
        interval == 0) {
        return PadInput::kDefaultRepeat;
    }
    return {static_cast<int64_t>(delay), static_cast<int64_t>(interval)};
}

#endif
