#pragma once
// The win screen, shown once the last play level has been won: the intro
// picture with the "you win" plate over it, the final score in the score
// digits where play showed it, and the intro music. A key press after a short
// guard time sends the player back to the intro screen, the music playing on.

#include <cstdint>

#include "levels/Level.h"

class WinLevel : public Level {
public:
    // Keys are ignored this long after the screen appears, so a key still held
    // (and repeating) from the last level does not skip the screen unseen.
    static constexpr int64_t kKeyGuardMs = 1000;

    // Turns the music back up after the last level's fade-out and plays the intro music.
    void start() override;
    void update(int64_t nowMs, int64_t elapsedMs) override;
    void draw() override;
    // The picture stays; only the key guard's end needs an update.
    int64_t msUntilChange(int64_t nowMs) const override;
    void keyDown(int32_t key) override;

    int32_t score = 0;    // the final score, set by the game flow
    int64_t shownMs = 0;  // time the screen has been shown
};
