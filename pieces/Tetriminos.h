#pragma once
// The seven falling pieces and their one shared object each. A piece class
// knows its shape in every orientation, how it turns (only the I moves its
// column when it turns), which board edges it tests, how far it must be kicked
// so that its turned box stays inside the walls and below the top, and its
// pictures, copied from pieces/PieceTables.h when the object is built.
//
// The play level never copies a piece: it points at gTetriminoI..gTetriminoZ
// and moves them by writing x, y and orientation.
//
// All pieces answer any position without touching memory outside the 200-cell
// board: squares that would lie above the top row count as open and are never
// read, and place() skips squares that would fall outside the board.

#include "pieces/Tetrimino.h"

// Width and height of a piece's box in one orientation.
struct PieceBox {
    int width;
    int height;
};

class TetriminoI : public Tetrimino {
public:
    TetriminoI();
    ~TetriminoI() override = default;
    void draw() override;
    bool rotate(int& col, int row, Cell* board) override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;
    Kick kickOffset(int col, int row, const Cell* board) override;

    PieceBox box() const;
    // The picture of local cell (i, j) in the current orientation.
    const Cell& cellAt(int i, int j) const;

    Cell horizontal[4];  // element k is (k, 0); orientations 0 and 2
    Cell vertical[4];    // element k is (0, k); orientations 1 and 3
};

// J, L and T share one layout: six cells per orientation, element
// 6o + 3j + i in the 3x2 orientations 0 and 2, 6o + 2j + i in the 2x3 ones.
class TetriminoJ : public Tetrimino {
public:
    TetriminoJ();
    ~TetriminoJ() override = default;
    void draw() override;
    bool rotate(int& col, int row, Cell* board) override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;
    Kick kickOffset(int col, int row, const Cell* board) override;

    PieceBox box() const;
    const Cell& cellAt(int i, int j) const;

    Cell cells[24];
};

class TetriminoL : public Tetrimino {
public:
    TetriminoL();
    ~TetriminoL() override = default;
    void draw() override;
    bool rotate(int& col, int row, Cell* board) override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;
    Kick kickOffset(int col, int row, const Cell* board) override;

    PieceBox box() const;
    const Cell& cellAt(int i, int j) const;

    Cell cells[24];
};

// The O never turns: rotate and kickOffset keep the base class's answers.
class TetriminoO : public Tetrimino {
public:
    TetriminoO();
    ~TetriminoO() override = default;
    void draw() override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;

    PieceBox box() const;
    const Cell& cellAt(int i, int j) const;

    Cell cells[4];  // element 2i + j
};

// S and Z look the same in orientations 0 and 2 and in 1 and 3, but still
// count through all four.
class TetriminoS : public Tetrimino {
public:
    TetriminoS();
    ~TetriminoS() override = default;
    void draw() override;
    bool rotate(int& col, int row, Cell* board) override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;
    Kick kickOffset(int col, int row, const Cell* board) override;

    PieceBox box() const;
    const Cell& cellAt(int i, int j) const;

    Cell horizontal[6];  // element 2i + j, 3x2 box
    Cell vertical[6];    // element 3i + j, 2x3 box
};

class TetriminoT : public Tetrimino {
public:
    TetriminoT();
    ~TetriminoT() override = default;
    void draw() override;
    bool rotate(int& col, int row, Cell* board) override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;
    Kick kickOffset(int col, int row, const Cell* board) override;

    PieceBox box() const;
    const Cell& cellAt(int i, int j) const;

    Cell cells[24];
};

class TetriminoZ : public Tetrimino {
public:
    TetriminoZ();
    ~TetriminoZ() override = default;
    void draw() override;
    bool rotate(int& col, int row, Cell* board) override;
    bool collides(int col, int row, const Cell* board) override;
    void place(int col, int row, Cell* board) override;
    Kick kickOffset(int col, int row, const Cell* board) override;

    PieceBox box() const;
    const Cell& cellAt(int i, int j) const;

    Cell horizontal[6];  // element 2i + j, 3x2 box
    Cell vertical[6];    // element 3i + j, 2x3 box
};

extern TetriminoI gTetriminoI;
extern TetriminoJ gTetriminoJ;
extern TetriminoL gTetriminoL;
extern TetriminoO gTetriminoO;
extern TetriminoS gTetriminoS;
extern TetriminoT gTetriminoT;
extern TetriminoZ gTetriminoZ;
