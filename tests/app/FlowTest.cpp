// The game flow: which level runs after the intro, after each won level,
// after a lost one and after the last one, with what parameters and counters;
// and the intro and win screens on their own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <numeric>
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
int64_t readNow() {
    return gNowMs;
}
int64_t ticksPerSecond() {
    return 1000;  // one tick per millisecond
}

class FlowTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
    Counter savedCounter = gCounter;
    std::unique_ptr<DuobrikApplication> app;

    void SetUp() override {
        gCounter = {readNow, ticksPerSecond};
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
        ASSERT_EQ(current(), typeid(IntroLevel));
        app->keyDown(40);
        frame();
        for (int i = 2; i <= n; ++i) {
            app->level->state = LevelComplete;
            frame();
        }
        ASSERT_EQ(app->levelNumber, n);
    }
};

TEST_F(FlowTest, AKeyOnTheIntroStartsLevelOneAtTheNextFrame) {
    EXPECT_EQ(audio.log, (std::vector<std::string>{"loadMusic(devils.mod)", "playMusic(0)"}));
    frame(16);
    app->keyDown(13);
    EXPECT_EQ(current(), typeid(IntroLevel)) << "levels change only at the start of a frame";
    audio.log.clear();
    frame(16);
    ASSERT_EQ(current(), typeid(DuobrikLevel));
    const BrikLevel& l = *play();
    EXPECT_EQ(app->levelNumber, 1);
    EXPECT_EQ((std::vector<int>{l.interval, l.linesToGo, l.blockDropPeriod, l.garbageRowPeriod,
                                l.musicSection, l.score}),
              (std::vector<int>{800, 8, 0, 0, 0, 0}));
    EXPECT_EQ(l.state, Falling) << "the new level gets this frame's update";
    // Leaving the intro stops its music before the level plays its own.
    EXPECT_EQ(audio.log.front(), "stopMusic");
    EXPECT_EQ(audio.log.back(), "playMusic(0)");
    EXPECT_EQ(audio.music, "three.mod");
}

TEST_F(FlowTest, TheTwentyFourLevelsAndTheirCounters) {
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
    app->keyDown(32);
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
        // Levels 1 to 3 start from zero; from 4 on each starts with what the
        // level before it ended with.
        const bool carried = n >= 4;
        EXPECT_EQ(level.score, carried ? 1000 * (n - 1) : 0) << "level " << n;
        for (int t = 0; t < 7; ++t) {
            EXPECT_EQ(level.pieceCounts[t], carried ? n - 1 + t : 0) << "level " << n;
        }
        play()->score = 1000 * n;
        std::iota(play()->pieceCounts, play()->pieceCounts + 7, n);
        app->level->state = LevelComplete;
    }
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
        // Back to an intro for the next round.
        play()->state = GameOver;
        frame();
    }
}

TEST_F(FlowTest, AfterTheLastLevelTheWinScreenThenTheIntro) {
    reach(24);
    play()->score = 54321;
    play()->state = LevelComplete;
    audio.log.clear();
    frame(16);
    ASSERT_EQ(current(), typeid(WinLevel));
    EXPECT_EQ(app->levelNumber, 25);
    EXPECT_EQ(audio.log,
              (std::vector<std::string>{"volume(127)", "loadMusic(devils.mod)", "playMusic(0)"}));
    EXPECT_NE(renderer.trace().find("Centered(160,400,221)"), std::string::npos);
    EXPECT_NE(renderer.trace().find("Texture(50,7,193)"), std::string::npos) << "final score shown";

    // A key still held from the last level does not skip the screen.
    app->keyDown(32);
    frame(16);
    EXPECT_EQ(current(), typeid(WinLevel));

    frame(WinLevel::kKeyGuardMs);
    app->keyDown(32);
    audio.log.clear();
    frame(16);
    ASSERT_EQ(current(), typeid(IntroLevel));
    EXPECT_TRUE(audio.log.empty()) << "the intro music plays on";
    EXPECT_TRUE(audio.playing);
    EXPECT_EQ(audio.music, "devils.mod");

    app->keyDown(32);
    frame(16);
    ASSERT_EQ(current(), typeid(DuobrikLevel));
    EXPECT_EQ(app->levelNumber, 1);
    EXPECT_EQ(play()->score, 0);
    EXPECT_EQ(audio.music, "three.mod");
}

TEST_F(FlowTest, OtherStateCodesKeepTheLevel) {
    const uint8_t codes[] = {Running, 5, 9, Spawn, WinWait, LoseFadeOut, 200, 255};
    reach(1);
    for (uint8_t code : codes) {
        Level* before = app->level.get();
        app->level->state = code;
        frame();
        EXPECT_EQ(app->level.get(), before) << "state " << int(code);
        EXPECT_EQ(app->levelNumber, 1);
    }
}

TEST_F(FlowTest, TheIntroPromptBlinksWithTheClockSecondAndAnyPressLeaves) {
    IntroLevel intro;
    EXPECT_FALSE(intro.blink) << "hidden before the first update";
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
    for (int32_t key : {0, 27, 32, 37, 65, 255, -1, 1000}) {
        IntroLevel fresh;
        fresh.keyUp(key);
        EXPECT_EQ(fresh.state, Running) << "released " << key;
        fresh.keyDown(key);
        EXPECT_EQ(fresh.state, StartGame) << "pressed " << key;
    }
}

TEST_F(FlowTest, TheWinScreenShowsTheScoreAndTakesKeysOnlyAfterTheGuardTime) {
    WinLevel win;
    win.score = 123456;
    win.draw();
    EXPECT_EQ(renderer.trace(),
              "Texture(0,0,85) Centered(160,400,221) Texture(162,7,194) Texture(134,7,193) "
              "Texture(106,7,192) Texture(78,7,191) Texture(50,7,190)");
    win.start();
    win.update(100, WinLevel::kKeyGuardMs - 1);
    win.keyDown(32);
    EXPECT_EQ(win.state, Running);
    win.update(101, 1);
    win.keyDown(27);
    EXPECT_EQ(win.state, WinLevel::kBackToIntro);
    WinLevel paused;  // a long pause must not overflow the guard
    paused.update(0, 1);
    paused.update(1, INT64_MAX);
    paused.keyDown(0);
    EXPECT_EQ(paused.state, WinLevel::kBackToIntro);
}

}  // namespace
