#pragma once
// The main loop: it waits for window events until the next frame is due,
// reacts to each (the window's state, keys and game controllers, which it
// hands to the application as the game's keys), and runs the frames that the
// FramePacer times: tick, then the levels draw into a DrawList, and only a
// frame that differs from the one on screen is drawn and swapped.
//
// A key press wakes the loop at once and moves the next frame forward, so
// the answer to a key is on the screen within a millisecond or two instead
// of after the rest of a frame's sleep. Exposing, resizing or restoring the
// window, and any key press, draw the frame again even when it is unchanged.
// While the level says its picture stays as it is (the title between two
// blinks of its prompt), and while the window is minimised, the loop runs no
// frames at all and only waits for events.
// F11 and Alt+Enter switch between the window and the full screen; they
// reach no level. Game controllers and touches become keys as well.
//
// The window system is reached through a Host, so that tests run the loop on
// a scripted clock with scripted events and look at every shown frame.

#include <SDL.h>

#include <cstdint>

#include "app/DrawList.h"
#include "app/HeldKeys.h"
#include "app/KeyReceiver.h"
#include "app/PadInput.h"
#include "app/TouchInput.h"
#include "catalogue/Catalogue.h"

class BrikApplication;

class MainLoop {
public:
    class Host {
    public:
        virtual ~Host() = default;
        // Waits at most `timeoutMs` (0: only looks) for the next event.
        // True with the event in `event`, false when none came in time.
        virtual bool waitEvent(SDL_Event& event, int timeoutMs) = 0;
        // Puts `frame`'s shown frame on the screen (draws it, swaps the buffers).
        virtual void show(const DrawList& frame) = 0;
        // The refresh rate of the display the window is on, in Hz; 0 when not known.
        virtual int refreshRate() = 0;
        // The window's client area is now width x height.
        virtual void resized(int width, int height) {
            (void)width;
            (void)height;
        }
        // Switches between the window and the full screen.
        virtual void toggleFullscreen() {}
        // The drawing surface's size in pixels, which the picture is fitted
        // to and fingers are placed on.
        virtual SDL_Point drawableSize() {
            return {catalogue::kScreenWidth, catalogue::kScreenHeight};
        }
    };

    struct Options {
        bool wakeOnKey = true;       // a key press moves the next frame to now
        bool skipUnchanged = true;   // a frame equal to the shown one is not drawn
        bool sleepWhenStill = true;  // no frames while the level says nothing changes
        PadInput::Repeat padRepeat = PadInput::kDefaultRepeat;  // held pad directions
    };

    // `frame` must be installed as gRenderer; the loop reads the time from
    // gCounter, drives `app` and passes it the keys.
    MainLoop(Host& host, DrawList& frame, BrikApplication& app, Options options);

    // Runs until the window is closed or, after a frame, Escape was pressed.
    void run();
    // One pass, where the display calls the program once per refresh (a web
    // page): every waiting event, then one frame, without the pacer. False
    // when the game ends, as run() would return.
    bool runOnce();

    // Frames the pacer ran (drawn or not) and frames put on the screen.
    int64_t framesRun() const { return framesRun_; }
    int64_t framesShown() const { return framesShown_; }
    int padCount() const { return pads_.padCount(); }

private:
    // Hands the keys to the application, latches Escape (a tap can come and
    // go between two frames) and notes a fresh press for the pacer.
    class Keys : public KeyReceiver {
    public:
        explicit Keys(BrikApplication& app) : app_(app) {}
        void press(int32_t code, bool repeat) override;
        void release(int32_t code) override;
        bool escapePressed = false;
        bool freshPress = false;  // since the loop last looked
        bool delivered = false;   // any press or release since the loop last looked

    private:
        BrikApplication& app_;
    };

    // Reacts to one event; false when it asks the program to quit.
    bool handle(const SDL_Event& event);
    bool handleWindow(const SDL_WindowEvent& event);
    void handleKey(const SDL_KeyboardEvent& event);
    void runFrame();
    int64_t nowMs() const;
    // The counter reading before which no frame is needed, from the frame
    // that ran at `now`: now itself while anything moves.
    int64_t stillFrom(int64_t now) const;
    // A rest longer than a day lasts until an event comes.
    static constexpr int64_t kLongestWaitMs = 24 * 60 * 60 * 1000;
    static constexpr int64_t kStillForEver = INT64_MAX;

    Host& host_;
    DrawList& frame_;
    BrikApplication& app_;
    Options options_;
    Keys keys_;
    PadInput pads_;
    TouchInput touch_;
    HeldKeys heldKeys_;
    bool active_ = true;      // false while minimised
    bool redraw_ = true;      // the next frame is drawn even if unchanged
    int64_t stillUntil_ = 0;  // counter ticks: no frame is needed before this
    int64_t framesRun_ = 0;
    int64_t framesShown_ = 0;
};
