#include "app/MainLoop.h"

#include <algorithm>

#include "app/FramePacer.h"
#include "app/KeyMap.h"
#include "catalogue/Catalogue.h"
#include "game/BrikApplication.h"
#include "game/Clock.h"

void MainLoop::Keys::press(int32_t code, bool repeat) {
    if (code == catalogue::kKeyEscape) {
        escapePressed = true;
    }
    // Only a fresh press is news to the player: a repeat is the held key
    // going on.
    freshPress = freshPress || !repeat;
    delivered = true;
    app_.keyDown(code);
}

void MainLoop::Keys::release(int32_t code) {
    delivered = true;
    app_.keyUp(code);
}

MainLoop::MainLoop(Host& host, DrawList& frame, BrikApplication& app, Options options)
    : host_(host),
      frame_(frame),
      app_(app),
      options_(options),
      keys_(app),
      pads_(options.padRepeat) {}

int64_t MainLoop::nowMs() const {
    // Divided first: a counter in nanoseconds times 1000 would overflow
    // after a few months of a machine's uptime.
    const int64_t ticksPerMs = gCounter.frequency() / 1000;
    return gCounter.read() / (ticksPerMs > 0 ? ticksPerMs : 1);
}

void MainLoop::run() {
    FramePacer pacer(gCounter.frequency(), host_.refreshRate(), gCounter.read());
    SDL_Event event;
    for (;;) {
        // A rest the pacer cannot time (minimised, or still until a key)
        // waits for events alone.
        int timeoutMs = stillUntil_ == kStillForEver ? static_cast<int>(kLongestWaitMs)
                                                     : pacer.msUntilDue(gCounter.read());
        const int repeatMs = pads_.msUntilRepeat(nowMs());
        if (repeatMs >= 0 && repeatMs < timeoutMs) {
            timeoutMs = repeatMs;
        }
        if (host_.waitEvent(event, timeoutMs)) {
            if (!handle(event)) {
                return;
            }
            if (keys_.freshPress && options_.wakeOnKey) {
                pacer.keyPressed(gCounter.read());
            }
            if (redraw_ || keys_.delivered) {
                // A key or the window system wants a frame: after a rest
                // without end, the next one on the grid; during a timed
                // rest, now.
                const int64_t now = gCounter.read();
                if (stillUntil_ == kStillForEver) {
                    pacer.restUntil(now);
                } else if (stillUntil_ > now) {
                    pacer.keyPressed(now);
                }
                stillUntil_ = 0;
            }
            if (event.type == SDL_DISPLAYEVENT ||
                (event.type == SDL_WINDOWEVENT &&
                 event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED)) {
                pacer.setRefreshRate(host_.refreshRate());
            }
            // Every waiting event is taken before the frame that follows them.
            continue;
        }
        pads_.repeat(nowMs(), keys_);
        const int64_t now = gCounter.read();
        if (!pacer.due(now) || stillUntil_ == kStillForEver) {
            continue;  // woken early, say by an event the loop ignores or a repeat
        }
        pacer.frameStarted(now);
        runFrame();
        if (keys_.escapePressed) {
            return;
        }
        stillUntil_ = stillFrom(now);
        if (stillUntil_ != kStillForEver) {
            pacer.restUntil(stillUntil_);
        }
    }
}

int64_t MainLoop::stillFrom(int64_t now) const {
    if (!options_.sleepWhenStill) {
        return 0;
    }
    // Minimised, nothing is drawn until the window comes back.
    if (!active_) {
        return kStillForEver;
    }
    const int64_t ms = app_.msUntilChange();
    if (ms <= 0) {
        return 0;
    }
    if (ms >= kLongestWaitMs) {
        return kStillForEver;
    }
    const int64_t frequency = gCounter.frequency();
    return now + ms * (frequency / 1000) + ms * (frequency % 1000) / 1000;
}

bool MainLoop::runOnce() {
    SDL_Event event;
    bool wanted = false;  // by a key or the window system
    while (host_.waitEvent(event, 0)) {
        if (!handle(event)) {
            return false;
        }
        wanted = wanted || redraw_ || keys_.delivered;
    }
    keys_.delivered = false;
    pads_.repeat(nowMs(), keys_);
    const int64_t now = gCounter.read();
    // The display still calls once per refresh; a still picture is left as it is.
    if (wanted || keys_.delivered || now >= stillUntil_) {
        runFrame();
        stillUntil_ = stillFrom(now);
    }
    return !keys_.escapePressed;
}

bool MainLoop::handle(const SDL_Event& event) {
    keys_.freshPress = false;
    keys_.delivered = false;
    if (heldKeys_.heldSinceBeforeFocus(event)) {
        return true;
    }
    switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_WINDOWEVENT:
            return handleWindow(event.window);
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            handleKey(event.key);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            const SDL_Point surface = host_.drawableSize();
            touch_.handle(event.tfinger, surface.x, surface.y, nowMs(), keys_);
            break;
        }
        default:
            pads_.handle(event, nowMs(), keys_);
            break;
    }
    if (keys_.freshPress) {
        redraw_ = true;
    }
    return true;
}

bool MainLoop::handleWindow(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
            active_ = false;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
            active_ = true;
            redraw_ = true;  // the window system may have lost what was on screen
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESIZED:
            redraw_ = true;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            host_.resized(event.data1, event.data2);
            redraw_ = true;
            break;
        default:
            break;
    }
    return true;
}

void MainLoop::handleKey(const SDL_KeyboardEvent& event) {
    const SDL_Scancode scancode = event.keysym.scancode;
    const bool down = event.type == SDL_KEYDOWN;
    if (isFullscreenToggle(scancode, event.keysym.mod)) {
        // Held, it would flip the screen back and forth at the repeat rate.
        if (down && event.repeat == 0) {
            host_.toggleFullscreen();
        }
        return;
    }
    if (down) {
        if (!isSystemKey(scancode, event.keysym.mod)) {
            // Auto-repeat is forwarded too: a held key is a stream of presses.
            keys_.press(virtualKeyFromScancode(scancode), event.repeat != 0);
        }
        return;
    }
    // A release is forwarded even with Alt held, so that a key let go during
    // an Alt combination never stays down for the game.
    if (scancode != SDL_SCANCODE_F10 && scancode != SDL_SCANCODE_LALT &&
        scancode != SDL_SCANCODE_RALT) {
        keys_.release(virtualKeyFromScancode(scancode));
    }
}

void MainLoop::runFrame() {
    ++framesRun_;
    // Minimised: the game stands still and nothing is drawn.
    if (!active_) {
        return;
    }
    touch_.step(nowMs(), keys_);
    app_.tick();
    frame_.startFrame();
    app_.render();
    if (options_.skipUnchanged && !redraw_ && frame_.sameAsShown()) {
        return;
    }
    frame_.keepAsShown();
    host_.show(frame_);
    redraw_ = false;
    ++framesShown_;
}
