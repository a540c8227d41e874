// The board operations of the play level on their own: set cells, dropped
// blocks, garbage rows, closing the edges around a vanishing row and turning
// a row into the clearing tile set; and the key handlers with odd input.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "BrikLevelRig.h"

namespace {

constexpr uint8_t kPieceBases[7] = {128, 86, 22, 63, 106, 168, 42};  // colours 1..7

TEST(BrikLevelBoard, SetCellMakesASingleBlockOfTheColourAndIgnoresOtherPositions) {
    Rig rig;
    const struct {
        int colour;
        int base;
    } colours[] = {{1, 128}, {2, 86}, {3, 22},  {4, 63},  {5, 106},
                   {6, 168}, {7, 42}, {0, 148}, {8, 148}, {-3, 148}};
    for (const auto& c : colours) {
        rig.level.setCell(2, 5, c.colour);
        const Cell& cell = rig.level.cellAt(2, 5);
        EXPECT_TRUE(cell.filled());
        const int offsets[9] = {0, 2, 3, 5, 6, 7, 8, 10, 11};
        for (int t = 0; t < 9; ++t) {
            EXPECT_EQ(cell.tiles[t], c.base + offsets[t]) << "colour " << c.colour;
        }
    }
    Cell before[BrikLevel::kCells];
    std::memcpy(before, rig.level.board, sizeof(before));
    for (const auto& [col, row] : {std::pair{-1, 0}, {10, 0}, {0, -1}, {0, 20}, {99999, -99999}}) {
        rig.level.setCell(col, row, 3);
    }
    EXPECT_EQ(std::memcmp(before, rig.level.board, sizeof(before)), 0);
}

TEST(BrikLevelBoard, ADroppedBlockRestsOnTheColumnBelowRowNine) {
    const struct {
        int stackHeight;  // filled rows 0..stackHeight-1 in the chosen column
        int restRow;      // -1: nothing dropped
    } cases[] = {{0, 0}, {1, 1}, {5, 5}, {9, 9}, {10, -1}, {15, -1}};
    for (const auto& c : cases) {
        std::srand(5);
        const int column = std::rand() % 9;
        std::srand(5);
        Rig rig;
        for (int r = 0; r < c.stackHeight; ++r) {
            rig.level.setCell(column, r, 4);
        }
        rig.level.setCell(column, 15, 4);  // above row 9: not looked at
        const int before = rig.filledCount();
        rig.level.dropBlock(6);
        if (c.restRow < 0) {
            EXPECT_EQ(rig.filledCount(), before) << "stack " << c.stackHeight;
        } else {
            EXPECT_EQ(rig.filledCount(), before + 1) << "stack " << c.stackHeight;
            EXPECT_EQ(rig.level.cellAt(column, c.restRow).tiles[0], 168);
        }
    }
    Rig rig;
    for (int i = 0; i < 500; ++i) {
        rig.level.dropBlock(2);
    }
    for (int r = 0; r < 20; ++r) {
        EXPECT_FALSE(rig.level.cellAt(9, r).filled()) << "column 9, row " << r;
    }
}

TEST(BrikLevelBoard, AGarbageRowLiftsTheBoardAndAlwaysHasAHole) {
    int rowsWithoutDrawnHole = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::srand(seed);
        bool hole[10];
        bool any = false;
        for (bool& h : hole) {
            h = std::rand() % 10 >= 7;
            any = any || h;
        }
        rowsWithoutDrawnHole += any ? 0 : 1;
        std::srand(seed);
        Rig rig;
        rig.level.setCell(3, 0, 7);
        rig.level.setCell(6, 19, 7);  // the top row is pushed out
        rig.level.raiseGarbageRow(5);
        EXPECT_TRUE(rig.level.cellAt(3, 1).filled());
        EXPECT_EQ(rig.level.cellAt(3, 1).tiles[0], 42);
        EXPECT_FALSE(rig.level.cellAt(6, 19).filled());
        for (int c = 0; c < 10; ++c) {
            const bool expectHole = hole[c] || (!any && c == 0);
            EXPECT_EQ(rig.level.cellAt(c, 0).filled(), !expectHole) << "seed " << seed;
        }
    }
    EXPECT_GT(rowsWithoutDrawnHole, 0) << "the forced hole was never exercised";
}

// The offset replacements of closing an edge, in every piece tile set.
TEST(BrikLevelBoard, ClosingAnEdgeRewritesOnlyThatBandByTheJoiningRule) {
    struct Swap {
        int tile;  // 0-based tile index
        int from;
        int to;
        bool onlyO;
    };
    const Swap lower[] = {{0, 1, 13, false}, {0, 14, 0, false}, {0, 19, 13, true},
                          {1, 15, 2, false}, {2, 4, 13, false}, {2, 16, 3, false},
                          {2, 19, 13, true}};
    const Swap upper[] = {{6, 9, 18, false},  {6, 14, 8, false},  {6, 19, 18, true},
                          {7, 15, 10, false}, {8, 12, 18, false}, {8, 16, 11, false},
                          {8, 19, 18, true}};
    for (bool closeLower : {true, false}) {
        for (uint8_t base : kPieceBases) {
            for (int offset = 0; offset < 20; ++offset) {
                Rig rig;
                for (int t = 0; t < 9; ++t) {
                    rig.level.cellAt(4, 7).tiles[t] = static_cast<uint8_t>(base + offset);
                }
                closeLower ? rig.level.closeLowerEdges(7) : rig.level.closeUpperEdges(7);
                const uint8_t* tiles = rig.level.cellAt(4, 7).tiles;
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
                // Closing twice changes nothing more.
                uint8_t once[9];
                std::memcpy(once, tiles, 9);
                closeLower ? rig.level.closeLowerEdges(7) : rig.level.closeUpperEdges(7);
                EXPECT_EQ(std::memcmp(once, tiles, 9), 0);
            }
        }
    }
    Rig rig;
    rig.level.setCell(0, 3, 0);  // the clearing set is left alone
    rig.level.cellAt(0, 3).tiles[0] = 148 + 14;
    rig.level.closeLowerEdges(3);
    EXPECT_EQ(rig.level.cellAt(0, 3).tiles[0], 148 + 14);
}

TEST(BrikLevelBoard, MarkClearingMovesEachSetOntoTheClearingSetKeepingOffsets) {
    Rig rig;
    for (int c = 0; c < 7; ++c) {
        for (int t = 0; t < 9; ++t) {
            rig.level.cellAt(c, 2).tiles[t] = static_cast<uint8_t>(kPieceBases[c] + 2 * t);
        }
    }
    rig.level.cellAt(1, 2).empty = 1;  // empty or not, the cell is shifted
    for (int t = 0; t < 9; ++t) {
        rig.level.cellAt(7, 2).tiles[t] = static_cast<uint8_t>(200 + t);  // no set: unchanged
        rig.level.cellAt(8, 2).tiles[t] = 0;
    }
    rig.renderer.fade = 0.6f;
    rig.level.markClearing(2);
    for (int c = 0; c < 7; ++c) {
        for (int t = 0; t < 9; ++t) {
            EXPECT_EQ(rig.level.cellAt(c, 2).tiles[t], 148 + 2 * t) << "column " << c;
        }
    }
    EXPECT_EQ(rig.level.cellAt(7, 2).tiles[3], 203);
    EXPECT_EQ(rig.level.cellAt(8, 2).tiles[3], 0);
    EXPECT_FLOAT_EQ(rig.renderer.fade, 0.0f);

    // The set is named by tile 1; the others follow it and wrap as bytes.
    rig.level.cellAt(9, 2).tiles[0] = 22;
    rig.level.cellAt(9, 2).tiles[1] = 200;
    rig.level.markClearing(2);
    EXPECT_EQ(rig.level.cellAt(9, 2).tiles[0], 148);
    EXPECT_EQ(rig.level.cellAt(9, 2).tiles[1], (200 + 126) % 256);
}

TEST(BrikLevelBoard, RowOperationsIgnoreRowsOffTheBoard) {
    Rig rig;
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 20; ++r) {
            rig.level.setCell(c, r, (c + r) % 7 + 1);
        }
    }
    Cell before[BrikLevel::kCells];
    std::memcpy(before, rig.level.board, sizeof(before));
    for (int row : {-1, 20, -100000, 100000}) {
        rig.level.closeLowerEdges(row);
        rig.level.closeUpperEdges(row);
        rig.level.markClearing(row);
    }
    EXPECT_EQ(std::memcmp(before, rig.level.board, sizeof(before)), 0);
}

TEST(BrikLevelKeys, TheLastKeyHeldDecidesAndOnlyItsReleaseClearsIt) {
    Rig rig;
    rig.level.keyDown(37);
    rig.level.keyDown(40);
    EXPECT_EQ(rig.level.lastKey, 40) << "Down takes over from a held Left";
    EXPECT_EQ(rig.level.downHeld, 1);
    rig.level.keyUp(37);
    EXPECT_EQ(rig.level.lastKey, 40);
    rig.level.keyUp(40);
    EXPECT_EQ(rig.level.lastKey, 0);
    EXPECT_EQ(rig.level.downHeld, 0);
}

// Codes outside 0..255 are not keys: none may pass for an arrow once kept in
// 16 bits (65536 + 37 would).
TEST(BrikLevelKeys, CodesThatAreNotKeysChangeNothing) {
    Rig rig;
    rig.level.interval = 100000;
    rig.spawnAt(&gTetriminoT, 0, 4, 10);
    for (int key : {-1, 256, 65536 + 37, 65536 + 38, 65536 + 40, -65536 + 39, 2147483647}) {
        rig.level.keyDown(key);
        rig.step(20);
        rig.level.keyUp(key);
    }
    EXPECT_EQ(rig.level.lastKey, 0);
    EXPECT_EQ(rig.level.column, 4);
    EXPECT_EQ(gTetriminoT.orientation, 0);
    EXPECT_EQ(rig.level.downHeld, 0);
}

TEST(BrikLevelStart, StartEmptiesTheBoardAndKeepsThePiecesAndCarriedValues) {
    Rig rig;
    rig.level.setCell(3, 3, 3);
    rig.level.next = &gTetriminoL;
    rig.level.score = 470;
    rig.level.pieceCounts[2] = 9;
    rig.level.shakeAmplitude = 12.0f;
    rig.level.garbageRowPeriod = 4;
    rig.level.keyDown(38);
    rig.level.start();
    EXPECT_EQ(rig.filledCount(), 0);
    EXPECT_EQ(rig.level.cellAt(3, 3).tiles[0], 22) << "emptying leaves the tiles";
    EXPECT_EQ(rig.level.next, &gTetriminoL);
    EXPECT_EQ(rig.level.score, 470);
    EXPECT_EQ(rig.level.pieceCounts[2], 9);
    EXPECT_EQ(rig.level.shakeAmplitude, 0.0f);
    EXPECT_EQ(rig.level.garbageRowCountdown, 4);
    EXPECT_EQ(rig.level.state, Spawn);
    EXPECT_EQ(rig.level.rotateRequest, 0);
}

}  // namespace
