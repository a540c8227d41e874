// The game in a web page. The browser calls one pass of the main loop per
// display refresh (emscripten_set_main_loop with no rate of its own uses
// requestAnimationFrame), so the page paces itself by the display as the
// desktop loop does, and the browser shows each frame when the pass returns.

#include <emscripten.h>

#include "app/LoopDriver.h"
#include "app/PlatformFacts.h"

// WebGL 1 is OpenGL ES 2; Emscripten emulates immediate mode on it.
const PlatformContext kPlatformContext = {SDL_GL_CONTEXT_PROFILE_ES, 2};

// The page says itself why the game cannot start.
bool platformHasDesktop() {
    return false;
}

// A page learns nothing of the keyboard's repeat setting.
PadInput::Repeat platformKeyRepeat() {
    return PadInput::kDefaultRepeat;
}

namespace {

struct BrowserLoop {
    MainLoop* loop;
    void (*finish)();
};

void pass(void* arg) {
    auto* browser = static_cast<BrowserLoop*>(arg);
    if (!browser->loop->runOnce()) {
        emscripten_cancel_main_loop();
        browser->finish();
        // Ends the run although the page's event handlers would keep it
        // going; the page learns the exit status through Module.onExit.
        emscripten_force_exit(0);
    }
}

}  // namespace

int runMainLoop(MainLoop& loop, void (*finish)()) {
    static BrowserLoop browser;
    browser = BrowserLoop{&loop, finish};
    // Rate 0: once per display refresh. The last argument hands control to
    // the browser without unwinding the caller, whose objects the loop uses:
    // this call does not return.
    emscripten_set_main_loop_arg(pass, &browser, 0, 1);
    return 0;
}
