#pragma once
// The application frame: owns the current level, turns the high-resolution
// counter into a millisecond clock, advances the level when the clock has
// moved, draws it and passes keys on. The game's own flow from level to level
// lives in DuobrikApplication, which derives from this.

#include <cstdint>
#include <memory>

#include "catalogue/Catalogue.h"
#include "levels/Level.h"

class BrikApplication {
public:
    // Seeds rand() with the calendar time and starts the clock.
    BrikApplication();
    // Does not destroy the current level on its own account; the level is
    // owned by `level` and goes with the application.
    virtual ~BrikApplication();

    // levelNumber = 1, counters zero. Subclasses call it first, then install a level.
    virtual void init();
    // Once per frame: calls level->update when the clock advanced.
    virtual void tick();
    // Clears the screen and draws the level.
    virtual void render();
    virtual void keyUp(int32_t key);
    virtual void keyDown(int32_t key);
    // How long, keys aside, the next ticks change nothing (Level::msUntilChange).
    int64_t msUntilChange() const;

    int32_t levelNumber = 0;
    std::unique_ptr<Level> level;  // never null after init
    int64_t lastTimeMs = 0;
    int64_t ticksPerMs = 1;
    int32_t score = 0;
    int32_t pieceCounts[catalogue::kPieceCount] = {};
};
