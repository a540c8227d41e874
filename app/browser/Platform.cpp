// The game in a web page. The browser calls one pass of the main loop per
// display refresh (emscripten_set_main_loop with no rate of its own uses
// requestAnimationFrame), so the page paces itself by the display as the
// desktop loop does, and the browser shows each frame when the pass returns.
// A page has no threads: each pass also tops up the sound queue.

#include <emscripten.h>

#include "app/Platform.h"
#include "app/Window.h"

// WebGL 1 is OpenGL ES 2; Emscripten emulates immediate mode on it.
const PlatformContext kPlatformContext = {SDL_GL_CONTEXT_PROFILE_ES, 2};
const MikModRenderer::Mixing kPlatformMixing = MikModRenderer::Mixing::Pumped;

namespace {

struct BrowserLoop {
    MikModRenderer* audio;
    void (*finish)();
};

// One pass: every waiting event, then a frame. False when the game ends.
bool runPass() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (!onWindowEvent(event)) {
            return false;
        }
    }
    if (gActive) {
        renderFrame();
    }
    return !(gKeys[27] || gEscapePressed);
}

void pass(void* arg) {
    auto* loop = static_cast<BrowserLoop*>(arg);
    const bool goOn = runPass();
    // After the frame, so that an effect it started is mixed at once.
    loop->audio->pump();
    if (!goOn) {
        emscripten_cancel_main_loop();
        loop->finish();
        // Ends the run even though the page's events and the loop still
        // count as work in progress; the page learns the exit status
        // through Module.onExit.
        emscripten_force_exit(0);
    }
}

}  // namespace

int runMainLoop(MikModRenderer& audio, void (*finish)()) {
    static BrowserLoop loop;
    loop = BrowserLoop{&audio, finish};
    // Rate 0: once per display refresh. The last argument unwinds the
    // caller's stack to the browser, so this call does not return.
    emscripten_set_main_loop_arg(pass, &loop, 0, 1);
    return 0;
}
