#pragma once
// The game's application: decides which level runs. It shows the intro
// screen first, then the 24 play levels of its level list one after the
// other, each built when it is reached and given its speed, goal, hazards,
// music section and carried counters; a lost game goes back to a silent intro
// screen, a won last level to the win screen and from there to the intro.
//
// Levels only report through their state byte; every change of level happens
// here, at the start of a frame, so the application always has a level.

#include <cstdint>

#include "game/BrikApplication.h"

class DuobrikApplication : public BrikApplication {
public:
    static constexpr int32_t kLevelCount = 24;

    // Counters zero, then the intro screen with its music.
    void init() override;
    // The flow step on the current level's state, then the clock and update.
    void tick() override;

private:
    void keepCounters();
    void nextLevel();
};
