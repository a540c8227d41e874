#include "game/BrikApplication.h"

#include <cstdlib>
#include <ctime>

#include "game/Clock.h"
#include "render/Renderer.h"

BrikApplication::BrikApplication() {
    srand(static_cast<unsigned>(time(nullptr)));
    lastTimeMs = gCounter.read();
    ticksPerMs = gCounter.frequency() / 1000;
    // A counter slower than 1 kHz would make a millisecond zero ticks long and
    // the division below fault; count each tick as a millisecond instead.
    if (ticksPerMs < 1) {
        ticksPerMs = 1;
    }
    lastTimeMs = lastTimeMs / ticksPerMs;
}

BrikApplication::~BrikApplication() = default;

void BrikApplication::init() {
    levelNumber = 1;
    score = 0;
    for (int32_t& count : pieceCounts) {
        count = 0;
    }
}

void BrikApplication::tick() {
    const int64_t nowMs = gCounter.read() / ticksPerMs;
    const int64_t elapsed = nowMs - lastTimeMs;
    // Frames within one millisecond, or a counter that went backwards, carry
    // no update; time resumes once the reading passes the old value.
    if (elapsed <= 0) {
        return;
    }
    lastTimeMs = nowMs;
    level->update(nowMs, elapsed);
}

int64_t BrikApplication::msUntilChange() const {
    // A level asking the game flow for the next one changes at the next tick.
    if (level->state >= StartGame && level->state <= BackToIntro) {
        return 0;
    }
    return level->msUntilChange(gCounter.read() / ticksPerMs);
}

void BrikApplication::render() {
    gRenderer->clear();
    level->draw();
}

void BrikApplication::keyUp(int32_t key) {
    level->keyUp(key);
}

void BrikApplication::keyDown(int32_t key) {
    level->keyDown(key);
}
