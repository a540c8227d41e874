#pragma once
// The intro screen: the title picture with a prompt that blinks once a
// second and, when it was started, the intro music. Any key asks the game
// flow for a new game. The game shows it at start (started, with music) and
// after a lost game (not started: silent).

#include <cstdint>

#include "levels/Level.h"

class IntroLevel : public Level {
public:
    // Stops whatever music plays: leaving the intro screen silences the music
    // left running (faded out) by a lost game, or the intro's own.
    ~IntroLevel() override;

    // Plays the intro music from its first song position.
    void start() override;
    // The prompt shows during the last 499 ms of every clock second.
    void update(int64_t nowMs, int64_t elapsedMs) override;
    void draw() override;
    // Until the prompt next shows or hides.
    int64_t msUntilChange(int64_t nowMs) const override;
    // Any key press, whatever the code, starts a game.
    void keyDown(int32_t key) override;

    bool blink = false;  // the prompt is drawn while set
};
