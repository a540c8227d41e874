#pragma once
// One square of the board or of a piece's picture. Putting a piece down is a
// plain copy of its cells into the board, so the board keeps every square's
// picture: nine tile texture indices drawn as a 3x3 patch (tiles 1-3 the
// bottom band, 4-6 the middle, 7-9 the top, each left to right).

#include <cstdint>

struct Cell {
    // 0: filled and drawn; any other value: empty (its tiles mean nothing).
    uint8_t empty;
    uint8_t tiles[9];

    // Tiles are zeroed too, so an empty cell never carries stray bytes.
    constexpr Cell() : empty(1), tiles{} {}
    constexpr Cell(uint8_t isEmpty, uint8_t t1, uint8_t t2, uint8_t t3, uint8_t t4, uint8_t t5,
                   uint8_t t6, uint8_t t7, uint8_t t8, uint8_t t9)
        : empty(isEmpty), tiles{t1, t2, t3, t4, t5, t6, t7, t8, t9} {}

    constexpr bool filled() const { return empty == 0; }
};

static_assert(sizeof(Cell) == 10, "a cell is the 10-byte record the board and pictures share");
