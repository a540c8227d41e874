#pragma once
// The base of the seven falling pieces. A piece is a shared global object (one
// per kind) that the play level points at and moves by writing x, y and
// orientation; its pictures never change. Local cell (i, j) counts i to the
// right and j upward from the bottom-left of the piece's box; at board
// position (col, row) it covers board cell (col + i, row + j) of the 200-cell
// board (see catalogue::cellIndex).

#include <cstdint>

#include "catalogue/Cell.h"

// The shift to add to a piece's position before it turns.
struct Kick {
    int32_t dx = 0;
    int32_t dy = 0;
};

class Tetrimino {
public:
    virtual ~Tetrimino() = default;

    // Draws the four squares of the current orientation at (x + 20i, y - 20j).
    virtual void draw() const {}
    // Turns a quarter clockwise; may move the column (only the I does). Tests nothing.
    virtual void rotate(int& col) { (void)col; }
    // True when the piece at (col, row) crosses a board edge it tests or covers
    // a filled square. Never reads outside the board.
    virtual bool collides(int col, int row, const Cell* board) const {
        (void)col;
        (void)row;
        (void)board;
        return false;
    }
    // Copies the four squares into the board; never writes outside it.
    virtual void place(int col, int row, Cell* board) const {
        (void)col;
        (void)row;
        (void)board;
    }
    // The kick that keeps the turned piece inside the walls and below the top;
    // it depends on the position alone, never on what the board holds.
    virtual Kick kickOffset(int col, int row) const {
        (void)col;
        (void)row;
        return {};
    }
    // Whether the piece could turn at (col, row); leaves every field as it was.
    bool canRotate(int col, int row, const Cell* board);

    int32_t x = 0;           // screen x of local cell (0, 0)'s left edge
    int32_t y = 0;           // screen y of local cell (0, 0)'s top edge
    int8_t orientation = 0;  // 0..3, quarter turns clockwise
};
