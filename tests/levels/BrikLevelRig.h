#pragma once
// A play level on a scripted clock, with the recording renderer and audio
// installed, for the rules tests. Pieces are the shared globals, so the rig
// puts them back as a fresh program has them when it goes.

#include <cstdint>

#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/BrikLevel.h"
#include "pieces/Tetriminos.h"

inline Tetrimino* const kPieceOfType[7] = {&gTetriminoO, &gTetriminoZ, &gTetriminoS, &gTetriminoL,
                                           &gTetriminoJ, &gTetriminoT, &gTetriminoI};

inline int typeOf(const Tetrimino* piece) {
    for (int t = 0; t < 7; ++t) {
        if (kPieceOfType[t] == piece) {
            return t;
        }
    }
    return -1;
}

struct Rig {
    FakeRenderer renderer;
    FakeAudio audio;
    BrikLevel level;
    int64_t now = 100000;

    Rig() {
        level.score = 0;
        level.start();
    }
    ~Rig() {
        for (Tetrimino* p : kPieceOfType) {
            p->orientation = 0;
            p->x = p->y = 0;
        }
    }

    void step(int64_t ms) {
        now += ms;
        level.update(now, ms);
    }

    // Makes `piece` the one that spawns at the next update, and runs that update.
    void spawn(Tetrimino* piece) {
        level.next = piece;
        level.nextType = typeOf(piece);
        level.state = Spawn;
        step(1);
    }

    // Spawns `piece` and moves it straight to (col, row) in `orientation`.
    void spawnAt(Tetrimino* piece, int orientation, int col, int row) {
        spawn(piece);
        piece->orientation = static_cast<int8_t>(orientation);
        level.column = col;
        level.row = row;
    }

    // Runs updates of `ms` until the piece is no longer falling or landed.
    int runUntilPlaced(int64_t ms) {
        int updates = 0;
        while ((level.state == Falling || level.state == Landed) && updates < 10000) {
            step(ms);
            ++updates;
        }
        return updates;
    }

    // From the lock through the check, the 500 ms fade and the collapse.
    void clearRows(int64_t lastStep = 10) {
        step(10);
        step(500);
        step(lastStep);
    }

    void fillRow(int row, int exceptColumn = -1, int colour = 3) {
        for (int c = 0; c < BrikLevel::kColumns; ++c) {
            if (c != exceptColumn) {
                level.setCell(c, row, colour);
            }
        }
    }

    int filledCount() const {
        int n = 0;
        for (const Cell& c : level.board) {
            n += c.filled() ? 1 : 0;
        }
        return n;
    }

    // Whether the falling piece stands where it cannot: on a filled cell or past an edge.
    bool pieceBlocked() const {
        if (level.current == nullptr) {
            return false;
        }
        return level.current->collides(level.column, level.row, level.board);
    }
};
