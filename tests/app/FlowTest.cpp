// The game flow: which level runs after the intro, after each won level,
// after a lost one and after the last one, with what parameters, counters and
// music; the intro's blinking prompt; and whole games played with random keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <typeinfo>
#include <vector>

#include "app/Clock.h"
#include "app/DuobrikApplication.h"
#include "app/IntroLevel.h"
#include "app/WinLevel.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/DuobrikLevels.h"

namespace {

int64_t gNowMs = 0;
using Log = std::vector<std::string>;

class FlowTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
    Counter savedCounter = gCounter;
    std::unique_ptr<DuobrikApplication> app;

    void SetUp() override {
        gCounter = {[] { return gNowMs; }, [] { return int64_t{1000}; }};  // ticks are ms
        gNowMs = 5'000'000;
        app = std::make_unique<DuobrikApplication>();
        app->init();
        srand(7);
    }
    void TearDown() override {
        app.reset();
        gCounter = savedCounter;
    }
    // One frame with the clock moved on by `ms`; with 0 the level gets no update.
    void frame(int64_t ms = 0) {
        gNowMs += ms;
        renderer.calls.clear();
        app->tick();
        app->render();
    }
    BrikLevel* play() const { return dynamic_cast<BrikLevel*>(app->level.get()); }
    const std::type_info& current() const { return typeid(*app->level); }
};

// A key on the intro starts level 1 at the next frame, then every won level
// the next one in the list. Levels 1 to 3 start from zero; from 4 on each
// starts with the counters the level before it ended with. After level 24 the
// win screen takes keys only after its guard time, so a key still held from
// the last level does not skip it; its intro then keeps the music.
TEST_F(FlowTest, FromTheIntroThroughTheTwentyFourLevelsToTheWinScreen) {
    const std::type_info* classes[] = {nullptr,
                                       &typeid(DuobrikLevel),
                                       &typeid(DuobrikLevel2),
                                       &typeid(DuobrikLevel3),
                                       &typeid(DuobrikLevel4),
                                       &typeid(DuobrikLevel5),
                                       &typeid(DuobrikLevel6),
                                       &typeid(DuobrikLevel7),
                                       &typeid(DuobrikLevel8),
                                       &typeid(DuobrikLevel9),
                                       &typeid(DuobrikLevel10)};
    // class, interval, lines, drop, garbage, music section
    const int list[24][6] = {
        // clang-format off
        {1, 800, 8, 0, 0, 0},   {1, 700, 10, 0, 0, 0},  {1, 600, 12, 0, 0, 0},   {2, 600, 10, 0, 0, 0},
        {3, 500, 12, 0, 0, 1},  {4, 400, 14, 0, 0, 2},  {5, 350, 14, 0, 0, 0},   {6, 300, 14, 0, 0, 1},
        {1, 280, 10, 6, 0, 2},  {1, 260, 8, 0, 10, 0},  {1, 240, 8, 4, 7, 1},    {7, 240, 10, 8, 0, 2},
        {8, 220, 12, 6, 0, 1},  {9, 200, 15, 4, 0, 2},  {10, 180, 18, 0, 0, 0},  {2, 160, 18, 2, 0, 1},
        {3, 140, 18, 2, 12, 2}, {4, 120, 18, 0, 0, 0},  {5, 100, 18, 0, 0, 1},   {6, 80, 18, 0, 0, 2},
        {7, 60, 18, 0, 0, 0},   {8, 40, 18, 0, 0, 1},   {9, 30, 18, 0, 0, 1},    {10, 20, 18, 0, 0, 1},
        // clang-format on
    };
    EXPECT_EQ(audio.log, (Log{"loadMusic(devils.mod)", "playMusic(0)"}));
    app->keyUp(32);
    frame(16);
    app->keyDown(13);
    EXPECT_EQ(current(), typeid(IntroLevel)) << "levels change only at the start of a frame";
    audio.log.clear();
    for (int n = 1; n <= 24; ++n) {
        audio.musicPosition = -1;
        frame();  // no clock step: the level stands as the flow built it
        const int* e = list[n - 1];
        ASSERT_EQ(current(), *classes[e[0]]) << "level " << n;
        const BrikLevel& l = *play();
        EXPECT_EQ((std::vector<int>{app->levelNumber, l.interval, l.linesToGo, l.blockDropPeriod,
                                    l.garbageRowPeriod, l.musicSection, audio.musicPosition}),
                  (std::vector<int>{n, e[1], e[2], e[3], e[4], e[5], 10 * e[5]}));
        EXPECT_EQ(audio.music, "three.mod");
        for (int t = 0; t < 7; ++t) {
            EXPECT_EQ(l.pieceCounts[t], n >= 4 ? n - 1 + t : 0) << "level " << n;
        }
        EXPECT_EQ(l.score, n >= 4 ? 1000 * (n - 1) : 0) << "level " << n;
        play()->score = 1000 * n;
        std::iota(play()->pieceCounts, play()->pieceCounts + 7, n);
        app->level->state = LevelComplete;
    }
    // Leaving the intro stopped its music before level 1 played its own.
    EXPECT_EQ(audio.log.front(), "stopMusic");
    audio.log.clear();
    frame(16);
    ASSERT_EQ(current(), typeid(WinLevel));
    EXPECT_EQ(audio.log, (Log{"volume(127)", "loadMusic(devils.mod)", "playMusic(0)"}));
    EXPECT_NE(renderer.trace().find("Centered(160,400,221)"), std::string::npos);
    EXPECT_NE(renderer.trace().find("Texture(78,7,192) Texture(50,7,190)"), std::string::npos)
        << "the final score, 24000";
    for (int64_t step : {WinLevel::kKeyGuardMs - 17, int64_t{1}}) {
        app->keyDown(32);  // held from the last level, then pressed 1 ms too early
        frame(step);
        EXPECT_EQ(current(), typeid(WinLevel)) << "pressed before a step of " << step;
    }
    app->keyDown(32);
    audio.log.clear();
    frame(16);
    ASSERT_EQ(current(), typeid(IntroLevel));
    EXPECT_TRUE(audio.log.empty() && audio.playing && audio.music == "devils.mod");
    app->keyDown(32);
    frame(16);
    ASSERT_EQ(current(), typeid(DuobrikLevel));
    EXPECT_EQ(play()->state, Falling) << "the new level gets this frame's update";

    WinLevel paused;  // a long pause must not overflow the guard
    paused.update(0, 1);
    paused.update(1, INT64_MAX);
    paused.keyDown(0);
    EXPECT_EQ(paused.state, BackToIntro);
}

TEST_F(FlowTest, LosingAnyLevelGoesToASilentIntro) {
    for (int n = 1; n <= 24; ++n) {
        app->keyDown(40);
        for (frame(); app->levelNumber < n; frame()) {
            app->level->state = LevelComplete;
        }
        play()->score = 300 + n;
        play()->state = GameOver;
        audio.log.clear();
        frame(16);
        ASSERT_EQ(current(), typeid(IntroLevel)) << "after losing level " << n;
        EXPECT_TRUE(audio.log.empty()) << "the intro after a loss plays nothing";
        EXPECT_EQ(app->score, 300 + n);
    }
}

TEST_F(FlowTest, TheIntroPromptBlinksWithTheClockSecond) {
    IntroLevel intro;
    const std::pair<int64_t, bool> cases[] = {
        {0, false},    {500, false}, {501, true},           {999, true},           {1000, false},
        {1500, false}, {1501, true}, {7'000'000'999, true}, {7'000'001'000, false}};
    for (const auto& [now, shown] : cases) {
        intro.update(now, 1);
        renderer.calls.clear();
        intro.draw();
        EXPECT_EQ(renderer.trace(),
                  shown ? "Texture(0,0,85) Texture(16,50,126)" : "Texture(0,0,85)")
            << "at " << now << " ms";
    }
}

// Whole games with random keys and a clock that jumps by random steps. Levels
// before `loseAt` are made winnable (a full bottom row, one row to go); that
// one is played at random until lost (or won by chance); 25 reaches the win
// screen. There is always a level, the counters travel as the flow promises
// and never run backwards within a level, a new game stops the music left
// playing, and music starts at most once a frame.
TEST_F(FlowTest, ManyGamesWithRandomKeysAndClockSteps) {
    std::mt19937 random{20240607};
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    constexpr int32_t kKeys[] = {37, 39, 40, 40, 40, 38, 32, 37, 39, 27, 13, 0, 255, 65};
    const int loseAt[] = {25, 25, 1, 2, 3, 4, 5, 8, 12, 14, 15, 17, 20, 24};
    int levelsWon = 0, losses = 0, winScreens = 0;
    for (int game = 0; game < 3 * 14; ++game) {
        app->keyDown(kKeys[below(14)]);
        const BrikLevel* seen = nullptr;
        int32_t lastScore = 0, lastCounts[7] = {};
        for (int f = 0; f == 0 || current() != typeid(IntroLevel); ++f) {
            ASSERT_LT(f, 400000) << "a game did not end at level " << app->levelNumber;
            const uint8_t before = app->level->state;
            const int levelBefore = app->levelNumber;
            const size_t logBefore = audio.log.size();
            const int roll = below(100);  // mostly a frame or two, sometimes a long pause
            frame(roll < 10 ? 0 : roll < 98 ? 1 + below(40) : 500 + below(3000));
            ASSERT_LE(std::count_if(audio.log.begin() + logBefore, audio.log.end(),
                                    [](auto& s) { return s.starts_with("playMusic"); }),
                      1);
            if (before == LevelComplete || before == GameOver) {  // only play levels end so
                EXPECT_EQ(app->score, lastScore);
                EXPECT_TRUE(std::equal(lastCounts, lastCounts + 7, app->pieceCounts));
                ++(before == LevelComplete ? levelsWon : losses);
            }
            BrikLevel* level = play();
            if (level != nullptr && (before == StartGame || before == LevelComplete)) {
                ASSERT_EQ(app->levelNumber, before == StartGame ? 1 : levelBefore + 1);
                EXPECT_TRUE(before != StartGame || audio.log[logBefore] == "stopMusic");
                EXPECT_EQ(level->score, app->levelNumber >= 4 ? app->score : 0);
                if (app->levelNumber < loseAt[game % 14]) {
                    level->linesToGo = 1;
                    for (int c = 0; c < catalogue::kBoardColumns; ++c) {
                        level->board.setCell(c, 0, 1 + c % 7);
                    }
                }
            } else if (level != nullptr) {
                ASSERT_EQ(level, seen) << "a play level appeared without the flow";
                EXPECT_GE(level->score, lastScore);
                EXPECT_TRUE(std::equal(lastCounts, lastCounts + 7, level->pieceCounts,
                                       std::less_equal<>()));
            }
            if ((seen = level) != nullptr) {
                lastScore = level->score;
                std::copy(level->pieceCounts, level->pieceCounts + 7, lastCounts);
            }
            winScreens += current() == typeid(WinLevel) && before == LevelComplete ? 1 : 0;
            if (const int k = below(24); k < 14) {
                app->keyDown(kKeys[k]);
            } else if (k < 18) {
                app->keyUp(kKeys[k - 4]);
            }
        }
    }
    EXPECT_EQ(winScreens, 2 * 3);
    EXPECT_EQ(losses + winScreens, 14 * 3);
    EXPECT_GE(levelsWon, 2 * 24 * 3);
}

}  // namespace
