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
    // From an intro screen to play level n, each level reported won at once.
    void reach(int n) {
        app->keyDown(40);
        frame();
        for (int i = 2; i <= n; ++i) {
            app->level->state = LevelComplete;
            frame();
        }
        ASSERT_EQ(app->levelNumber, n);
    }
};

// A key on the intro starts level 1 at the next frame, then every won level
// the next one in the list. Levels 1 to 3 start from zero; from 4 on each
// starts with the counters the level before it ended with.
TEST_F(FlowTest, FromTheIntroThroughTheTwentyFourLevels) {
    struct Entry {
        const std::type_info& type;
        int32_t interval, lines, drop, garbage, section;
    };
    const Entry list[24] = {
        {typeid(DuobrikLevel), 800, 8, 0, 0, 0},    {typeid(DuobrikLevel), 700, 10, 0, 0, 0},
        {typeid(DuobrikLevel), 600, 12, 0, 0, 0},   {typeid(DuobrikLevel2), 600, 10, 0, 0, 0},
        {typeid(DuobrikLevel3), 500, 12, 0, 0, 1},  {typeid(DuobrikLevel4), 400, 14, 0, 0, 2},
        {typeid(DuobrikLevel5), 350, 14, 0, 0, 0},  {typeid(DuobrikLevel6), 300, 14, 0, 0, 1},
        {typeid(DuobrikLevel), 280, 10, 6, 0, 2},   {typeid(DuobrikLevel), 260, 8, 0, 10, 0},
        {typeid(DuobrikLevel), 240, 8, 4, 7, 1},    {typeid(DuobrikLevel7), 240, 10, 8, 0, 2},
        {typeid(DuobrikLevel8), 220, 12, 6, 0, 1},  {typeid(DuobrikLevel9), 200, 15, 4, 0, 2},
        {typeid(DuobrikLevel10), 180, 18, 0, 0, 0}, {typeid(DuobrikLevel2), 160, 18, 2, 0, 1},
        {typeid(DuobrikLevel3), 140, 18, 2, 12, 2}, {typeid(DuobrikLevel4), 120, 18, 0, 0, 0},
        {typeid(DuobrikLevel5), 100, 18, 0, 0, 1},  {typeid(DuobrikLevel6), 80, 18, 0, 0, 2},
        {typeid(DuobrikLevel7), 60, 18, 0, 0, 0},   {typeid(DuobrikLevel8), 40, 18, 0, 0, 1},
        {typeid(DuobrikLevel9), 30, 18, 0, 0, 1},   {typeid(DuobrikLevel10), 20, 18, 0, 0, 1},
    };
    const int sections[3] = {0, 10, 20};
    EXPECT_EQ(audio.log, (Log{"loadMusic(devils.mod)", "playMusic(0)"}));
    frame(16);
    app->keyDown(13);
    EXPECT_EQ(current(), typeid(IntroLevel)) << "levels change only at the start of a frame";
    audio.log.clear();
    for (int n = 1; n <= 24; ++n) {
        audio.musicPosition = -1;
        frame();  // no clock step: the level stands as the flow built it
        const Entry& e = list[n - 1];
        ASSERT_EQ(app->levelNumber, n);
        ASSERT_EQ(current(), e.type) << "level " << n;
        const BrikLevel& level = *play();
        EXPECT_EQ((std::vector<int>{level.interval, level.linesToGo, level.blockDropPeriod,
                                    level.garbageRowPeriod, level.musicSection}),
                  (std::vector<int>{e.interval, e.lines, e.drop, e.garbage, e.section}))
            << "level " << n;
        EXPECT_EQ(audio.musicPosition, sections[e.section]) << "level " << n;
        EXPECT_EQ(audio.music, "three.mod");
        const bool carried = n >= 4;
        EXPECT_EQ(level.score, carried ? 1000 * (n - 1) : 0) << "level " << n;
        for (int t = 0; t < 7; ++t) {
            EXPECT_EQ(level.pieceCounts[t], carried ? n - 1 + t : 0) << "level " << n;
        }
        play()->score = 1000 * n;
        std::iota(play()->pieceCounts, play()->pieceCounts + 7, n);
        app->level->state = LevelComplete;
    }
    // Leaving the intro stopped its music before level 1 played its own.
    EXPECT_EQ(audio.log.front(), "stopMusic");
    frame();
    EXPECT_EQ(current(), typeid(WinLevel));
    EXPECT_EQ(app->score, 24000);
}

TEST_F(FlowTest, LosingAnyLevelGoesToASilentIntroThenAFreshGame) {
    for (int n = 1; n <= 24; ++n) {
        reach(n);
        play()->score = 300 + n;
        play()->pieceCounts[3] = n;
        play()->state = GameOver;
        audio.log.clear();
        frame(16);
        ASSERT_EQ(current(), typeid(IntroLevel)) << "after losing level " << n;
        EXPECT_TRUE(audio.log.empty()) << "the intro after a loss plays nothing";
        EXPECT_EQ(app->score, 300 + n);
        EXPECT_EQ(app->pieceCounts[3], n);

        app->keyDown(65);
        frame();
        ASSERT_EQ(current(), typeid(DuobrikLevel));
        EXPECT_EQ(app->levelNumber, 1);
        EXPECT_EQ(play()->score, 0) << "a lost game's score does not reach the next game";
        EXPECT_EQ(play()->pieceCounts[3], 0);
        EXPECT_EQ(audio.log.front(), "stopMusic") << "the lost level's music is stopped";
        play()->state = GameOver;  // back to an intro for the next round
        frame();
    }
}

// The win screen takes keys only after its guard time, so a key still held
// from the last level does not skip it; its intro then keeps the music.
TEST_F(FlowTest, AfterTheLastLevelTheWinScreenThenTheIntro) {
    reach(24);
    play()->score = 54321;
    play()->state = LevelComplete;
    audio.log.clear();
    frame(16);
    ASSERT_EQ(current(), typeid(WinLevel));
    EXPECT_EQ(app->levelNumber, 25);
    EXPECT_EQ(audio.log, (Log{"volume(127)", "loadMusic(devils.mod)", "playMusic(0)"}));
    EXPECT_NE(renderer.trace().find("Centered(160,400,221)"), std::string::npos);
    EXPECT_NE(renderer.trace().find("Texture(50,7,193)"), std::string::npos) << "final score shown";
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
    EXPECT_EQ(app->levelNumber, 1);
    EXPECT_EQ(play()->score, 0);
    EXPECT_EQ(play()->state, Falling) << "the new level gets this frame's update";

    WinLevel paused;  // a long pause must not overflow the guard
    paused.update(0, 1);
    paused.update(1, INT64_MAX);
    paused.keyDown(0);
    EXPECT_EQ(paused.state, WinLevel::kBackToIntro);
}

TEST_F(FlowTest, TheIntroPromptBlinksWithTheClockSecondAndAnyPressLeaves) {
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
    for (int32_t key : {0, 27, 255, -1, 1000}) {
        IntroLevel fresh;
        fresh.keyUp(key);
        EXPECT_EQ(fresh.state, Running) << "released " << key;
        fresh.keyDown(key);
        EXPECT_EQ(fresh.state, StartGame) << "pressed " << key;
    }
}

// Whole games with random keys and a clock that jumps by random steps. Levels
// before `loseAt` are made winnable (a full bottom row, one row to go); that
// one is played at random until lost (or won by chance); 25 reaches the win
// screen. There is always a level, the counters travel as the flow promises
// and never run backwards within a level, and music starts at most once a frame.
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
            const bool wasPlay = play() != nullptr;
            const size_t logBefore = audio.log.size();
            const int roll = below(100);  // mostly a frame or two, sometimes a long pause
            frame(roll < 10 ? 0 : roll < 98 ? 1 + below(40) : 500 + below(3000));
            ASSERT_LE(
                std::count_if(audio.log.begin() + logBefore, audio.log.end(),
                              [](const std::string& s) { return s.rfind("playMusic", 0) == 0; }),
                1);
            if (wasPlay && (before == LevelComplete || before == GameOver)) {
                EXPECT_EQ(app->score, lastScore);
                EXPECT_TRUE(std::equal(lastCounts, lastCounts + 7, app->pieceCounts));
                ++(before == LevelComplete ? levelsWon : losses);
            }
            BrikLevel* level = play();
            if (level != nullptr && (before == StartGame || before == LevelComplete)) {
                ASSERT_EQ(app->levelNumber, before == StartGame ? 1 : levelBefore + 1);
                // The first update may already have counted the first piece.
                const bool carries = app->levelNumber >= 4;
                const int32_t added =
                    std::accumulate(level->pieceCounts, level->pieceCounts + 7, 0) -
                    (carries ? std::accumulate(app->pieceCounts, app->pieceCounts + 7, 0) : 0);
                EXPECT_EQ(level->score, carries ? app->score : 0) << "level " << app->levelNumber;
                EXPECT_TRUE(added == 0 || added == 1) << "level " << app->levelNumber;
                if (app->levelNumber < loseAt[game % 14]) {
                    level->linesToGo = 1;
                    for (int c = 0; c < BrikLevel::kColumns; ++c) {
                        level->setCell(c, 0, 1 + c % 7);
                    }
                }
            } else if (level != nullptr) {
                ASSERT_EQ(level, seen) << "a play level appeared without the flow";
                EXPECT_GE(level->score, lastScore);
                for (int t = 0; t < 7; ++t) {
                    EXPECT_GE(level->pieceCounts[t], lastCounts[t]);
                }
            }
            if ((seen = level) != nullptr) {
                lastScore = level->score;
                std::copy(level->pieceCounts, level->pieceCounts + 7, lastCounts);
            }
            if (current() == typeid(WinLevel) && before == LevelComplete) {
                EXPECT_EQ(app->levelNumber, 25);
                EXPECT_TRUE(audio.playing && audio.music == "devils.mod");
                ++winScreens;
            }
            if (below(4) == 0) {
                app->keyDown(kKeys[below(14)]);
            }
            if (below(6) == 0) {
                app->keyUp(kKeys[below(14)]);
            }
        }
    }
    EXPECT_EQ(winScreens, 2 * 3);
    EXPECT_EQ(losses + winScreens, 14 * 3);
    EXPECT_GE(levelsWon, 2 * 24 * 3);
}

}  // namespace
