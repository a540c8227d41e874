#pragma once
// The seven falling pieces and their one shared object each. A piece class
// is its picture table (pieces/PieceTables.h) and its way of turning: the J,
// L, S, T and Z turn in place, the I moves its column as it turns and is
// the one piece that tests the top of the board, the O never turns.
//
// The play level never copies a piece: it points at gTetriminoI..gTetriminoZ
// and moves them by writing x, y and orientation.

#include "pieces/TabledPiece.h"
#include "pieces/ThreeByTwoPiece.h"

class TetriminoI : public TabledPiece {
public:
    TetriminoI();
    void rotate(int& col) override;
    bool collides(int col, int row, const Cell* board) const override;
    Kick kickOffset(int col, int row) const override;
};

class TetriminoJ : public ThreeByTwoPiece {
public:
    TetriminoJ();
};

class TetriminoL : public ThreeByTwoPiece {
public:
    TetriminoL();
};

// The O never turns: rotate and kickOffset keep the base class's answers.
class TetriminoO : public TabledPiece {
public:
    TetriminoO();
};

// S and Z look the same in orientations 0 and 2 and in 1 and 3, but still
// count through all four.
class TetriminoS : public ThreeByTwoPiece {
public:
    TetriminoS();
};

class TetriminoT : public ThreeByTwoPiece {
public:
    TetriminoT();
};

class TetriminoZ : public ThreeByTwoPiece {
public:
    TetriminoZ();
};

extern TetriminoI gTetriminoI;
extern TetriminoJ gTetriminoJ;
extern TetriminoL gTetriminoL;
extern TetriminoO gTetriminoO;
extern TetriminoS gTetriminoS;
extern TetriminoT gTetriminoT;
extern TetriminoZ gTetriminoZ;
