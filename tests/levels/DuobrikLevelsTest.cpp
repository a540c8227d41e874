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

class DuobrikLevelsTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;

    std::unique_ptr<DuobrikLevel> started(int classId) {
        std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(classId);
        level->cellAt(9, 19).empty = 0;  // leftovers on the board must not survive start
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

// Every board after the level's own start: its number of blocks, no full row
// and nothing above row 7.
TEST_F(DuobrikLevelsTest, EachBoardHasItsBlocksNoFullRowAndNothingAboveRow7) {
    const std::pair<int, int> cases[] = {{1, 0},  {2, 16}, {3, 16}, {4, 10}, {5, 27},
                                         {6, 24}, {7, 21}, {8, 63}, {9, 64}, {10, 30}};
    for (const auto& [id, blocks] : cases) {
        audio.music.clear();
        std::unique_ptr<DuobrikLevel> level = started(id);
        int total = 0;
        for (int r = 0; r < BrikLevel::kRows; ++r) {
            int n = 0;
            for (int c = 0; c < BrikLevel::kColumns; ++c) {
                n += level->cellAt(c, r).filled() ? 1 : 0;
            }
            total += n;
            EXPECT_TRUE(n < BrikLevel::kColumns && (r <= 7 || n == 0)) << id << " row " << r;
        }
        EXPECT_EQ(total, blocks) << "class " << id;
        EXPECT_EQ(level->state, Spawn) << "class " << id;
        EXPECT_EQ(audio.music, "three.mod") << "class " << id << " skipped the level's start";
    }
}

// Colour number of each cell (0 empty) of four boards as drawn; every block a
// closed single square of its colour's set.
TEST_F(DuobrikLevelsTest, BoardsAsDrawnWithClosedSquares) {
    using Colour = int (*)(int column, int row);
    const std::pair<int, Colour> boards[] = {
        {2,  // pillars, up one side and down the other
         [](int c, int r) {
             constexpr int left[8] = {1, 2, 3, 4, 5, 6, 7, 1}, right[8] = {6, 5, 4, 3, 2, 1, 7, 6};
             return r > 7 ? 0 : c == 0 ? left[r] : c == 9 ? right[r] : 0;
         }},
        {5,  // three rows with one hole each
         [](int c, int r) {
             return r == 0 && c != 7 ? 6 : r == 3 && c != 2 ? 2 : r == 6 && c != 7 ? 4 : 0;
         }},
        {7, [](int c, int r) { return c + r <= 5 ? c + r + 1 : 0; }},  // staircase
        {8,  // holed rows, coloured row + 1
         [](int c, int r) {
             constexpr int hole[7] = {2, 7, 5, 0, 8, 4, 1};
             return r < 7 && c != hole[r] ? r + 1 : 0;
         }},
    };
    const int closed[9] = {0, 2, 3, 5, 6, 7, 8, 10, 11};
    for (const auto& [id, colour] : boards) {
        std::unique_ptr<DuobrikLevel> level = started(id);
        for (int c = 0; c < BrikLevel::kColumns; ++c) {
            for (int r = 0; r < BrikLevel::kRows; ++r) {
                const Cell& cell = level->cellAt(c, r);
                const int expected = colour(c, r);
                ASSERT_EQ(cell.filled(), expected != 0) << id << ": " << c << ", " << r;
                for (int t = 0; t < 9 && expected != 0; ++t) {
                    EXPECT_EQ(cell.tiles[t], kBase[expected] + closed[t])
                        << id << ": " << c << ", " << r << " tile " << t + 1;
                }
            }
        }
    }
}

}  // namespace
