#pragma once
// The base of every screen of the game. A level receives time, draw requests
// and keys, and tells the game flow what to do next through its one state
// byte; it never destroys or replaces itself.
//
// Calling order: created, given its parameters, start() once, then per frame
// update() (only when the clock moved) and draw(), keys between frames.

#include <cstdint>

enum LevelState : uint8_t {
    Running = 0,        // keep running this level
    StartGame = 1,      // the intro screen asks for a new game
    LevelComplete = 2,  // a play level was won: go on to the next
    GameOver = 3,       // a play level was lost: back to the intro screen
    BackToIntro = 4,    // the win screen was left: back to the intro screen, music playing on
};

class Level {
public:
    virtual ~Level() = default;
    virtual void start() {}
    // nowMs: the application's clock; elapsedMs: time since the last update (>= 1).
    virtual void update(int64_t nowMs, int64_t elapsedMs) {
        (void)nowMs;
        (void)elapsedMs;
    }
    virtual void draw() {}
    // Key codes are virtual-key codes 0..255 (Escape 27, Space 32, arrows 37-40).
    virtual void keyUp(int32_t key) { (void)key; }
    virtual void keyDown(int32_t key) { (void)key; }
    // How long from nowMs, keys aside, the level's updates change nothing it
    // draws or does: 0 while anything moves (the default), kStill when only
    // a key can change it. The game sleeps that long instead of drawing the
    // same picture again.
    static constexpr int64_t kStill = INT64_MAX;
    virtual int64_t msUntilChange(int64_t nowMs) const {
        (void)nowMs;
        return 0;
    }

    // A LevelState code; subclasses may keep their own codes (10 and up) here,
    // which the game flow reads as Running.
    uint8_t state = Running;
};
