// Thousands of pieces played with random keys (odd codes included) and
// random time steps (long pauses included), through every hazard setting and
// across level ends, checking after every update what must always hold.
// Runs in the sanitizer build too, where any access outside the level object
// is caught; the field checks below catch strays inside it.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include "BrikLevelRig.h"

namespace {

TEST(BrikLevelSoak, RandomPlayKeepsEveryInvariant) {
    std::mt19937 choose(20240611);  // the test's own choices; the level uses rand()
    std::srand(4242);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(choose); };
    FakeRenderer renderer;
    FakeAudio audio;
    int64_t now = 5000;
    int levels = 0, spawned = 0, ends[4] = {};
    std::unique_ptr<BrikLevel> level;
    auto newLevel = [&] {
        auto fresh = std::make_unique<BrikLevel>();
        // Every combination of hazard periods comes round in turn.
        fresh->blockDropPeriod = levels % 5;
        fresh->garbageRowPeriod = (levels / 5) % 6;
        fresh->blockDropColour = pick(-1, 8);
        fresh->garbageRowColour = pick(-1, 8);
        fresh->interval = std::array<int, 6>{1, 16, 50, 100, 250, 500}[pick(0, 5)];
        fresh->linesToGo = pick(0, 1) == 0 ? pick(1, 2) : pick(3, 30);
        fresh->smoothSlide = fresh->smoothFall = pick(0, 1) == 1;
        if (level) {  // the flow carries these from level to level
            fresh->score = level->score;
            std::copy(level->pieceCounts, level->pieceCounts + 7, fresh->pieceCounts);
        }
        level = std::move(fresh);
        level->start();
        // Some levels start with a preset pattern, full rows included.
        for (int i = pick(0, 3) == 0 ? pick(0, 60) : 0; i > 0; --i) {
            level->board.setCell(pick(0, 9), pick(0, 12), pick(0, 8));
        }
        ++levels;
    };
    newLevel();

    const int keys[] = {32, 37, 38, 39, 40, 37, 39, 40, 65, 27, 0, 255, -1, 300, 65536 + 37};
    int updates = 0;
    for (; updates < 1500000 && spawned < 10000; ++updates) {
        for (int i = pick(0, 6) == 0 ? pick(1, 3) : 0; i > 0; --i) {
            const int key = keys[pick(0, static_cast<int>(std::size(keys)) - 1)];
            pick(0, 2) == 0 ? level->keyUp(key) : level->keyDown(key);
        }
        const int roll = pick(0, 999);
        const int64_t step = roll < 850   ? pick(1, 40)
                             : roll < 950 ? pick(41, 500)
                             : roll < 995 ? pick(501, 5000)
                                          : pick(100000, 1000000000);
        spawned += level->state == Spawn ? 1 : 0;
        const int32_t scoreBefore = level->score;
        level->update(now += step, step);

        const BrikLevel& l = *level;
        SCOPED_TRACE("update " + std::to_string(updates) + ", state " + std::to_string(l.state));
        ASSERT_GE(l.score, scoreBefore);
        ASSERT_EQ(std::accumulate(l.pieceCounts, l.pieceCounts + 7, 0), spawned);
        ASSERT_TRUE(typeOf(l.next) >= 0 && (!l.current || typeOf(l.current) >= 0));
        if (l.state == Falling || l.state == Landed) {
            ASSERT_TRUE(l.row >= 0 && l.row <= catalogue::kTopRow &&
                        !l.current->collides(l.column, l.row, l.board.cells))
                << "piece at (" << l.column << ", " << l.row << ")";
        }
        for (const Cell& cell : l.board.cells) {
            ASSERT_LE(cell.empty, 1);
        }
        if (updates % 64 == 0) {
            const Tetrimino& preview = *l.next;
            const int orientation = preview.orientation, x = preview.x, y = preview.y;
            level->draw();
            ASSERT_TRUE(preview.orientation == orientation && preview.x == x && preview.y == y)
                << "drawing the preview moved the shared piece";
            renderer.calls.clear();  // the logs would grow without end
            audio.log.clear();
            audio.samplesPlayed.clear();
            audio.volumes.clear();
        }
        if (l.state == LevelComplete || l.state == GameOver) {
            ++ends[l.state];
            newLevel();
        }
    }
    EXPECT_TRUE(spawned >= 10000 && ends[LevelComplete] > 0 && ends[GameOver] > 0)
        << spawned << " pieces in " << updates << " updates";
}

}  // namespace
