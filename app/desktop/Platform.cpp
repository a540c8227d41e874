// The game on the desktop: desktop OpenGL, a main loop that runs on the main
// thread until the game ends, and the audio renderer's own mixer thread.

#include "app/Platform.h"

#include <SDL.h>

#include "app/Window.h"

// A context that still speaks OpenGL 1.1 immediate mode.
const PlatformContext kPlatformContext = {SDL_GL_CONTEXT_PROFILE_COMPATIBILITY, 0};
const MikModRenderer::Mixing kPlatformMixing = MikModRenderer::Mixing::OwnThread;

namespace {

// Where the buffer swap does not wait for the display (software GL, virtual X
// servers, vsync switched off), the loop would draw thousands of frames a
// second and burn a core. It sleeps out the rest of each display frame
// instead; with a waiting swap the deadline has passed and it never sleeps.
class FramePacer {
public:
    explicit FramePacer(int refreshHz)
        : period_(SDL_GetPerformanceFrequency() / static_cast<Uint64>(refreshHz)),
          next_(SDL_GetPerformanceCounter() + period_) {}

    void wait() {
        const Uint64 now = SDL_GetPerformanceCounter();
        if (now < next_) {
            const Uint64 ms = (next_ - now) * 1000 / SDL_GetPerformanceFrequency();
            if (ms > 0) {
                SDL_Delay(static_cast<Uint32>(ms));
            }
            next_ += period_;
        } else {
            // Late (a slow frame, or the swap waited): start counting afresh.
            next_ = now + period_;
        }
    }

private:
    Uint64 period_;
    Uint64 next_;
};

int displayRefreshRate() {
    SDL_DisplayMode mode;
    if (gWindow != nullptr && SDL_GetWindowDisplayMode(gWindow, &mode) == 0 &&
        mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    return 60;
}

}  // namespace

int runMainLoop(MikModRenderer& audio, void (*finish)()) {
    (void)audio;  // it mixes on its own thread
    FramePacer pacer(displayRefreshRate());
    SDL_Event event;
    for (;;) {
        if (SDL_PollEvent(&event)) {
            if (!onWindowEvent(event)) {
                break;
            }
            continue;
        }
        if (gActive) {
            renderFrame();
        }
        if (gKeys[27] || gEscapePressed) {
            break;
        }
        SDL_GL_SwapWindow(gWindow);
        pacer.wait();
    }
    finish();
    return 0;
}
