// The board operations of the play level on their own: set cells, dropped
// blocks, garbage rows, closing the edges around a vanishing row and turning
// a row into the clearing tile set; and the key handlers with odd input.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "BrikLevelRig.h"

namespace {

// A single block of the colour's set (any other number: the clearing set);
// positions and rows off the board change nothing.
TEST(BrikLevelBoard, SetCellMakesASingleBlockAndOffBoardPositionsAreIgnored) {
    Rig rig;
    const int offsets[9] = {0, 2, 3, 5, 6, 7, 8, 10, 11};
    for (int colour : {1, 2, 3, 4, 5, 6, 7, 0, 8, -3}) {
        rig.setCell(2, 5, colour);
        const Cell& cell = rig.cellAt(2, 5);
        EXPECT_TRUE(cell.filled());
        for (int t = 0; t < 9; ++t) {
            EXPECT_EQ(cell.tiles[t], kBase[colour >= 1 && colour <= 7 ? colour : 0] + offsets[t])
                << "colour " << colour;
        }
    }
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 20; ++r) {
            rig.setCell(c, r, (c + r) % 7 + 1);
        }
    }
    Cell before[BrikLevel::kCells];
    std::memcpy(before, rig.board, sizeof(before));
    for (const auto& [col, row] : {std::pair{-1, 0}, {10, 0}, {0, -1}, {0, 20}, {99999, -99999}}) {
        rig.setCell(col, row, 3);
    }
    for (int row : {-1, 20, -100000, 100000}) {
        rig.closeLowerEdges(row);
        rig.closeUpperEdges(row);
        rig.markClearing(row);
    }
    EXPECT_EQ(std::memcmp(before, rig.board, sizeof(before)), 0);
}

// A dropped block rests on its column below row 9, never in column 9.
TEST(BrikLevelBoard, ADroppedBlockRestsOnTheColumnBelowRowNine) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {5, 5}, {9, 9}, {10, -1}, {15, -1}};
    for (const auto& [stack, restRow] : cases) {  // -1: nothing dropped
        std::srand(5);
        const int column = std::rand() % 9;
        std::srand(5);
        Rig rig;
        for (int r = 0; r < stack; ++r) {
            rig.setCell(column, r, 4);
        }
        rig.setCell(column, 15, 4);  // above row 9: not looked at
        const int before = rig.filledCount();
        rig.dropBlock(6);
        EXPECT_EQ(rig.filledCount(), before + (restRow < 0 ? 0 : 1)) << "stack " << stack;
        EXPECT_TRUE(restRow < 0 || rig.cellAt(column, restRow).tiles[0] == 168);
    }
    Rig rig;
    for (int i = 0; i < 500; ++i) {
        rig.dropBlock(2);
    }
    for (int r = 0; r < 20; ++r) {
        EXPECT_FALSE(rig.cellAt(9, r).filled()) << "column 9, row " << r;
    }
}

TEST(BrikLevelBoard, AGarbageRowLiftsTheBoardAndAlwaysHasAHole) {
    int rowsWithoutDrawnHole = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::srand(seed);
        bool hole[10], any = false;
        for (bool& h : hole) {
            any |= h = std::rand() % 10 >= 7;
        }
        rowsWithoutDrawnHole += any ? 0 : 1;
        std::srand(seed);
        Rig rig;
        rig.setCell(3, 0, 7);
        rig.setCell(6, 19, 7);  // the top row is pushed out
        rig.raiseGarbageRow(5);
        EXPECT_EQ(rig.cellAt(3, 1).tiles[0], 42);
        EXPECT_TRUE(rig.cellAt(3, 1).filled() && !rig.cellAt(6, 19).filled());
        for (int c = 0; c < 10; ++c) {
            EXPECT_EQ(rig.cellAt(c, 0).filled(), !(hole[c] || (!any && c == 0))) << "seed " << seed;
        }
    }
    EXPECT_GT(rowsWithoutDrawnHole, 0) << "the forced hole was never exercised";
}

// The offset replacements of closing an edge, in every piece tile set; tile
// offset 19 is a joined corner only in the O's set.
TEST(BrikLevelBoard, ClosingAnEdgeRewritesOnlyThatBandByTheJoiningRule) {
    struct Swap {
        int tile, from, to;
        bool onlyO;
    };
    const Swap lower[] = {{0, 1, 13, false}, {0, 14, 0, false}, {0, 19, 13, true},
                          {1, 15, 2, false}, {2, 4, 13, false}, {2, 16, 3, false},
                          {2, 19, 13, true}};
    const Swap upper[] = {{6, 9, 18, false},  {6, 14, 8, false},  {6, 19, 18, true},
                          {7, 15, 10, false}, {8, 12, 18, false}, {8, 16, 11, false},
                          {8, 19, 18, true}};
    for (bool closeLower : {true, false}) {
        for (int colour = 1; colour <= 7; ++colour) {
            const uint8_t base = kBase[colour];
            for (int offset = 0; offset < 20; ++offset) {
                Rig rig;
                uint8_t* tiles = rig.cellAt(4, 7).tiles;
                std::memset(tiles, base + offset, 9);
                for (int twice = 0; twice < 2; ++twice) {  // closing twice changes nothing more
                    closeLower ? rig.closeLowerEdges(7) : rig.closeUpperEdges(7);
                }
                for (int t = 0; t < 9; ++t) {
                    int expected = offset;
                    for (const Swap& s : closeLower ? lower : upper) {
                        if (s.tile == t && s.from == offset && (!s.onlyO || base == 22)) {
                            expected = s.to;
                        }
                    }
                    EXPECT_EQ(tiles[t], base + expected)
                        << (closeLower ? "lower" : "upper") << " base " << int(base) << " offset "
                        << offset << " tile " << t + 1;
                }
            }
        }
    }
    Rig rig;
    rig.setCell(0, 3, 0);  // the clearing set is left alone
    rig.cellAt(0, 3).tiles[0] = 148 + 14;
    rig.closeLowerEdges(3);
    EXPECT_EQ(rig.cellAt(0, 3).tiles[0], 148 + 14);
}

// Tile 1 names the set, filled or not; the other tiles follow it and wrap as
// bytes. Tiles of no set stay.
TEST(BrikLevelBoard, MarkClearingMovesEachSetOntoTheClearingSetKeepingOffsets) {
    Rig rig;
    for (int c = 0; c < 7; ++c) {
        for (int t = 0; t < 9; ++t) {
            rig.cellAt(c, 2).tiles[t] = static_cast<uint8_t>(kBase[c + 1] + 2 * t);
        }
    }
    rig.cellAt(1, 2).empty = 1;
    std::memset(rig.cellAt(7, 2).tiles, 203, 9);
    std::memset(rig.cellAt(8, 2).tiles, 0, 9);
    rig.cellAt(9, 2).tiles[0] = 22;
    rig.cellAt(9, 2).tiles[1] = 200;
    rig.renderer.fade = 0.6f;
    rig.markClearing(2);
    for (int c = 0; c < 7; ++c) {
        for (int t = 0; t < 9; ++t) {
            EXPECT_EQ(rig.cellAt(c, 2).tiles[t], 148 + 2 * t) << "column " << c;
        }
    }
    EXPECT_EQ(rig.cellAt(7, 2).tiles[3], 203);
    EXPECT_EQ(rig.cellAt(8, 2).tiles[3], 0);
    EXPECT_EQ(rig.cellAt(9, 2).tiles[0], 148);
    EXPECT_EQ(rig.cellAt(9, 2).tiles[1], (200 + 126) % 256);
    EXPECT_FLOAT_EQ(rig.renderer.fade, 0.0f);
}

// The last key held decides and only its release clears it. Codes outside
// 0..255 are not keys: none may pass for an arrow once kept in 16 bits.
TEST(BrikLevelKeys, TheLastKeyHeldDecidesAndCodesThatAreNotKeysChangeNothing) {
    Rig rig;
    rig.keyDown(kLeft);
    rig.keyDown(kDown);
    EXPECT_EQ(rig.lastKey, kDown);
    EXPECT_EQ(rig.downHeld, 1);
    rig.keyUp(kLeft);
    EXPECT_EQ(rig.lastKey, kDown);
    rig.keyUp(kDown);
    EXPECT_EQ(rig.lastKey, 0);
    EXPECT_EQ(rig.downHeld, 0);

    rig.interval = 100000;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    for (int key : {-1, 256, 65536 + 37, 65536 + 38, 65536 + 40, -65536 + 39, 2147483647}) {
        rig.keyDown(key);
        rig.step(20);
        rig.keyUp(key);
    }
    EXPECT_EQ(rig.lastKey, 0);
    EXPECT_EQ(rig.column, 4);
    EXPECT_EQ(gTetriminoT.orientation, 0);
    EXPECT_EQ(rig.downHeld, 0);
}

TEST(BrikLevelStart, StartEmptiesTheBoardAndKeepsThePiecesAndCarriedValues) {
    Rig rig;
    rig.setCell(3, 3, 3);
    rig.next = &gTetriminoL;
    rig.score = 470;
    rig.pieceCounts[2] = 9;
    rig.shakeAmplitude = 12.0f;
    rig.garbageRowPeriod = 4;
    rig.keyDown(kUp);
    rig.start();
    EXPECT_EQ(rig.filledCount(), 0);
    EXPECT_EQ(rig.cellAt(3, 3).tiles[0], 22) << "emptying leaves the tiles";
    EXPECT_EQ(rig.next, &gTetriminoL);
    EXPECT_EQ(rig.score, 470);
    EXPECT_EQ(rig.pieceCounts[2], 9);
    EXPECT_EQ(rig.shakeAmplitude, 0.0f);
    EXPECT_EQ(rig.garbageRowCountdown, 4);
    EXPECT_EQ(rig.state, Spawn);
    EXPECT_EQ(rig.rotateRequest, 0);
}

}  // namespace
