// The preset boards of the nine special levels, checked against the boards
// as the game's designers drew them, and the factory that builds a level
// from its class id.

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/DuobrikLevels.h"

namespace {

// First texture index of the tile set of colour numbers 1..7.
constexpr int kBase[8] = {148, 128, 86, 22, 63, 106, 168, 42};

// The colour number a filled cell was laid with, read back from its first tile
// (a closed single block starts at its set's first tile); 0 for an empty cell.
int colourAt(const BrikLevel& level, int column, int row) {
    const Cell& cell = level.cellAt(column, row);
    if (!cell.filled()) {
        return 0;
    }
    for (int n = 1; n <= 7; ++n) {
        if (cell.tiles[0] == kBase[n]) {
            return n;
        }
    }
    return -1;
}

int filledInRow(const BrikLevel& level, int row) {
    int n = 0;
    for (int c = 0; c < BrikLevel::kColumns; ++c) {
        n += level.cellAt(c, row).filled() ? 1 : 0;
    }
    return n;
}

class DuobrikLevelsTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;

    std::unique_ptr<DuobrikLevel> started(int classId) {
        std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(classId);
        // Leftovers on the board must not survive start.
        level->cellAt(9, 19).empty = 0;
        level->start();
        return level;
    }
};

TEST_F(DuobrikLevelsTest, FactoryBuildsEachClassAndFallsBackToThePlainLevel) {
    const std::pair<int, const std::type_info*> cases[] = {
        {1, &typeid(DuobrikLevel)},    {2, &typeid(DuobrikLevel2)}, {3, &typeid(DuobrikLevel3)},
        {4, &typeid(DuobrikLevel4)},   {5, &typeid(DuobrikLevel5)}, {6, &typeid(DuobrikLevel6)},
        {7, &typeid(DuobrikLevel7)},   {8, &typeid(DuobrikLevel8)}, {9, &typeid(DuobrikLevel9)},
        {10, &typeid(DuobrikLevel10)}, {0, &typeid(DuobrikLevel)},  {11, &typeid(DuobrikLevel)},
        {-7, &typeid(DuobrikLevel)}};
    for (const auto& [id, type] : cases) {
        std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(id);
        ASSERT_NE(level, nullptr);
        EXPECT_EQ(typeid(*level), *type) << "class id " << id;
    }
}

TEST_F(DuobrikLevelsTest, EachBoardHasItsBlocksNoFullRowAndNothingAboveRow7) {
    const std::pair<int, int> cases[] = {{1, 0},  {2, 16}, {3, 16}, {4, 10}, {5, 27},
                                         {6, 24}, {7, 21}, {8, 63}, {9, 64}, {10, 30}};
    for (const auto& [id, blocks] : cases) {
        audio.log.clear();
        std::unique_ptr<DuobrikLevel> level = started(id);
        int total = 0;
        for (int r = 0; r < BrikLevel::kRows; ++r) {
            const int n = filledInRow(*level, r);
            total += n;
            EXPECT_LT(n, BrikLevel::kColumns) << "class " << id << " row " << r << " is full";
            if (r > 7) {
                EXPECT_EQ(n, 0) << "class " << id << " row " << r;
            }
        }
        EXPECT_EQ(total, blocks) << "class " << id;
        EXPECT_EQ(level->state, Spawn) << "class " << id;
        EXPECT_EQ(audio.music, "three.mod") << "class " << id << " skipped the level's start";
    }
}

TEST_F(DuobrikLevelsTest, PillarsRunUpOneSideAndDownTheOther) {
    std::unique_ptr<DuobrikLevel> level = started(2);
    const int left[8] = {1, 2, 3, 4, 5, 6, 7, 1};
    const int right[8] = {6, 5, 4, 3, 2, 1, 7, 6};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(colourAt(*level, 0, r), left[r]) << "row " << r;
        EXPECT_EQ(colourAt(*level, 9, r), right[r]) << "row " << r;
    }
}

TEST_F(DuobrikLevelsTest, ThreeRowsWithOneHoleEach) {
    std::unique_ptr<DuobrikLevel> level = started(5);
    const int perRow[8] = {9, 0, 0, 9, 0, 0, 9, 0};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(filledInRow(*level, r), perRow[r]) << "row " << r;
    }
    EXPECT_EQ(colourAt(*level, 7, 0), 0);
    EXPECT_EQ(colourAt(*level, 2, 3), 0);
    EXPECT_EQ(colourAt(*level, 7, 6), 0);
    EXPECT_EQ(colourAt(*level, 0, 6), 4);
}

TEST_F(DuobrikLevelsTest, StaircaseHasOneColourPerDiagonal) {
    std::unique_ptr<DuobrikLevel> level = started(7);
    for (int c = 0; c < BrikLevel::kColumns; ++c) {
        for (int r = 0; r < BrikLevel::kRows; ++r) {
            EXPECT_EQ(colourAt(*level, c, r), c + r <= 5 ? c + r + 1 : 0)
                << "column " << c << " row " << r;
        }
    }
}

TEST_F(DuobrikLevelsTest, HoledRowsHaveTheirHolesAndRowColours) {
    std::unique_ptr<DuobrikLevel> level = started(8);
    const int holes[7] = {2, 7, 5, 0, 8, 4, 1};
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < BrikLevel::kColumns; ++c) {
            EXPECT_EQ(colourAt(*level, c, r), c == holes[r] ? 0 : r + 1)
                << "column " << c << " row " << r;
        }
    }
}

TEST_F(DuobrikLevelsTest, PresetCellsAreClosedSquares) {
    std::unique_ptr<DuobrikLevel> level = started(7);
    // Column 2, row 0: colour 3, whose set begins at 22.
    const Cell& cell = level->cellAt(2, 0);
    const uint8_t expected[9] = {22, 24, 25, 27, 28, 29, 30, 32, 33};
    ASSERT_TRUE(cell.filled());
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(cell.tiles[i], expected[i]) << "tile " << i + 1;
    }
}

}  // namespace
