#pragma once
// Game controllers, through SDL's game controller API and its built-in
// mapping database, as the keys the levels already know: the d-pad or the
// left stick steers (Left, Right, Down), A, B, X and Y turn the piece (Up),
// Start starts a game and goes on after a level (Return), Back ends the game
// (Escape). The table in PadInput.cpp lists it.
//
// Pads may come and go at any time, several at once: a key is down while any
// pad holds it, and a pad pulled out lets go of what it held. A held
// direction repeats as a held key does: after a delay, at a steady rate,
// only the one pressed last. The main loop hands every event to handle(),
// calls repeat() on each pass and waits no longer than msUntilRepeat().

#include <SDL.h>

#include <cstdint>

#include "app/KeyReceiver.h"

class PadInput {
public:
    struct Repeat {
        int64_t delayMs;     // from the press to the first repeat
        int64_t intervalMs;  // between repeats
    };
    // A desktop's usual setting, where it tells none: 660 ms, then 25 a second.
    static constexpr Repeat kDefaultRepeat = {660, 40};

    explicit PadInput(Repeat repeat = kDefaultRepeat);
    // Closes every controller it opened.
    ~PadInput();
    PadInput(const PadInput&) = delete;
    PadInput& operator=(const PadInput&) = delete;

    // Reacts to a controller event at `nowMs` (any millisecond clock) and
    // delivers the keys it presses or lets go. False for any other event.
    bool handle(const SDL_Event& event, int64_t nowMs, KeyReceiver& keys);
    // Delivers the held direction's repeat if one is due at `nowMs`.
    void repeat(int64_t nowMs, KeyReceiver& keys);
    // Milliseconds until the next repeat is due (0: now), or -1 when none will come.
    int msUntilRepeat(int64_t nowMs) const;
    // Lets go of every key and closes every controller.
    void closeAll(KeyReceiver& keys);

    int padCount() const { return count_; }

    // The stick must leave the centre by this much of its range to press a
    // direction, and come back inside the smaller one to let go, so that a
    // stick resting near the edge does not chatter.
    static constexpr int kStickPress = 16384;    // half of full travel
    static constexpr int kStickRelease = 12288;  // three eighths
    // More pads than this are ignored until one goes.
    static constexpr int kMaxPads = 8;

private:
    struct Pad {
        SDL_JoystickID id = -1;
        SDL_GameController* controller = nullptr;
        uint32_t buttons = 0;  // bit i: button kButtons[i] held
        uint32_t stick = 0;    // game keys the stick holds, as bits of kKeys
    };

    Pad* find(SDL_JoystickID id);
    void open(int deviceIndex);
    void close(SDL_JoystickID id);
    // Delivers the keys that went down or up since the last call.
    void settle(int64_t nowMs, KeyReceiver& keys);

    Repeat repeat_;
    Pad pads_[kMaxPads];
    int count_ = 0;
    uint32_t down_ = 0;      // game keys down, as bits of kKeys
    int32_t repeatKey_ = 0;  // 0: nothing repeats
    int64_t nextRepeatMs_ = 0;
};
