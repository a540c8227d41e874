#include "pieces/Tetrimino.h"

bool Tetrimino::canRotate(int col, int row, const Cell* board) {
    const int8_t saved = orientation;
    // rotate() may move the column (the I does); a copy keeps the caller's.
    int turnedColumn = col;
    rotate(turnedColumn);
    const bool blocked = collides(turnedColumn, row, board);
    orientation = saved;
    return !blocked;
}
