// Turning, fitting, kicking and placing the seven pieces, at the board's
// edges and beyond them.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pieces/Tetriminos.h"

namespace {

constexpr int kCells = 200;

struct Board {
    Cell cells[kCells];
    void fill(int c, int r) { cells[c * 20 + r].empty = 0; }
};

struct Named {
    const char* name;
    Tetrimino* piece;
};

const Named kAllPieces[] = {{"I", &gTetriminoI}, {"J", &gTetriminoJ}, {"L", &gTetriminoL},
                            {"O", &gTetriminoO}, {"S", &gTetriminoS}, {"T", &gTetriminoT},
                            {"Z", &gTetriminoZ}};
const Named kThreeByTwo[] = {{"J", &gTetriminoJ},
                             {"L", &gTetriminoL},
                             {"S", &gTetriminoS},
                             {"T", &gTetriminoT},
                             {"Z", &gTetriminoZ}};

// Pieces are shared objects: put them back as the game expects to find them.
class PieceRules : public ::testing::Test {
protected:
    void TearDown() override {
        for (const Named& p : kAllPieces) {
            p.piece->orientation = 0;
            p.piece->x = 0;
            p.piece->y = 0;
        }
    }
    Board empty;
};

TEST_F(PieceRules, CollidesAtTheEdgesOfAnEmptyBoard) {
    const struct {
        const char* what;
        Tetrimino* piece;
        int orientation;
        int col;
        int row;
        bool blocked;
    } cases[] = {
        {"flat I at the top right", &gTetriminoI, 0, 6, 19, false},
        {"flat I past the right wall", &gTetriminoI, 0, 7, 19, true},
        {"flat I above the top", &gTetriminoI, 2, 6, 20, true},
        {"upright I in column 9", &gTetriminoI, 1, 9, 0, false},
        {"upright I past the right wall", &gTetriminoI, 3, 10, 0, true},
        {"upright I below the floor", &gTetriminoI, 1, 0, -1, true},
        {"upright I left of the wall", &gTetriminoI, 1, -1, 5, true},
        {"O in column 8", &gTetriminoO, 0, 8, 0, false},
        {"O in column 9", &gTetriminoO, 3, 9, 0, true},
        {"O below the floor", &gTetriminoO, 0, 4, -1, true},
    };
    for (const auto& c : cases) {
        c.piece->orientation = static_cast<int8_t>(c.orientation);
        EXPECT_EQ(c.piece->collides(c.col, c.row, empty.cells), c.blocked) << c.what;
    }
    for (const Named& p : kThreeByTwo) {
        for (int o = 0; o < 4; ++o) {
            p.piece->orientation = static_cast<int8_t>(o);
            const int lastFit = o % 2 == 0 ? 7 : 8;
            EXPECT_FALSE(p.piece->collides(lastFit, 0, empty.cells)) << p.name << " o" << o;
            EXPECT_TRUE(p.piece->collides(lastFit + 1, 0, empty.cells)) << p.name << " o" << o;
            EXPECT_TRUE(p.piece->collides(-1, 0, empty.cells)) << p.name << " o" << o;
            EXPECT_TRUE(p.piece->collides(3, -1, empty.cells)) << p.name << " o" << o;
        }
    }
}

TEST_F(PieceRules, CollidesWithFilledSquaresOnlyUnderItsOwnSquares) {
    Board board;
    board.fill(3, 1);  // under the hole of an S in orientation 0 at (3, 0)
    gTetriminoS.orientation = 0;
    EXPECT_FALSE(gTetriminoS.collides(3, 0, board.cells));
    board.fill(4, 1);
    EXPECT_TRUE(gTetriminoS.collides(3, 0, board.cells));
}

// Squares above row 19 count as open and are never read: every cell that
// would lie just past the board (the next column's row 0, or past the end)
// is filled here, so a read would answer "blocked".
TEST_F(PieceRules, SquaresAboveTheTopAreOpenAndNeverRead) {
    Cell area[3 * kCells];
    for (Cell& c : area) {
        c.empty = 0;
    }
    Cell* board = area + kCells;
    for (int i = 0; i < kCells; ++i) {
        board[i].empty = i % 20 == 0 ? 0 : 1;  // only row 0 filled
    }
    for (const Named& p : kAllPieces) {
        for (int o = 0; o < 4; ++o) {
            p.piece->orientation = static_cast<int8_t>(o);
            for (int col = 0; col < 10; ++col) {
                for (int row = 17; row < 40; ++row) {
                    const bool flatBar = p.piece == &gTetriminoI && o % 2 == 0;
                    Board probe;
                    const bool insideWalls = !p.piece->collides(col, 5, probe.cells);
                    if (!insideWalls) {
                        continue;
                    }
                    EXPECT_EQ(p.piece->collides(col, row, board), flatBar && row > 19)
                        << p.name << " o" << o << " at (" << col << ", " << row << ")";
                }
            }
        }
    }
}

// place() writes nothing outside the 200 cells, wherever it is asked to.
TEST_F(PieceRules, PlaceNeverWritesOutsideTheBoard) {
    Cell area[3 * kCells];
    Cell* board = area + kCells;
    for (const Named& p : kAllPieces) {
        for (int o = 0; o < 4; ++o) {
            p.piece->orientation = static_cast<int8_t>(o);
            for (int col = -6; col < 16; ++col) {
                for (int row = -6; row < 26; ++row) {
                    p.piece->place(col, row, board);
                }
            }
        }
    }
    const Cell untouched;
    for (int i = 0; i < 3 * kCells; ++i) {
        if (i >= kCells && i < 2 * kCells) {
            continue;
        }
        ASSERT_EQ(std::memcmp(&area[i], &untouched, sizeof(Cell)), 0) << "cell " << i - kCells;
    }
    EXPECT_TRUE(board[0].filled());
    EXPECT_TRUE(board[199].filled());
}

TEST_F(PieceRules, PlaceCopiesOnlyThePiecesSquares) {
    Board board;
    board.fill(5, 0);  // under the S's empty corner: stays as it was
    board.cells[5 * 20].tiles[0] = 77;
    board.fill(4, 0);  // under a square of the S: overwritten
    gTetriminoS.orientation = 0;
    gTetriminoS.place(3, 0, board.cells);
    EXPECT_TRUE(board.cells[3 * 20 + 0].filled());
    EXPECT_TRUE(board.cells[4 * 20 + 0].filled());
    EXPECT_TRUE(board.cells[4 * 20 + 1].filled());
    EXPECT_TRUE(board.cells[5 * 20 + 1].filled());
    EXPECT_FALSE(board.cells[3 * 20 + 1].filled());
    EXPECT_EQ(board.cells[5 * 20].tiles[0], 77);
    EXPECT_EQ(std::memcmp(&board.cells[4 * 20], &gTetriminoS.horizontal[2], sizeof(Cell)), 0);
}

TEST_F(PieceRules, KickOffsetsAtTheEdges) {
    const struct {
        const char* what;
        Tetrimino* piece;
        int orientation;
        int col;
        int row;
        int dx;
        int dy;
    } cases[] = {
        {"upright I, column 0", &gTetriminoI, 1, 0, 5, 1, 0},
        {"upright I, column 7", &gTetriminoI, 1, 7, 5, 0, 0},
        {"upright I, column 8", &gTetriminoI, 3, 8, 5, -1, 0},
        {"upright I, column 9", &gTetriminoI, 1, 9, 5, -2, 0},
        {"flat I, row 16", &gTetriminoI, 0, 3, 16, 0, 0},
        {"flat I, row 17", &gTetriminoI, 0, 3, 17, 0, -1},
        {"flat I, row 19", &gTetriminoI, 2, 3, 19, 0, -3},
        {"T o0, row 18", &gTetriminoT, 0, 4, 18, 0, -1},
        {"T o0, row 17", &gTetriminoT, 0, 4, 17, 0, 0},
        {"J o1, column 8, row 10", &gTetriminoJ, 1, 8, 10, -1, 0},
        {"J o1, column 8, row 19", &gTetriminoJ, 3, 8, 19, -1, -2},
        {"Z o3, column 7", &gTetriminoZ, 3, 7, 10, 0, 0},
        {"O anywhere", &gTetriminoO, 0, 9, 19, 0, 0},
    };
    for (const auto& c : cases) {
        c.piece->orientation = static_cast<int8_t>(c.orientation);
        const Kick k = c.piece->kickOffset(c.col, c.row, empty.cells);
        EXPECT_EQ(k.dx, c.dx) << c.what;
        EXPECT_EQ(k.dy, c.dy) << c.what;
    }
    for (const Named& p : kThreeByTwo) {
        for (int o : {0, 2}) {
            p.piece->orientation = static_cast<int8_t>(o);
            for (int col = -2; col < 12; ++col) {
                const Kick k = p.piece->kickOffset(col, 10, empty.cells);
                EXPECT_EQ(k.dx, 0) << p.name << " o" << o << " column " << col;
                EXPECT_EQ(k.dy, 0) << p.name << " o" << o << " column " << col;
            }
        }
    }
}

// With the kick applied, every turn from every fitting position stays on the
// board: this is what lets the rules trust the kick.
TEST_F(PieceRules, AKickedTurnAlwaysLandsInsideTheBoard) {
    for (const Named& p : kAllPieces) {
        for (int o = 0; o < 4; ++o) {
            for (int col = 0; col < 10; ++col) {
                for (int row = 0; row < 20; ++row) {
                    p.piece->orientation = static_cast<int8_t>(o);
                    if (p.piece->collides(col, row, empty.cells)) {
                        continue;
                    }
                    const Kick k = p.piece->kickOffset(col, row, empty.cells);
                    int turnedCol = col + k.dx;
                    const int turnedRow = row + k.dy;
                    EXPECT_TRUE(p.piece->canRotate(turnedCol, turnedRow, empty.cells))
                        << p.name << " o" << o << " at (" << col << ", " << row << ")";
                    p.piece->rotate(turnedCol, turnedRow, empty.cells);
                    EXPECT_FALSE(p.piece->collides(turnedCol, turnedRow, empty.cells));
                }
            }
        }
    }
}

TEST_F(PieceRules, CanRotateTestsTheTurnedShapeAndChangesNothing) {
    gTetriminoI.orientation = 1;
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

    Board board;
    board.fill(0, 6);  // where the J's turned shape needs room
    gTetriminoJ.orientation = 0;
    EXPECT_FALSE(gTetriminoJ.canRotate(0, 5, board.cells));
    EXPECT_TRUE(gTetriminoJ.canRotate(1, 5, board.cells));
    EXPECT_EQ(gTetriminoJ.orientation, 0);
}

TEST_F(PieceRules, TheODoesNotTurnAndCanRotateAnswersWhetherItFits) {
    Board board;
    board.fill(5, 3);
    for (int o = 0; o < 4; ++o) {
        gTetriminoO.orientation = static_cast<int8_t>(o);
        int col = 4;
        EXPECT_FALSE(gTetriminoO.rotate(col, 3, board.cells));
        EXPECT_EQ(col, 4);
        EXPECT_EQ(gTetriminoO.orientation, o);
        for (int c = -1; c < 11; ++c) {
            for (int r = -1; r < 21; ++r) {
                EXPECT_EQ(gTetriminoO.canRotate(c, r, board.cells),
                          !gTetriminoO.collides(c, r, board.cells));
            }
        }
    }
}

TEST_F(PieceRules, FourTurnsComeBackToTheStart) {
    for (const Named& p : kThreeByTwo) {
        p.piece->orientation = 0;
        int col = 4;
        for (int turn = 1; turn <= 4; ++turn) {
            EXPECT_TRUE(p.piece->rotate(col, 5, empty.cells));
            EXPECT_EQ(p.piece->orientation, turn % 4) << p.name;
            EXPECT_EQ(col, 4) << p.name;
        }
    }
    gTetriminoI.orientation = 0;
    int col = 4;
    const int columns[4] = {5, 4, 5, 4};
    for (int turn = 0; turn < 4; ++turn) {
        EXPECT_TRUE(gTetriminoI.rotate(col, 5, empty.cells));
        EXPECT_EQ(col, columns[turn]);
        EXPECT_EQ(gTetriminoI.orientation, (turn + 1) % 4);
    }
}

// An orientation byte left with a value outside 0..3 must not make a piece
// read or draw outside its own pictures.
TEST_F(PieceRules, AnOddOrientationByteStaysWithinThePictures) {
    for (const Named& p : kAllPieces) {
        for (int o : {-1, 4, 7, 127, -128}) {
            p.piece->orientation = static_cast<int8_t>(o);
            Board board;
            EXPECT_FALSE(p.piece->collides(4, 10, board.cells)) << p.name << " byte " << o;
            p.piece->place(4, 10, board.cells);
            int filled = 0;
            for (const Cell& c : board.cells) {
                filled += c.filled() ? 1 : 0;
            }
            EXPECT_EQ(filled, 4) << p.name << " byte " << o;
        }
    }
}

}  // namespace
