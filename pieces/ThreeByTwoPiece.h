#pragma once
// The J, L, S, T and Z: pieces whose box is 3 wide and 2 high lying flat
// (orientations 0 and 2) and 2 by 3 standing (1 and 3). They turn about the
// box's bottom-left cell, so the column stays, and the kick keeps the turned
// box inside the right wall and below the top.

#include "pieces/TabledPiece.h"

class ThreeByTwoPiece : public TabledPiece {
public:
    void rotate(int& col) override;
    Kick kickOffset(int col, int row) const override;

protected:
    using TabledPiece::TabledPiece;
};
