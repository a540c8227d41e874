#pragma once
// When the main loop runs its next frame. Frames keep to a fixed grid of one
// display period each, so that the game gets the same number of updates
// whatever the player does: the rules count the soft drop and the lock timer
// per update, and extra frames would make the game faster.
//
// A new key press moves the next frame of the grid forward to the moment of
// the press, so that the player sees the answer at once instead of after the
// rest of a frame's wait; the frame after it keeps its place on the grid, at
// least a full period later. Frames are moved, never added.
//
// Times are ticks of the high-resolution counter (gCounter); the pacer reads
// no clock itself, so tests drive it with any times they like.

#include <cstdint>

class FramePacer {
public:
    // `frequency`: counter ticks per second; `refreshHz`: frames per second
    // (60 where not known or not positive, at most 500); `now`: the counter
    // at start. The first frame is due at once.
    FramePacer(int64_t frequency, int refreshHz, int64_t now);

    // A new rate, say after the window moved to another display. The frame
    // already due keeps its time; the ones after it follow the new period.
    void setRefreshRate(int refreshHz);
    int refreshRate() const { return refreshHz_; }

    // Whether the next frame is due at `now`.
    bool due(int64_t now) const { return now >= next_; }
    // Whole milliseconds to wait for the next frame, rounded up (0 when due),
    // so that a wait of this long never ends before the frame is due.
    int msUntilDue(int64_t now) const;

    // A key went down at `now` (not an auto-repeat, not a release): the next
    // frame moves forward to now. It still comes kKeyFrameGapMs after the
    // frame before it at the soonest.
    void keyPressed(int64_t now);

    // The frame that was due started at `now`; the next one is one period
    // later on the grid. A frame more than a period late (a slow frame, a
    // stop in a debugger) starts the grid afresh instead of running the
    // missed frames back to back.
    void frameStarted(int64_t now);

    // Nothing on screen changes before `until`: the next frame is the first
    // of the grid at or after it, so that a picture that rests between
    // changes (the title's blinking prompt) keeps its frames on the grid.
    void restUntil(int64_t until);

    // A sideways slide moves a 20-pixel square in 100 ms, one pixel per 5 ms:
    // a frame drawn sooner after the one before would show a key's slide not
    // yet started, and the player would wait for the frame after it.
    static constexpr int64_t kKeyFrameGapMs = 5;

private:
    int64_t frequency_;
    int refreshHz_;
    int64_t period_;
    int64_t slot_;  // the next frame's place on the grid
    int64_t next_;  // when the next frame runs: its slot, or sooner after a key
    int64_t last_;  // when the last frame started
};
