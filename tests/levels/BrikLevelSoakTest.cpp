// Thousands of pieces played with random keys (odd codes included) and
// random time steps (long pauses included), through every hazard setting and
// across level ends, checking after every update what must always hold.
// Runs in the sanitizer build too, where any access outside the level object
// is caught; the field checks below catch strays inside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include "BrikLevelRig.h"

namespace {

int sumCounts(const int32_t (&counts)[7]) {
    return std::accumulate(std::begin(counts), std::end(counts), 0);
}

TEST(BrikLevelSoak, RandomPlayKeepsEveryInvariant) {
    constexpr int kPiecesToPlay = 10000;
    constexpr int kMaxUpdates = 1500000;

    std::mt19937 choose(20240611);  // the test's own choices; the level uses rand()
    std::srand(4242);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(choose); };

    FakeRenderer renderer;
    FakeAudio audio;
    int64_t now = 5000;
    int32_t score = 0;
    int32_t counts[7] = {};
    int levelsPlayed = 0;
    int spawned = 0;
    int spawnedThisLevel = 0;
    int countsAtLevelStart = 0;
    int ends[4] = {};
    std::unique_ptr<BrikLevel> level;

    auto newLevel = [&] {
        level = std::make_unique<BrikLevel>();
        // Every combination of hazard periods comes round in turn.
        level->blockDropPeriod = levelsPlayed % 5;
        level->garbageRowPeriod = (levelsPlayed / 5) % 6;
        level->blockDropColour = pick(-1, 8);
        level->garbageRowColour = pick(-1, 8);
        level->interval = std::array<int, 6>{1, 16, 50, 100, 250, 500}[pick(0, 5)];
        level->linesToGo = pick(0, 1) == 0 ? pick(1, 2) : pick(3, 30);
        level->smoothSlide = pick(0, 1) == 1;
        level->smoothFall = pick(0, 1) == 1;
        level->score = score;
        std::copy(std::begin(counts), std::end(counts), level->pieceCounts);
        level->start();
        // Some levels start with a preset pattern, full rows included.
        const int presets = pick(0, 3) == 0 ? pick(0, 60) : 0;
        for (int i = 0; i < presets; ++i) {
            level->setCell(pick(0, 9), pick(0, 12), pick(0, 8));
        }
        countsAtLevelStart = sumCounts(level->pieceCounts);
        spawnedThisLevel = 0;
        ++levelsPlayed;
    };
    newLevel();

    const int keys[] = {32, 37, 38, 39, 40, 37, 39, 40, 65, 27, 0, 255, -1, 300, 65536 + 37};
    int updates = 0;
    for (; updates < kMaxUpdates && spawned < kPiecesToPlay; ++updates) {
        const int events = pick(0, 6) == 0 ? pick(1, 3) : 0;
        for (int i = 0; i < events; ++i) {
            const int key = keys[pick(0, static_cast<int>(std::size(keys)) - 1)];
            pick(0, 2) == 0 ? level->keyUp(key) : level->keyDown(key);
        }
        const int roll = pick(0, 999);
        const int64_t step = roll < 850   ? pick(1, 40)
                             : roll < 950 ? pick(41, 500)
                             : roll < 995 ? pick(501, 5000)
                                          : pick(100000, 1000000000);
        now += step;

        const uint8_t stateBefore = level->state;
        const int32_t scoreBefore = level->score;
        level->update(now, step);
        if (stateBefore == Spawn) {
            ++spawned;
            ++spawnedThisLevel;
        }

        const std::string at = "update " + std::to_string(updates) + ", state " +
                               std::to_string(level->state) + ", level " +
                               std::to_string(levelsPlayed);
        ASSERT_GE(level->score, scoreBefore) << at;
        ASSERT_EQ(sumCounts(level->pieceCounts), countsAtLevelStart + spawnedThisLevel) << at;
        ASSERT_TRUE(level->current == nullptr || typeOf(level->current) >= 0) << at;
        ASSERT_TRUE(level->next == nullptr || typeOf(level->next) >= 0) << at;
        ASSERT_TRUE((level->state >= Spawn && level->state <= LoseFadeOut) ||
                    level->state == LevelComplete || level->state == GameOver)
            << at;
        if (level->state == Falling || level->state == Landed) {
            ASSERT_NE(level->current, nullptr) << at;
            ASSERT_FALSE(level->current->collides(level->column, level->row, level->board))
                << at << " piece at (" << level->column << ", " << level->row << ")";
            ASSERT_TRUE(level->row >= 0 && level->row <= 19) << at;
        }
        for (const Cell& cell : level->board) {
            ASSERT_LE(cell.empty, 1) << at;
        }

        if (updates % 64 == 0) {
            renderer.calls.clear();
            const Tetrimino* next = level->next;
            const int8_t orientation = next ? next->orientation : 0;
            const int32_t x = next ? next->x : 0;
            level->draw();
            if (next != nullptr) {
                ASSERT_EQ(next->orientation, orientation) << at;
                ASSERT_EQ(next->x, x) << at;
            }
            audio.log.clear();  // the logs would grow without end
            audio.samplesPlayed.clear();
            audio.volumes.clear();
        }

        if (level->state == LevelComplete || level->state == GameOver) {
            ++ends[level->state];
            score = level->score;
            std::copy(std::begin(level->pieceCounts), std::end(level->pieceCounts), counts);
            newLevel();
        }
    }
    EXPECT_GE(spawned, kPiecesToPlay) << "after " << updates << " updates";
    EXPECT_GT(ends[LevelComplete], 0);
    EXPECT_GT(ends[GameOver], 0);
    std::printf("soak: %d pieces, %d updates, %d levels (%d won, %d lost), score %d\n", spawned,
                updates, levelsPlayed, ends[LevelComplete], ends[GameOver], score);
}

}  // namespace
