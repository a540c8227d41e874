#pragma once
// The play level the game plays. It keeps every rule of BrikLevel and adds
// what makes it a game to look at and listen to: smooth motion of the falling
// piece, the level music and the six sound effects, a ring of pictures turning
// with the clock, four bands that pulse with the first four music voices, the
// bar of rows still to clear, the score and the eight piece-count columns.
//
// The game flow builds one (or one of the preset-board subclasses in
// DuobrikLevels.h) for every play level, sets its parameters, calls start()
// once and drives it like any Level.

#include <cstdint>

#include "levels/BrikLevel.h"

class DuobrikLevel : public BrikLevel {
public:
    DuobrikLevel();

    // Empties the board, turns the music back up, loads the music and the six
    // effects again and plays the music from the level's section.
    void start() override;
    // The rules, then the ring angle and the voice levels from this moment.
    void update(int64_t nowMs, int64_t elapsedMs) override;
    // Background, playfield, then the score display on top.
    void draw() override;

    // The five score digits at the top of the screen (also used by the win screen).
    static void drawScore(int32_t score);

    int32_t ringAngle = 0;      // degrees, 1..360, falls one degree per 3 ms
    float voiceLevels[4] = {};  // playing volume of music voices 0..3, 0..1
};
