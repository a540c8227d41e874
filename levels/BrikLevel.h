#pragma once
// The play level: owns the 10x20 board, points at the falling and the preview
// piece (shared global objects, never copied), holds the rule parameters the
// game flow sets for each level, the score and piece counters it carries, and
// the state of the steering keys. update() runs the rules of play as a state
// machine over `state`; draw() draws the playfield.

#include <cstdint>

#include "catalogue/Catalogue.h"
#include "levels/Board.h"
#include "levels/Level.h"

class Tetrimino;

// The play level's own phases, kept in Level::state next to the flow's codes.
enum BrikState : uint8_t {
    Spawn = 10,        // a new piece is to be brought in
    Falling = 11,      // the piece falls and can be steered
    Landed = 12,       // the piece rests; the lock delay runs; still steerable
    CheckRows = 13,    // the piece is in the board; look for full rows
    ClearFade = 14,    // full rows darken over clearDuration
    Collapse = 15,     // full rows are removed and scored
    WinWait = 16,      // linesToGo reached 0: wait for a key
    WinFadeOut = 17,   // music fades out, then LevelComplete
    LoseWait = 18,     // the new piece did not fit: wait for a key
    LoseFadeOut = 19,  // music fades out, then GameOver
};

class BrikLevel : public Level {
public:
    BrikLevel();

    void start() override;
    void update(int64_t nowMs, int64_t elapsedMs) override;
    void draw() override;
    void keyUp(int32_t key) override;
    void keyDown(int32_t key) override;

    // The two hazards, public so tests can drive them alone: a block dropped
    // into a random column 0..8, and a garbage row with random holes (3 in 10).
    void dropBlock(int colourNumber);
    void raiseGarbageRow(int colourNumber);

    // Rule parameters, set by the game flow before start().
    int32_t interval = 250;        // ms per row of fall; also the lock delay
    int32_t linesToGo = 4;         // rows still to clear; may go below 0
    int32_t blockDropColour = 2;   // 1 or less: random colour each time
    int32_t blockDropPeriod = 0;   // a block drops every this many spawns; 0 never
    int32_t garbageRowColour = 2;  // 1 or less: random colour per row
    int32_t garbageRowPeriod = 0;  // a garbage row rises every this many spawns; 0 never
    int32_t score = 0;             // carried by the game flow
    // Spawned pieces per type code O Z S L J T I, carried by the game flow.
    int32_t pieceCounts[catalogue::kPieceCount] = {};
    int32_t musicSection = 0;     // read by DuobrikLevel's start
    float shakeAmplitude = 0.0f;  // shake after a clear of two or more rows
    float shakePhase = 0.0f;

    Board board;
    Tetrimino* current = nullptr;  // the falling piece, or none
    Tetrimino* next = nullptr;     // the preview piece

    int32_t slideTime = 0;  // ms into the sideways slide in progress
    int32_t fallTime = 0;   // falling: time toward the next row; landed: lock timer
    int32_t slideDuration = catalogue::kSlideMs;  // one sideways slide
    float fallSpeed = 1.0f;  // factor on elapsed time; grows while Down is held
    int32_t column = 0;      // board column of the falling piece's anchor
    int32_t row = 0;         // board row of the falling piece's anchor
    bool smoothSlide = false;
    bool smoothFall = false;
    int32_t clearDuration = 500;  // ms over which full rows darken
    uint16_t lastKey = 0;         // last key pressed and not yet released
    uint16_t downHeld = 0;        // 1 while Down is held
    uint16_t rotateRequest = 0;   // 1 when a turn was asked for
    uint16_t slideKey = 0;        // 37 or 39 while a slide runs, else 0
    int64_t clearStart = 0;
    int64_t fadeStart = 0;
    int32_t blockDropCountdown = 0;
    int32_t garbageRowCountdown = 0;
    int32_t nextType = 0;  // piece type code of `next`

protected:
    // Saves the transform and, while the field shakes, moves what is drawn
    // next down by sin(swingRate * shakePhase) * shakeAmplitude pixels and
    // tilts it by sin(shakePhase) degrees about the screen's centre. The
    // caller restores the transform.
    void pushShake(float swingRate) const;

private:
    // The steps of one update, in the order update() runs them. `elapsed` is
    // the update's own time, which a spawn sets to 0.
    void spawnPiece(int32_t& elapsed);
    void steer(int32_t elapsed);
    void checkRows(int64_t nowMs);
    void fadeRows(int64_t nowMs);
    void collapseRows();
    void waitForKey(int64_t nowMs);
    void fadeOutMusic(int64_t nowMs);
    void decayShake(int32_t elapsed);

    // The steps of steer(), in order: each sees the state the one before left.
    void turnPiece();
    void slidePiece(int32_t elapsed);
    void landAndLock();
    void fall(int32_t elapsed);  // falling: toward the next row; landed: the lock delay
    void placeOnScreen();
};
