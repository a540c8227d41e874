#include "pieces/ThreeByTwoPiece.h"

#include "catalogue/Catalogue.h"

using catalogue::kBoardColumns;
using catalogue::kTopRow;

void ThreeByTwoPiece::rotate(int& col) {
    (void)col;
    turnOnce();
}

// The rule looks at the three-row box whichever way the piece turns: a turn
// must not put the 2x3 box above row 19 (it reaches row + 2), nor the 3x2 box
// past column 9.
Kick ThreeByTwoPiece::kickOffset(int col, int row) const {
    Kick kick;
    if (row > kTopRow - 2) {
        kick.dy = kTopRow - 2 - row;
    }
    if (turn() % 2 == 1 && col > kBoardColumns - 3) {
        kick.dx = kBoardColumns - 3 - col;
    }
    return kick;
}
