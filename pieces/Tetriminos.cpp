#include "pieces/Tetriminos.h"

#include <cstddef>

#include "pieces/PieceTables.h"
#include "render/Renderer.h"

using pictures::PictureRow;

namespace {

constexpr int kBoardColumns = 10;
constexpr int kBoardRows = 20;
constexpr int kTopRow = kBoardRows - 1;
constexpr int kSquarePixels = 20;  // a board square on screen

// Orientation as an index 0..3 even if a caller stored something odd in the
// byte, so that no picture lookup can leave its grid.
constexpr int turns(int8_t orientation) {
    return orientation & 3;
}

constexpr Cell filledCell(const PictureRow& square) {
    const uint8_t* t = square.tiles;
    return Cell(0, t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8]);
}

// Every piece tests the floor and both walls. The comparisons are arranged so
// that no sum can overflow, whatever column the caller asks about.
constexpr bool outsideWalls(int col, int row, int width) {
    return col < 0 || row < 0 || col > kBoardColumns - width;
}

// Draws the four squares of the orientation `key` in table order (bottom row
// first, left to right), taking each picture from the piece's grid.
template <typename Piece, std::size_t N>
void drawSquares(const Piece& piece, const PictureRow (&table)[N], uint8_t key) {
    for (const PictureRow& square : table) {
        if (square.orientation == key) {
            gRenderer->drawCell(piece.x + kSquarePixels * square.i,
                                piece.y - kSquarePixels * square.j,
                                &piece.cellAt(square.i, square.j));
        }
    }
}

// Whether a square of the piece at (col, row) covers a filled board cell. The
// caller has checked the floor and walls; squares above the top row are open
// and never read, since the board has no row there.
template <std::size_t N>
bool coversFilled(const PictureRow (&table)[N], uint8_t key, int col, int row, const Cell* board) {
    for (const PictureRow& square : table) {
        if (square.orientation != key || square.j > kTopRow - row) {
            continue;
        }
        if (board[(col + square.i) * kBoardRows + row + square.j].filled()) {
            return true;
        }
    }
    return false;
}

// Copies the four squares into the board, skipping any that would land
// outside it: place() tests nothing else, so this is what keeps a careless
// caller from writing past the board.
template <typename Piece, std::size_t N>
void placeSquares(const Piece& piece, const PictureRow (&table)[N], uint8_t key, int col, int row,
                  Cell* board) {
    for (const PictureRow& square : table) {
        if (square.orientation != key) {
            continue;
        }
        const bool inside = col >= -square.i && col < kBoardColumns - square.i &&
                            row >= -square.j && row < kBoardRows - square.j;
        if (inside) {
            board[(col + square.i) * kBoardRows + row + square.j] =
                piece.cellAt(square.i, square.j);
        }
    }
}

// The kick of the 3x2 / 2x3 pieces (J, L, S, T, Z): a turn must not put the
// 2x3 box above row 19 (it reaches row + 2) nor the 3x2 box past column 9.
Kick kickThreeByTwo(int8_t orientation, int col, int row) {
    Kick kick;
    if (row > kTopRow - 2) {  // row + 3 > 20: the turned 2x3 box would poke out the top
        kick.dy = kTopRow - 2 - row;
    }
    if (turns(orientation) % 2 == 1 && col > kBoardColumns - 3) {  // col + 2 >= 10
        kick.dx = kBoardColumns - 3 - col;
    }
    return kick;
}

int8_t nextTurn(int8_t orientation) {
    return static_cast<int8_t>((turns(orientation) + 1) & 3);
}

// Element of local cell (i, j) in the J, L and T grids: six cells per
// orientation, rows of three in the flat orientations, rows of two otherwise.
constexpr int indexJLT(int o, int i, int j) {
    return 6 * o + (o % 2 == 0 ? 3 * j + i : 2 * j + i);
}

template <std::size_t N>
constexpr void fillJLT(Cell (&cells)[24], const PictureRow (&table)[N]) {
    for (const PictureRow& square : table) {
        cells[indexJLT(square.orientation, square.i, square.j)] = filledCell(square);
    }
}

// S and Z: column by column, 2 cells per column flat, 3 per column upright.
template <std::size_t N>
constexpr void fillSZ(Cell (&horizontal)[6], Cell (&vertical)[6], const PictureRow (&table)[N]) {
    for (const PictureRow& square : table) {
        if (square.orientation == pictures::kTurns02) {
            horizontal[2 * square.i + square.j] = filledCell(square);
        } else {
            vertical[3 * square.i + square.j] = filledCell(square);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------- I

TetriminoI::TetriminoI() {
    for (const PictureRow& square : pictures::kPictureI) {
        if (square.orientation == pictures::kTurns02) {
            horizontal[square.i] = filledCell(square);
        } else {
            vertical[square.j] = filledCell(square);
        }
    }
}

PieceBox TetriminoI::box() const {
    return turns(orientation) % 2 == 0 ? PieceBox{4, 1} : PieceBox{1, 4};
}

const Cell& TetriminoI::cellAt(int i, int j) const {
    return turns(orientation) % 2 == 0 ? horizontal[i & 3] : vertical[j & 3];
}

void TetriminoI::draw() {
    drawSquares(*this, pictures::kPictureI, turns(orientation) % 2);
}

// The bar turns about its second square: flat on columns c..c+3 it stands up
// in column c+1, and standing in column c it lies down on c-1..c+2.
bool TetriminoI::rotate(int& col, int row, Cell* board) {
    (void)row;
    (void)board;
    col += turns(orientation) % 2 == 0 ? 1 : -1;
    orientation = nextTurn(orientation);
    return true;
}

bool TetriminoI::collides(int col, int row, const Cell* board) {
    const PieceBox b = box();
    if (outsideWalls(col, row, b.width)) {
        return true;
    }
    // Only the flat bar tests the top: it is the one shape whose box is one
    // row high, so it is the only one that can be asked about row 19 + 1.
    if (b.height == 1 && row > kTopRow) {
        return true;
    }
    return coversFilled(pictures::kPictureI, turns(orientation) % 2, col, row, board);
}

void TetriminoI::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureI, turns(orientation) % 2, col, row, board);
}

Kick TetriminoI::kickOffset(int col, int row, const Cell* board) {
    (void)board;
    Kick kick;
    if (turns(orientation) % 2 == 0) {
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

// ---------------------------------------------------------------- J, L, T

TetriminoJ::TetriminoJ() {
    fillJLT(cells, pictures::kPictureJ);
}
PieceBox TetriminoJ::box() const {
    return turns(orientation) % 2 == 0 ? PieceBox{3, 2} : PieceBox{2, 3};
}
const Cell& TetriminoJ::cellAt(int i, int j) const {
    return cells[indexJLT(turns(orientation), i, j) % 24];
}
void TetriminoJ::draw() {
    drawSquares(*this, pictures::kPictureJ, turns(orientation));
}
bool TetriminoJ::rotate(int& col, int row, Cell* board) {
    (void)col;
    (void)row;
    (void)board;
    orientation = nextTurn(orientation);
    return true;
}
bool TetriminoJ::collides(int col, int row, const Cell* board) {
    return outsideWalls(col, row, box().width) ||
           coversFilled(pictures::kPictureJ, turns(orientation), col, row, board);
}
void TetriminoJ::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureJ, turns(orientation), col, row, board);
}
Kick TetriminoJ::kickOffset(int col, int row, const Cell* board) {
    (void)board;
    return kickThreeByTwo(orientation, col, row);
}

TetriminoL::TetriminoL() {
    fillJLT(cells, pictures::kPictureL);
}
PieceBox TetriminoL::box() const {
    return turns(orientation) % 2 == 0 ? PieceBox{3, 2} : PieceBox{2, 3};
}
const Cell& TetriminoL::cellAt(int i, int j) const {
    return cells[indexJLT(turns(orientation), i, j) % 24];
}
void TetriminoL::draw() {
    drawSquares(*this, pictures::kPictureL, turns(orientation));
}
bool TetriminoL::rotate(int& col, int row, Cell* board) {
    (void)col;
    (void)row;
    (void)board;
    orientation = nextTurn(orientation);
    return true;
}
bool TetriminoL::collides(int col, int row, const Cell* board) {
    return outsideWalls(col, row, box().width) ||
           coversFilled(pictures::kPictureL, turns(orientation), col, row, board);
}
void TetriminoL::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureL, turns(orientation), col, row, board);
}
Kick TetriminoL::kickOffset(int col, int row, const Cell* board) {
    (void)board;
    return kickThreeByTwo(orientation, col, row);
}

TetriminoT::TetriminoT() {
    fillJLT(cells, pictures::kPictureT);
}
PieceBox TetriminoT::box() const {
    return turns(orientation) % 2 == 0 ? PieceBox{3, 2} : PieceBox{2, 3};
}
const Cell& TetriminoT::cellAt(int i, int j) const {
    return cells[indexJLT(turns(orientation), i, j) % 24];
}
void TetriminoT::draw() {
    drawSquares(*this, pictures::kPictureT, turns(orientation));
}
bool TetriminoT::rotate(int& col, int row, Cell* board) {
    (void)col;
    (void)row;
    (void)board;
    orientation = nextTurn(orientation);
    return true;
}
bool TetriminoT::collides(int col, int row, const Cell* board) {
    return outsideWalls(col, row, box().width) ||
           coversFilled(pictures::kPictureT, turns(orientation), col, row, board);
}
void TetriminoT::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureT, turns(orientation), col, row, board);
}
Kick TetriminoT::kickOffset(int col, int row, const Cell* board) {
    (void)board;
    return kickThreeByTwo(orientation, col, row);
}

// ---------------------------------------------------------------- O

TetriminoO::TetriminoO() {
    for (const PictureRow& square : pictures::kPictureO) {
        cells[2 * square.i + square.j] = filledCell(square);
    }
}
PieceBox TetriminoO::box() const {
    return PieceBox{2, 2};
}
const Cell& TetriminoO::cellAt(int i, int j) const {
    return cells[(2 * i + j) & 3];
}
void TetriminoO::draw() {
    drawSquares(*this, pictures::kPictureO, pictures::kTurnsAll);
}
bool TetriminoO::collides(int col, int row, const Cell* board) {
    return outsideWalls(col, row, box().width) ||
           coversFilled(pictures::kPictureO, pictures::kTurnsAll, col, row, board);
}
void TetriminoO::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureO, pictures::kTurnsAll, col, row, board);
}

// ---------------------------------------------------------------- S, Z

TetriminoS::TetriminoS() {
    fillSZ(horizontal, vertical, pictures::kPictureS);
}
PieceBox TetriminoS::box() const {
    return turns(orientation) % 2 == 0 ? PieceBox{3, 2} : PieceBox{2, 3};
}
const Cell& TetriminoS::cellAt(int i, int j) const {
    return turns(orientation) % 2 == 0 ? horizontal[(2 * i + j) % 6] : vertical[(3 * i + j) % 6];
}
void TetriminoS::draw() {
    drawSquares(*this, pictures::kPictureS, turns(orientation) % 2);
}
bool TetriminoS::rotate(int& col, int row, Cell* board) {
    (void)col;
    (void)row;
    (void)board;
    orientation = nextTurn(orientation);
    return true;
}
bool TetriminoS::collides(int col, int row, const Cell* board) {
    return outsideWalls(col, row, box().width) ||
           coversFilled(pictures::kPictureS, turns(orientation) % 2, col, row, board);
}
void TetriminoS::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureS, turns(orientation) % 2, col, row, board);
}
Kick TetriminoS::kickOffset(int col, int row, const Cell* board) {
    (void)board;
    return kickThreeByTwo(orientation, col, row);
}

TetriminoZ::TetriminoZ() {
    fillSZ(horizontal, vertical, pictures::kPictureZ);
}
PieceBox TetriminoZ::box() const {
    return turns(orientation) % 2 == 0 ? PieceBox{3, 2} : PieceBox{2, 3};
}
const Cell& TetriminoZ::cellAt(int i, int j) const {
    return turns(orientation) % 2 == 0 ? horizontal[(2 * i + j) % 6] : vertical[(3 * i + j) % 6];
}
void TetriminoZ::draw() {
    drawSquares(*this, pictures::kPictureZ, turns(orientation) % 2);
}
bool TetriminoZ::rotate(int& col, int row, Cell* board) {
    (void)col;
    (void)row;
    (void)board;
    orientation = nextTurn(orientation);
    return true;
}
bool TetriminoZ::collides(int col, int row, const Cell* board) {
    return outsideWalls(col, row, box().width) ||
           coversFilled(pictures::kPictureZ, turns(orientation) % 2, col, row, board);
}
void TetriminoZ::place(int col, int row, Cell* board) {
    placeSquares(*this, pictures::kPictureZ, turns(orientation) % 2, col, row, board);
}
Kick TetriminoZ::kickOffset(int col, int row, const Cell* board) {
    (void)board;
    return kickThreeByTwo(orientation, col, row);
}

TetriminoI gTetriminoI;
TetriminoJ gTetriminoJ;
TetriminoL gTetriminoL;
TetriminoO gTetriminoO;
TetriminoS gTetriminoS;
TetriminoT gTetriminoT;
TetriminoZ gTetriminoZ;
