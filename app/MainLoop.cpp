#include "app/MainLoop.h"

#include "app/BrikApplication.h"
#include "app/Clock.h"
#include "app/FramePacer.h"
#include "app/Window.h"

MainLoop::MainLoop(Host& host, DrawList& frame, Options options)
    : host_(host), frame_(frame), options_(options) {}

void MainLoop::run() {
    FramePacer pacer(gCounter.frequency(), host_.refreshRate(), gCounter.read());
    SDL_Event event;
    for (;;) {
        if (host_.waitEvent(event, pacer.msUntilDue(gCounter.read()))) {
            if (!handle(event)) {
                return;
            }
            // Only a fresh press is news to the player: an auto-repeat is
            // the held key going on, and a release shows nothing new.
            if (event.type == SDL_KEYDOWN && event.key.repeat == 0 && options_.wakeOnKey) {
                pacer.keyPressed(gCounter.read());
            }
            if (event.type == SDL_DISPLAYEVENT ||
                (event.type == SDL_WINDOWEVENT &&
                 event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED)) {
                pacer.setRefreshRate(host_.refreshRate());
            }
            // Every waiting event is taken before the frame that follows them.
            continue;
        }
        const int64_t now = gCounter.read();
        if (!pacer.due(now)) {
            continue;  // woken early, say by an event the window layer ignores
        }
        pacer.frameStarted(now);
        runFrame();
        if (gEscapePressed) {
            return;
        }
    }
}

bool MainLoop::runOnce() {
    SDL_Event event;
    while (host_.waitEvent(event, 0)) {
        if (!handle(event)) {
            return false;
        }
    }
    runFrame();
    return !(gKeys[27] || gEscapePressed);
}

bool MainLoop::handle(const SDL_Event& event) {
    if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
        redraw_ = true;
    }
    if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
            // The window system may have lost what was on screen.
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_MAXIMIZED:
            case SDL_WINDOWEVENT_RESIZED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                redraw_ = true;
                break;
            default:
                break;
        }
    }
    return onWindowEvent(event);
}

void MainLoop::runFrame() {
    ++framesRun_;
    // Minimised: the game stands still and nothing is drawn.
    if (!gActive) {
        return;
    }
    gApplication->tick();
    frame_.startFrame();
    gApplication->render();
    if (options_.skipUnchanged && !redraw_ && frame_.sameAsShown()) {
        return;
    }
    frame_.keepAsShown();
    host_.show(frame_);
    redraw_ = false;
    ++framesShown_;
}
