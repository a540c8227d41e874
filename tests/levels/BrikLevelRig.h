#pragma once
// A play level on a scripted clock, with the recording renderer and audio
// installed, for the rules tests. Pieces are the shared globals, so the rig
// puts them back as a fresh program has them when it goes.

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

#include "catalogue/Catalogue.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/BrikLevel.h"
#include "pieces/Tetriminos.h"

constexpr int kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// The tile set of colour numbers 1..7 (I Z O S J L T); [0] is the clearing set.
constexpr unsigned kSetOfColour[8] = {
    catalogue::kClearingSet, catalogue::kTileSetI, catalogue::kTileSetZ, catalogue::kTileSetO,
    catalogue::kTileSetS,    catalogue::kTileSetJ, catalogue::kTileSetL, catalogue::kTileSetT};

// The shared piece of each type code 0..6: O Z S L J T I.
inline Tetrimino* const kPieceOfType[catalogue::kPieceCount] = {
    &gTetriminoO, &gTetriminoZ, &gTetriminoS, &gTetriminoL,
    &gTetriminoJ, &gTetriminoT, &gTetriminoI};

// The type code 0..6 of a shared piece; -1 for anything else.
inline int typeOf(const Tetrimino* piece) {
    const auto found = std::find(std::begin(kPieceOfType), std::end(kPieceOfType), piece);
    return found == std::end(kPieceOfType) ? -1 : static_cast<int>(found - kPieceOfType);
}

inline bool inClearingSet(uint8_t tile) {
    return tile >= catalogue::kClearingSet &&
           tile < catalogue::kClearingSet + catalogue::kTileSetSize;
}

// The nine tiles a square of the set starting at `base` shows with these
// neighbours, by the joining rule.
inline std::array<int, 9> joinedTiles(unsigned base, const catalogue::Neighbours& n) {
    std::array<int, 9> tiles = catalogue::joinOffsets(n);
    for (int& t : tiles) {
        t += static_cast<int>(base);
    }
    return tiles;
}

inline std::array<int, 9> tilesOf(const Cell& cell) {
    std::array<int, 9> tiles;
    std::copy(std::begin(cell.tiles), std::end(cell.tiles), tiles.begin());
    return tiles;
}

// The level itself, so tests reach its fields as rig.row, rig.state, ...
struct Rig : BrikLevel {
    FakeRenderer renderer;
    FakeAudio audio;
    int64_t now = 100000;

    Rig() { start(); }
    ~Rig() override {
        for (Tetrimino* p : kPieceOfType) {
            p->orientation = static_cast<int8_t>(p->x = p->y = 0);
        }
    }

    void step(int64_t ms, int times = 1) {
        for (int i = 0; i < times; ++i) {
            update(now += ms, ms);
        }
    }

    // Makes `piece` the one that spawns at the next update and runs that update;
    // with a column, moves it straight to (col, r) in `orientation`.
    void spawn(Tetrimino* piece, int orientation = 0, int col = -1, int r = 0) {
        next = piece;
        nextType = typeOf(piece);
        state = Spawn;
        step(1);
        if (col >= 0) {
            piece->orientation = static_cast<int8_t>(orientation);
            column = col, row = r;
        }
    }

    // Runs updates of `ms` until the level reaches `wanted` (at most 10000).
    void runUntil(uint8_t wanted, int64_t ms) {
        for (int i = 0; i < 10000 && state != wanted; ++i) {
            step(ms);
        }
    }

    void fillRow(int r, int exceptColumn = -1, int colour = 3) {
        for (int c = 0; c < catalogue::kBoardColumns; ++c) {
            if (c != exceptColumn) {
                board.setCell(c, r, colour);
            }
        }
    }

    int filledCount() const {
        return static_cast<int>(std::count_if(std::begin(board.cells), std::end(board.cells),
                                              [](const Cell& c) { return c.filled(); }));
    }
};
