#pragma once
// The play level: owns the 10x20 board, points at the falling and the preview
// piece (shared global objects, never copied), holds the rule parameters the
// game flow sets for each level, the score and piece counters it carries, and
// the state of the steering keys. update() runs the rules of play as a state
// machine over `state`; draw() draws the playfield.
//
// Board: 200 cells, column-major, cell (c, r) at index c * 20 + r, row 0 at the
// bottom. On screen cell (c, r) has its top-left corner at (60 + 20c, 440 - 20r).

#include <cstdint>

#include "app/Level.h"
#include "pieces/Cell.h"

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
    static constexpr int kColumns = 10;
    static constexpr int kRows = 20;
    static constexpr int kCells = kColumns * kRows;

    BrikLevel();

    void start() override;
    void update(int64_t nowMs, int64_t elapsedMs) override;
    void draw() override;
    void keyUp(int32_t key) override;
    void keyDown(int32_t key) override;

    // Makes (column, row) a filled single block of colour number 1..7 (any
    // other number gives the clearing set). Out-of-board positions are ignored.
    void setCell(int column, int row, int colourNumber);

    // The board operations of the rules, public so tests can drive them alone.
    void dropBlock(int colourNumber);
    void raiseGarbageRow(int colourNumber);
    void closeLowerEdges(int row);
    void closeUpperEdges(int row);
    void markClearing(int row);

    Cell& cellAt(int column, int row) { return board[column * kRows + row]; }
    const Cell& cellAt(int column, int row) const { return board[column * kRows + row]; }

    // Rule parameters, set by the game flow before start().
    int32_t interval = 250;        // ms per row of fall; also the lock delay
    int32_t linesToGo = 4;         // rows still to clear; may go below 0
    int32_t blockDropColour = 2;   // 1 or less: random colour each time
    int32_t blockDropPeriod = 0;   // a block drops every this many spawns; 0 never
    int32_t garbageRowColour = 2;  // 1 or less: random colour per row
    int32_t garbageRowPeriod = 0;  // a garbage row rises every this many spawns; 0 never
    int32_t score = 0;             // carried by the game flow
    int32_t pieceCounts[7] = {};   // spawned pieces per type code O Z S L J T I
    int32_t musicSection = 0;      // read by DuobrikLevel's start
    float shakeAmplitude = 0.0f;   // shake after a clear of two or more rows
    float shakePhase = 0.0f;

    Cell board[kCells];
    Tetrimino* current = nullptr;  // the falling piece, or none
    Tetrimino* next = nullptr;     // the preview piece

    int32_t slideTime = 0;        // ms into the sideways slide in progress
    int32_t fallTime = 0;         // falling: time toward the next row; landed: lock timer
    int32_t slideDuration = 100;  // one sideways slide; also the held-arrow repeat
    float fallSpeed = 1.0f;       // factor on elapsed time; grows while Down is held
    int32_t column = 0;           // board column of the falling piece's anchor
    int32_t row = 0;              // board row of the falling piece's anchor
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

    bool rowFull(int row) const;
};
