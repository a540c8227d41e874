// Turning, fitting, kicking and placing the seven pieces, at the board's
// edges and beyond them.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <typeinfo>

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
Tetrimino *const I = &gTetriminoI, *const J = &gTetriminoJ, *const O = &gTetriminoO;
Tetrimino *const S = &gTetriminoS, *const T = &gTetriminoT, *const Z = &gTetriminoZ;
Tetrimino* const kThreeByTwo[] = {&gTetriminoJ, &gTetriminoL, &gTetriminoS, &gTetriminoT,
                                  &gTetriminoZ};

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
    Board empty;
};

TEST_F(PieceRules, CollidesAtTheEdgesAndOnFilledSquaresOnly) {
    const Board underSHole = Board().fill(3, 1), underS = Board().fill(3, 1).fill(4, 1);
    const struct {
        Tetrimino* piece;
        int orientation, col, row;
        const Board& board;
        bool blocked;
    } cases[] = {
        // clang-format off
        {I, 0, 6, 19, empty, false}, {I, 0, 7, 19, empty, true}, {I, 2, 6, 20, empty, true},
        {I, 1, 9, 0, empty, false},  {I, 3, 10, 0, empty, true}, {I, 1, 0, -1, empty, true},
        {I, 1, -1, 5, empty, true},  {O, 0, 8, 0, empty, false}, {O, 3, 9, 0, empty, true},
        {O, 0, 4, -1, empty, true},  {S, 0, 3, 0, underSHole, false}, {S, 0, 3, 0, underS, true},
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
            EXPECT_FALSE(p->collides(lastFit, 0, empty.cells)) << typeid(*p).name() << o;
            EXPECT_TRUE(p->collides(lastFit + 1, 0, empty.cells)) << typeid(*p).name() << o;
            EXPECT_TRUE(p->collides(-1, 0, empty.cells)) << typeid(*p).name() << o;
            EXPECT_TRUE(p->collides(3, -1, empty.cells)) << typeid(*p).name() << o;
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
    for (int k = 0; k < 7; ++k) {
        for (int o = 0; o < 4; ++o) {
            Tetrimino* p = turned(kAll[k], o);
            const bool flatBar = p == &gTetriminoI && o % 2 == 0;
            for (int col = 0; col < 10; ++col) {
                for (int row = 17; row < 40 && !p->collides(col, 5, empty.cells); ++row) {
                    EXPECT_EQ(p->collides(col, row, board), flatBar && row > 19)
                        << kNames[k] << o << " at (" << col << ", " << row << ")";
                }
            }
        }
    }
    const Cell untouched = area[0];
    for (Tetrimino* p : kAll) {
        for (int o = 0; o < 4; ++o) {
            for (int col = -6; col < 16; ++col) {
                for (int row = -6; row < 26; ++row) {
                    turned(p, o)->place(col, row, board);
                }
            }
        }
    }
    for (int i = 0; i < 3 * kCells; ++i) {
        if (i < kCells || i >= 2 * kCells) {
            ASSERT_EQ(std::memcmp(&area[i], &untouched, sizeof(Cell)), 0) << "cell " << i - kCells;
        }
    }
    EXPECT_TRUE(board[0].filled() && board[199].filled());
}

TEST_F(PieceRules, PlaceCopiesOnlyThePiecesSquares) {
    Board b = Board().fill(5, 0).fill(4, 0);  // (5, 0) lies under the S's empty corner
    b.cells[5 * 20].tiles[0] = 77;
    turned(&gTetriminoS, 0)->place(3, 0, b.cells);
    for (const auto& [c, r, filled] :
         {std::tuple{3, 0, true}, {4, 0, true}, {4, 1, true}, {5, 1, true}, {3, 1, false}}) {
        EXPECT_EQ(b.cells[c * 20 + r].filled(), filled) << c << ", " << r;
    }
    EXPECT_EQ(b.cells[5 * 20].tiles[0], 77);
    EXPECT_EQ(std::memcmp(&b.cells[4 * 20], &gTetriminoS.horizontal[2], sizeof(Cell)), 0);
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
        const Kick k = turned(c.piece, c.orientation)->kickOffset(c.col, c.row, empty.cells);
        EXPECT_EQ(k.dx, c.dx) << "case " << &c - cases;
        EXPECT_EQ(k.dy, c.dy) << "case " << &c - cases;
    }
    for (Tetrimino* p : kThreeByTwo) {
        for (int o : {0, 2}) {
            for (int col = -2; col < 12; ++col) {
                const Kick k = turned(p, o)->kickOffset(col, 10, empty.cells);
                EXPECT_TRUE(k.dx == 0 && k.dy == 0) << typeid(*p).name() << o << " col " << col;
            }
        }
    }
}

// With the kick applied, every turn from every fitting position stays on the
// board: this is what lets the rules trust the kick. The O never turns, and
// its canRotate answers whether it fits.
TEST_F(PieceRules, AKickedTurnAlwaysLandsInsideTheBoard) {
    for (int k = 0; k < 7; ++k) {
        for (int o = 0; o < 4; ++o) {
            for (int col = 0; col < 10; ++col) {
                for (int row = 0; row < 20; ++row) {
                    Tetrimino* p = turned(kAll[k], o);
                    if (p->collides(col, row, empty.cells)) {
                        continue;
                    }
                    const Kick kick = p->kickOffset(col, row, empty.cells);
                    int c = col + kick.dx;
                    EXPECT_TRUE(p->canRotate(c, row + kick.dy, empty.cells))
                        << kNames[k] << o << " at (" << col << ", " << row << ")";
                    EXPECT_EQ(p->rotate(c, row + kick.dy, empty.cells), p != &gTetriminoO);
                    EXPECT_FALSE(p->collides(c, row + kick.dy, empty.cells));
                }
            }
        }
    }
    Board b = Board().fill(5, 3);
    for (int o = 0; o < 4; ++o) {
        int col = 4;
        EXPECT_FALSE(turned(&gTetriminoO, o)->rotate(col, 3, b.cells));
        EXPECT_EQ(col, 4);
        EXPECT_EQ(gTetriminoO.orientation, o);
        for (int c = -1; c < 11; ++c) {
            for (int r = -1; r < 21; ++r) {
                EXPECT_EQ(gTetriminoO.canRotate(c, r, b.cells),
                          !gTetriminoO.collides(c, r, b.cells));
            }
        }
    }
}

TEST_F(PieceRules, CanRotateTestsTheTurnedShapeAndChangesNothing) {
    turned(&gTetriminoI, 1);
    gTetriminoI.x = 123;
    gTetriminoI.y = 45;
    int col = 1;
    EXPECT_TRUE(gTetriminoI.canRotate(col, 5, empty.cells));  // bar on columns 0..3
    col = 0;
    EXPECT_FALSE(gTetriminoI.canRotate(col, 5, empty.cells));  // bar would need column -1
    EXPECT_EQ(col, 0);
    EXPECT_EQ(gTetriminoI.orientation, 1);
    EXPECT_EQ(gTetriminoI.x, 123);
    EXPECT_EQ(gTetriminoI.y, 45);
    Board b = Board().fill(0, 6);  // where the J's turned shape needs room
    EXPECT_FALSE(turned(&gTetriminoJ, 0)->canRotate(0, 5, b.cells));
    EXPECT_TRUE(gTetriminoJ.canRotate(1, 5, b.cells));
    EXPECT_EQ(gTetriminoJ.orientation, 0);
}

TEST_F(PieceRules, FourTurnsComeBackToTheStart) {
    for (Tetrimino* p : kAll) {
        if (p == &gTetriminoO) {
            continue;
        }
        turned(p, 0);
        int col = 4;
        const int columns[4] = {5, 4, 5, 4};  // the bar shifts as it turns; the others stay
        for (int turn = 1; turn <= 4; ++turn) {
            EXPECT_TRUE(p->rotate(col, 5, empty.cells));
            EXPECT_EQ(p->orientation, turn % 4) << typeid(*p).name();
            EXPECT_EQ(col, p == &gTetriminoI ? columns[turn - 1] : 4) << typeid(*p).name();
        }
    }
}

// An orientation byte left with a value outside 0..3 must not make a piece
// read or draw outside its own pictures.
TEST_F(PieceRules, AnOddOrientationByteStaysWithinThePictures) {
    for (Tetrimino* p : kAll) {
        for (int o : {-1, 4, 7, 127, -128}) {
            Board b;
            EXPECT_FALSE(turned(p, o)->collides(4, 10, b.cells)) << typeid(*p).name() << o;
            p->place(4, 10, b.cells);
            int filled = 0;
            for (const Cell& c : b.cells) {
                filled += c.filled() ? 1 : 0;
            }
            EXPECT_EQ(filled, 4) << typeid(*p).name() << " byte " << o;
        }
    }
}

}  // namespace
