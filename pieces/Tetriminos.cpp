#include "pieces/Tetriminos.h"

#include "catalogue/Catalogue.h"

using catalogue::kBoardColumns;
using catalogue::kTopRow;

TetriminoI::TetriminoI() : TabledPiece(pictures::kPictureI) {}
TetriminoJ::TetriminoJ() : ThreeByTwoPiece(pictures::kPictureJ) {}
TetriminoL::TetriminoL() : ThreeByTwoPiece(pictures::kPictureL) {}
TetriminoO::TetriminoO() : TabledPiece(pictures::kPictureO) {}
TetriminoS::TetriminoS() : ThreeByTwoPiece(pictures::kPictureS) {}
TetriminoT::TetriminoT() : ThreeByTwoPiece(pictures::kPictureT) {}
TetriminoZ::TetriminoZ() : ThreeByTwoPiece(pictures::kPictureZ) {}

// The bar turns about its second square: flat on columns c..c+3 it stands up
// in column c+1, and standing in column c it lies down on c-1..c+2.
void TetriminoI::rotate(int& col) {
    col += turn() % 2 == 0 ? 1 : -1;
    turnOnce();
}

// Only the flat bar tests the top: it is the one shape whose box is one row
// high, so it is the only one that can be asked about row 19 + 1.
bool TetriminoI::collides(int col, int row, const Cell* board) const {
    const bool flat = turn() % 2 == 0;
    return (flat && row > kTopRow) || TabledPiece::collides(col, row, board);
}

Kick TetriminoI::kickOffset(int col, int row) const {
    Kick kick;
    if (turn() % 2 == 0) {
        // The upright bar reaches row + 3: keep it at or below row 19.
        if (row > kTopRow - 3) {
            kick.dy = kTopRow - 3 - row;
        }
    } else if (col < 1) {
        // Lying down moves the bar one column left of its column.
        kick.dx = 1 - col;
    } else if (col > kBoardColumns - 4) {
        // ...and reaches two columns to the right.
        kick.dx = kBoardColumns - 3 - col;
    }
    return kick;
}

TetriminoI gTetriminoI;
TetriminoJ gTetriminoJ;
TetriminoL gTetriminoL;
TetriminoO gTetriminoO;
TetriminoS gTetriminoS;
TetriminoT gTetriminoT;
TetriminoZ gTetriminoZ;
