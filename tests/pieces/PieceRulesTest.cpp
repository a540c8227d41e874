// Turning, fitting, kicking and placing the seven pieces, at the board's
// edges and beyond them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "pieces/Tetriminos.h"

namespace {

constexpr int kCells = 200;

struct Board {
    Cell cells[kCells];
    Board& fill(int c, int r) {
        cells[c * 20 + r].empty = 0;
        return *this;
    }
};

Tetrimino* const kAll[] = {&gTetriminoI, &gTetriminoJ, &gTetriminoL, &gTetriminoO,
                           &gTetriminoS, &gTetriminoT, &gTetriminoZ};
const char kNames[] = "IJLOSTZ";
Tetrimino *const I = kAll[0], *const J = kAll[1], *const O = kAll[3];
Tetrimino *const S = kAll[4], *const T = kAll[5], *const Z = kAll[6];
Tetrimino* const kThreeByTwo[] = {J, kAll[2], S, T, Z};
const Board kEmpty;

char nameOf(const Tetrimino* p) {
    return kNames[std::find(std::begin(kAll), std::end(kAll), p) - std::begin(kAll)];
}

// Pieces are shared objects: put them back as the game expects to find them.
class PieceRules : public ::testing::Test {
protected:
    void TearDown() override {
        for (Tetrimino* p : kAll) {
            p->orientation = 0;
            p->x = p->y = 0;
        }
    }
    static Tetrimino* turned(Tetrimino* p, int o) {
        p->orientation = static_cast<int8_t>(o);
        return p;
    }
};

TEST_F(PieceRules, CollidesAtTheEdgesAndOnFilledSquaresOnly) {
    const Board underSHole = Board().fill(3, 1), underS = Board().fill(3, 1).fill(4, 1);
    const Board& e = kEmpty;
    const struct {
        Tetrimino* piece;
        int orientation, col, row;
        const Board& board;
        bool blocked;
    } cases[] = {
        // clang-format off
        {I, 0, 6, 19, e, false}, {I, 0, 7, 19, e, true},  {I, 2, 6, 20, e, true},
        {I, 1, 9, 0, e, false},  {I, 3, 10, 0, e, true},  {I, 1, 0, -1, e, true},
        {I, 1, -1, 5, e, true},  {O, 0, 8, 0, e, false},  {O, 3, 9, 0, e, true},
        {O, 0, 4, -1, e, true},  {S, 0, 3, 0, underSHole, false}, {S, 0, 3, 0, underS, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(turned(c.piece, c.orientation)->collides(c.col, c.row, c.board.cells), c.blocked)
            << "case " << &c - cases;
    }
    for (Tetrimino* p : kThreeByTwo) {
        for (int o = 0; o < 4; ++o) {
            const int lastFit = o % 2 == 0 ? 7 : 8;
            turned(p, o);
            EXPECT_FALSE(p->collides(lastFit, 0, kEmpty.cells)) << nameOf(p) << o;
            EXPECT_TRUE(p->collides(lastFit + 1, 0, kEmpty.cells)) << nameOf(p) << o;
            EXPECT_TRUE(p->collides(-1, 0, kEmpty.cells)) << nameOf(p) << o;
            EXPECT_TRUE(p->collides(3, -1, kEmpty.cells)) << nameOf(p) << o;
        }
    }
}

// rotate() tests nothing and only the bar moves its column; canRotate() tests
// the turned shape where rotate() would put it, and changes nothing. The O
// never turns, and can "turn" wherever it fits.
TEST_F(PieceRules, RotateAndCanRotateAtTheEdges) {
    const Board jBlocked = Board().fill(0, 6), oBlocked = Board().fill(5, 3);
    const Board& e = kEmpty;
    const struct {
        Tetrimino* piece;
        int orientation, col, row;
        const Board& board;
        int colAfter;
        bool canRotate;
    } cases[] = {
        // clang-format off
        {I, 0, 4, 5, e, 5, true},   {I, 1, 5, 5, e, 4, true},    {I, 1, 1, 5, e, 0, true},
        {I, 1, 0, 5, e, -1, false}, {I, 3, 7, 5, e, 6, true},    {I, 3, 8, 5, e, 7, false},
        {I, 2, 3, 19, e, 4, true},  {J, 0, 0, 5, jBlocked, 0, false}, {J, 0, 1, 5, jBlocked, 1, true},
        {T, 3, 8, 10, e, 8, false}, {T, 3, 7, 10, e, 7, true},   {Z, 1, 7, 10, e, 7, true},
        {S, 3, 0, 0, e, 0, true},   {O, 0, 4, 3, oBlocked, 4, false}, {O, 2, 8, 0, e, 8, true},
        {O, 1, 9, 0, e, 9, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        Tetrimino* p = turned(c.piece, c.orientation);
        EXPECT_EQ(p->canRotate(c.col, c.row, const_cast<Cell*>(c.board.cells)), c.canRotate)
            << "case " << &c - cases;
        EXPECT_EQ(p->orientation, c.orientation) << "case " << &c - cases;
        int col = c.col;
        EXPECT_EQ(p->rotate(col, c.row, const_cast<Cell*>(c.board.cells)), p != O);
        EXPECT_EQ(col, c.colAfter) << "case " << &c - cases;
        EXPECT_EQ(p->orientation, p == O ? c.orientation : (c.orientation + 1) % 4)
            << "case " << &c - cases;
    }
}

TEST_F(PieceRules, KickOffsetsAtTheEdges) {
    const struct {
        Tetrimino* piece;
        int orientation, col, row, dx, dy;
    } cases[] = {
        // clang-format off
        {I, 1, 0, 5, 1, 0},    {I, 1, 7, 5, 0, 0},     {I, 3, 8, 5, -1, 0},  {I, 1, 9, 5, -2, 0},
        {I, 0, 3, 16, 0, 0},   {I, 0, 3, 17, 0, -1},   {I, 2, 3, 19, 0, -3}, {T, 0, 4, 18, 0, -1},
        {T, 0, 4, 17, 0, 0},   {J, 1, 8, 10, -1, 0},   {J, 3, 8, 19, -1, -2},
        {Z, 3, 7, 10, 0, 0},   {O, 0, 9, 19, 0, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        const Kick k = turned(c.piece, c.orientation)->kickOffset(c.col, c.row, kEmpty.cells);
        EXPECT_EQ(std::pair(k.dx, k.dy), std::pair(c.dx, c.dy)) << "case " << &c - cases;
    }
    for (Tetrimino* p : kThreeByTwo) {
        for (int o : {0, 2}) {
            for (int col = -2; col < 12; ++col) {
                const Kick k = turned(p, o)->kickOffset(col, 10, kEmpty.cells);
                EXPECT_TRUE(k.dx == 0 && k.dy == 0) << nameOf(p) << o << " col " << col;
            }
        }
    }
}

// With the kick applied, every turn from every fitting position stays on the
// board: this is what lets the rules trust the kick.
TEST_F(PieceRules, AKickedTurnAlwaysLandsInsideTheBoard) {
    for (Tetrimino* p : kAll) {
        for (int o = 0; o < 4; ++o) {
            for (int col = 0; col < 10; ++col) {
                for (int row = 0; row < 20; ++row) {
                    if (turned(p, o)->collides(col, row, kEmpty.cells)) {
                        continue;
                    }
                    const Kick kick = p->kickOffset(col, row, kEmpty.cells);
                    int c = col + kick.dx;
                    p->rotate(c, row + kick.dy, const_cast<Cell*>(kEmpty.cells));
                    EXPECT_FALSE(p->collides(c, row + kick.dy, kEmpty.cells))
                        << nameOf(p) << o << " at (" << col << ", " << row << ")";
                }
            }
        }
    }
}

// Squares above row 19 count as open and are never read, and place() writes
// nothing outside the 200 cells wherever it is asked to. The cells around the
// board are filled, so a stray read would answer "blocked".
TEST_F(PieceRules, NoReadOrWriteOutsideTheBoard) {
    Cell area[3 * kCells];
    for (Cell& c : area) {
        c.empty = 0;
    }
    Cell* board = area + kCells;
    for (int i = 0; i < kCells; ++i) {
        board[i].empty = i % 20 == 0 ? 0 : 1;  // only row 0 filled
    }
    for (Tetrimino* p : kAll) {
        for (int o = 0; o < 4; ++o) {
            const bool flatBar = p == I && o % 2 == 0;
            for (int col = 0; col < 10; ++col) {
                for (int row = 17; row < 40 && !turned(p, o)->collides(col, 5, kEmpty.cells);
                     ++row) {
                    EXPECT_EQ(p->collides(col, row, board), flatBar && row > 19)
                        << nameOf(p) << o << " at (" << col << ", " << row << ")";
                }
            }
        }
    }
    for (Tetrimino* p : kAll) {
        for (int o = 0; o < 4; ++o) {
            for (int col = -6; col < 16; ++col) {
                for (int row = -6; row < 26; ++row) {
                    turned(p, o)->place(col, row, board);
                }
            }
        }
    }
    const Cell untouched = area[0];
    for (int i = 0; i < 3 * kCells; ++i) {
        if (i < kCells || i >= 2 * kCells) {
            ASSERT_EQ(std::memcmp(&area[i], &untouched, sizeof(Cell)), 0) << "cell " << i - kCells;
        }
    }
    EXPECT_TRUE(board[0].filled() && board[199].filled());
}

// An orientation byte left with a value outside 0..3 must not make a piece
// read or draw outside its own pictures.
TEST_F(PieceRules, AnOddOrientationByteStaysWithinThePictures) {
    for (Tetrimino* p : kAll) {
        for (int o : {-1, 4, 7, 127, -128}) {
            Board b;
            EXPECT_FALSE(turned(p, o)->collides(4, 10, b.cells)) << nameOf(p) << o;
            p->place(4, 10, b.cells);
            int filled = 0;
            for (const Cell& c : b.cells) {
                filled += c.filled() ? 1 : 0;
            }
            EXPECT_EQ(filled, 4) << nameOf(p) << " byte " << o;
        }
    }
}

}  // namespace
