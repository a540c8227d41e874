#pragma once
// The main loop: it waits for window events until the next frame is due,
// hands each event to the window layer, and runs the frames that the
// FramePacer times: tick, then the levels draw into a DrawList, and only a
// frame that differs from the one on screen is drawn and swapped.
//
// A key press wakes the loop at once and moves the next frame forward, so
// the answer to a key is on the screen within a millisecond or two instead
// of after the rest of a frame's sleep. Exposing, resizing or restoring the
// window, and any key press, draw the frame again even when it is unchanged.
//
// The window system is reached through a Host, so that tests run the loop on
// a scripted clock with scripted events and look at every shown frame.

#include <SDL.h>

#include <cstdint>

#include "app/DrawList.h"

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
    };

    struct Options {
        bool wakeOnKey = true;      // a key press moves the next frame to now
        bool skipUnchanged = true;  // a frame equal to the shown one is not drawn
    };

    // `frame` must be installed as gRenderer; the loop reads the time from
    // gCounter and drives gApplication.
    MainLoop(Host& host, DrawList& frame, Options options);

    // Runs until the window is closed or, after a frame, Escape was pressed.
    void run();
    // One pass, where the display calls the program once per refresh (a web
    // page): every waiting event, then one frame, without the pacer. False
    // when the game ends, as run() would return.
    bool runOnce();

    // Frames the pacer ran (drawn or not) and frames put on the screen.
    int64_t framesRun() const { return framesRun_; }
    int64_t framesShown() const { return framesShown_; }

private:
    // Reacts to one event; false when it asks the program to quit.
    bool handle(const SDL_Event& event);
    void runFrame();

    Host& host_;
    DrawList& frame_;
    Options options_;
    bool redraw_ = true;  // the next frame is drawn even if unchanged
    int64_t framesRun_ = 0;
    int64_t framesShown_ = 0;
};
