// The game in a web page. The browser calls one pass of the main loop per
// display refresh (emscripten_set_main_loop with no rate of its own uses
// requestAnimationFrame), so the page paces itself by the display as the
// desktop loop does, and the browser shows each frame when the pass returns.

#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/LoopDriver.h"
#include "app/PlatformFacts.h"
#include "app/Window.h"
#include "catalogue/ScreenFit.h"

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

// The page lays its canvas out with the game's own fit: the whole factor at
// which the picture fills a room of width x height device pixels.
extern "C" EMSCRIPTEN_KEEPALIVE int duobrikFitFactor(int width, int height) {
    return catalogue::fitScreen(width, height).factor;
}

SDL_Point platformDrawableSize() {
    SDL_Point size{0, 0};
    emscripten_get_canvas_element_size("#canvas", &size.x, &size.y);
    return size;
}

namespace {

// The canvas draws at the size in device pixels at which the page shows it
// (Module.canvasPixels, which the page keeps from a ResizeObserver), so that
// one pixel drawn is one pixel of the screen and the enlarged picture stays
// crisp. SDL sizes the canvas itself when the window opens and when the
// browser's window is resized, as its size in CSS pixels times the pixel
// ratio rounded down, which can be a pixel short; this puts it right before
// each frame. 1 when it changed the size.
// clang-format off
EM_JS(int, fitCanvasToPage, (), {
    const canvas = Module["canvas"];
    const wanted = Module["canvasPixels"];
    if (!canvas || !wanted || (canvas.width === wanted[0] && canvas.height === wanted[1])) {
        return 0;
    }
    canvas.width = wanted[0];
    canvas.height = wanted[1];
    return 1;
});
// clang-format on

// Tells the main loop as a resized window would: the new canvas is blank
// until the frame is drawn again.
void announceSize() {
    const SDL_Point size = platformDrawableSize();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.windowID = SDL_GetWindowID(gWindow);
    event.window.data1 = size.x;
    event.window.data2 = size.y;
    SDL_PushEvent(&event);
}

struct BrowserLoop {
    MainLoop* loop;
    void (*finish)();
};

void pass(void* arg) {
    auto* browser = static_cast<BrowserLoop*>(arg);
    if (fitCanvasToPage() != 0) {
        announceSize();
    }
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
