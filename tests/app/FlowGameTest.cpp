// Whole games played through the application with random keys and a clock
// that jumps by random steps: levels won (made winnable by a full bottom row
// and one row to go), levels lost, the win screen reached. Whatever happens,
// there is always a level, the counters travel as the flow promises and
// never run backwards within a level, and music is started at most once a frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <typeinfo>

#include "app/Clock.h"
#include "app/DuobrikApplication.h"
#include "app/IntroLevel.h"
#include "app/WinLevel.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/DuobrikLevel.h"

namespace {

int64_t gNowMs = 0;
int64_t readNow() {
    return gNowMs;
}
int64_t ticksPerSecond() {
    return 1000;
}

// Keys a player might press, the arrows and Space most often, and odd codes.
constexpr int32_t kKeys[] = {37, 39, 40, 40, 40, 38, 32, 37, 39, 27, 13, 0, 255, 65};

struct Totals {
    int games = 0;
    int levelsWon = 0;
    int losses = 0;
    int winScreens = 0;
};

class FlowGameTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
    Counter savedCounter = gCounter;
    std::mt19937 random{20240607};

    void SetUp() override {
        gCounter = {readNow, ticksPerSecond};
        gNowMs = 1'000'000'000;
    }
    void TearDown() override { gCounter = savedCounter; }

    int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    // Fills the bottom row and leaves one row to clear: the first piece to
    // lock completes the row and wins the level.
    static void makeWinnable(BrikLevel& level) {
        level.linesToGo = 1;
        for (int c = 0; c < BrikLevel::kColumns; ++c) {
            level.setCell(c, 0, 1 + c % 7);
        }
    }

    // Plays one game from an intro screen until it is back at an intro
    // screen: levels before `loseAt` are made winnable, that one is played at
    // random until lost (or won by chance). loseAt 25 plays to the win screen.
    void playGame(DuobrikApplication& app, int loseAt, Totals& totals) {
        app.keyDown(kKeys[below(14)]);
        const BrikLevel* seen = nullptr;
        int32_t lastScore = 0;
        int32_t lastCounts[7] = {};
        for (int frame = 0; frame < 400000; ++frame) {
            const uint8_t before = app.level->state;
            const int levelBefore = app.levelNumber;
            const bool wasPlay = dynamic_cast<BrikLevel*>(app.level.get()) != nullptr;

            // The clock: mostly a frame or two, sometimes nothing, now and then a long pause.
            const int roll = below(100);
            gNowMs += roll < 10 ? 0 : roll < 98 ? 1 + below(40) : 500 + below(3000);
            const size_t logBefore = audio.log.size();
            app.tick();
            renderer.calls.clear();
            app.render();

            ASSERT_NE(app.level, nullptr);
            int musicStarts = 0;
            for (size_t i = logBefore; i < audio.log.size(); ++i) {
                musicStarts += audio.log[i].rfind("playMusic", 0) == 0 ? 1 : 0;
            }
            ASSERT_LE(musicStarts, 1) << "two pieces of music started in one frame";

            // What a finished play level handed back to the application.
            if (wasPlay && (before == LevelComplete || before == GameOver)) {
                EXPECT_EQ(app.score, lastScore);
                EXPECT_TRUE(std::equal(lastCounts, lastCounts + 7, app.pieceCounts));
                ++(before == LevelComplete ? totals.levelsWon : totals.losses);
            }

            BrikLevel* level = dynamic_cast<BrikLevel*>(app.level.get());
            const bool fresh = level != nullptr && (before == StartGame || before == LevelComplete);
            if (fresh) {
                ASSERT_EQ(app.levelNumber, before == StartGame ? 1 : levelBefore + 1);
                EXPECT_EQ(audio.music, "three.mod");
                // The first update may already have counted the first piece.
                const bool carries = app.levelNumber >= 4;
                const int32_t fresh =
                    std::accumulate(level->pieceCounts, level->pieceCounts + 7, 0) -
                    (carries ? std::accumulate(app.pieceCounts, app.pieceCounts + 7, 0) : 0);
                EXPECT_EQ(level->score, carries ? app.score : 0) << "level " << app.levelNumber;
                EXPECT_TRUE(fresh == 0 || fresh == 1) << "level " << app.levelNumber;
                if (app.levelNumber < loseAt) {
                    makeWinnable(*level);
                }
            } else if (level != nullptr) {
                ASSERT_EQ(level, seen) << "a play level appeared without the flow";
                EXPECT_GE(level->score, lastScore);
                for (int t = 0; t < 7; ++t) {
                    EXPECT_GE(level->pieceCounts[t], lastCounts[t]);
                }
            }
            seen = level;
            if (level != nullptr) {
                lastScore = level->score;
                std::copy(level->pieceCounts, level->pieceCounts + 7, lastCounts);
            }

            if (typeid(*app.level) == typeid(WinLevel) && before == LevelComplete) {
                EXPECT_EQ(app.levelNumber, 25);
                EXPECT_TRUE(audio.playing);
                EXPECT_EQ(audio.music, "devils.mod");
                ++totals.winScreens;
            }
            if (typeid(*app.level) == typeid(IntroLevel)) {
                ++totals.games;
                return;
            }

            // Keys between frames, pressed and released at random.
            if (below(4) == 0) {
                app.keyDown(kKeys[below(14)]);
            }
            if (below(6) == 0) {
                app.keyUp(kKeys[below(14)]);
            }
        }
        FAIL() << "a game did not end; level " << app.levelNumber << " state "
               << int(app.level->state);
    }
};

TEST_F(FlowGameTest, ManyGamesWithRandomKeysAndClockSteps) {
    DuobrikApplication app;
    app.init();
    srand(12345);
    Totals totals;
    // Two complete games to the win screen, then losses at levels spread over the list.
    const int loseAt[] = {25, 25, 1, 2, 3, 4, 5, 8, 12, 14, 15, 17, 20, 24};
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) {
        for (int lose : loseAt) {
            playGame(app, lose, totals);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
    EXPECT_EQ(totals.games, 14 * kRounds);
    EXPECT_EQ(totals.winScreens, 2 * kRounds);
    EXPECT_EQ(totals.losses + totals.winScreens, 14 * kRounds);
    EXPECT_GE(totals.levelsWon, 2 * 24 * kRounds);
    std::printf("games %d, levels won %d, losses %d, win screens %d\n", totals.games,
                totals.levelsWon, totals.losses, totals.winScreens);
}

}  // namespace
