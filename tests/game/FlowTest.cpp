// The game flow: which level runs after the intro, after each won level,
// after a lost one and after the last one, with what parameters, counters and
// music; and the intro's blinking prompt.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "catalogue/Catalogue.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "game/Clock.h"
#include "game/DuobrikApplication.h"
#include "levels/DuobrikLevels.h"
#include "levels/IntroLevel.h"
#include "levels/WinLevel.h"

namespace {

using namespace catalogue;

int64_t gNowMs = 0;
using Log = std::vector<std::string>;

// What the flow built for one play level, and what it passed on.
struct Built {
    std::type_index type = typeid(void);
    int number, interval, linesToGo, blockDropPeriod, garbageRowPeriod, musicSection, score;
    int pieceCounts[kPieceCount] = {};
};

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

    // Starts a game and wins every level, level n ending with score 1000 n
    // and piece counts n, n + 1, ... n + 6, up to the frame that shows the win
    // screen (its audio log and drawing left in place); returns each level
    // as it was built.
    std::vector<Built> playThrough() {
        std::vector<Built> built;
        app->keyDown(32);
        for (int n = 1; n <= 24; ++n) {
            frame();  // no clock step: the level stands as the flow built it
            if (play() == nullptr) {
                ADD_FAILURE() << "level " << n << " is no play level";
                break;
            }
            const BrikLevel& l = *play();
            Built b{typeid(l),         app->levelNumber,   l.interval,     l.linesToGo,
                    l.blockDropPeriod, l.garbageRowPeriod, l.musicSection, l.score};
            std::copy_n(l.pieceCounts, kPieceCount, b.pieceCounts);
            built.push_back(b);
            play()->score = 1000 * n;
            std::iota(play()->pieceCounts, play()->pieceCounts + kPieceCount, n);
            app->level->state = LevelComplete;
        }
        audio.log.clear();
        frame(16);
        return built;
    }
};

// ---- Starting a game

// Its music replacing the intro's.
TEST_F(FlowTest, AKeyOnTheIntroStartsLevelOneAtTheNextFrame) {
    EXPECT_EQ(audio.log, (Log{"loadMusic(devils.mod)", "playMusic(0)"}));
    app->keyDown(13);
    EXPECT_EQ(current(), typeid(IntroLevel)) << "levels change only at the start of a frame";
    audio.log.clear();
    frame();
    ASSERT_EQ(current(), typeid(DuobrikLevel));
    EXPECT_EQ(app->levelNumber, 1);
    EXPECT_EQ(audio.log.front(), "stopMusic");
    EXPECT_EQ(audio.music, "three.mod");
}

// ---- The level list, through all 24 levels

// Levels 1 to 3 start from zero; from 4 on each starts with the counters the
// level before it ended with.
TEST_F(FlowTest, CountersCarryFromLevelFourOn) {
    const std::vector<Built> built = playThrough();
    for (const Built& b : built) {
        const int n = b.number;
        EXPECT_EQ(b.score, n >= 4 ? 1000 * (n - 1) : 0) << "level " << n;
        for (int t = 0; t < kPieceCount; ++t) {
            EXPECT_EQ(b.pieceCounts[t], n >= 4 ? n - 1 + t : 0) << "level " << n << " type " << t;
        }
    }
}

// The README tells players every level's board, speed, goal, hazards and
// music: it must be the list the game plays.
TEST_F(FlowTest, TheReadmesLevelTableIsTheListTheGamePlays) {
    std::ifstream readme(std::string(DUOBRIK_SOURCE_DIR) + "/README.md");
    const std::map<std::string, int> music = {{"calm", 0}, {"bright", 1}, {"driving", 2}};
    const std::map<std::string, std::type_index> boards = {
        {"empty", typeid(DuobrikLevel)},
        {"two pillars", typeid(DuobrikLevel2)},
        {"centre tower", typeid(DuobrikLevel3)},
        {"scattered blocks", typeid(DuobrikLevel4)},
        {"three holed rows", typeid(DuobrikLevel5)},
        {"uneven heap", typeid(DuobrikLevel6)},
        {"staircase", typeid(DuobrikLevel7)},
        {"seven holed rows", typeid(DuobrikLevel8)},
        {"solid block", typeid(DuobrikLevel9)},
        {"bowl", typeid(DuobrikLevel10)}};
    const std::vector<Built> built = playThrough();
    int rows = 0;
    for (std::string line; std::getline(readme, line);) {
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, '|');) {
            cell.erase(0, cell.find_first_not_of(' '));
            cell.erase(cell.find_last_not_of(' ') + 1);
            cells.push_back(cell == "–" ? "0" : cell);
        }
        if (cells.size() != 8 || cells[1].empty() || cells[1][0] < '1' || cells[1][0] > '9') {
            continue;
        }
        const Built& b = built.at(static_cast<size_t>(std::stoi(cells[1]) - 1));
        EXPECT_EQ(boards.at(cells[2]), b.type) << line;
        EXPECT_EQ(std::stoi(cells[3]), b.interval) << line;
        EXPECT_EQ(std::stoi(cells[4]), b.linesToGo) << line;
        EXPECT_EQ(std::stoi(cells[5]), b.blockDropPeriod) << line;
        EXPECT_EQ(std::stoi(cells[6]), b.garbageRowPeriod) << line;
        EXPECT_EQ(music.at(cells[7]), b.musicSection) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 24);
}

// ---- After the last level

TEST_F(FlowTest, TheWinScreenPlaysTheIntroMusicAndShowsTheFinalScore) {
    playThrough();
    EXPECT_EQ(audio.log, (Log{"volume(127)", "loadMusic(devils.mod)", "playMusic(0)"}));
    EXPECT_TRUE(std::ranges::any_of(renderer.callsOf(DrawCall::Centered), [](const DrawCall& c) {
        return c.texture == kYouWin && c.x == kPlateCentreX && c.y == kPlateCentreY;
    }));
    std::string digits;
    for (const DrawCall& c : renderer.callsOf(DrawCall::Texture)) {
        if (c.texture - kDigits < 10) {
            digits.insert(digits.begin(), static_cast<char>('0' + c.texture - kDigits));
        }
    }
    EXPECT_EQ(digits, "24000");
}

// A key still held from the last level, or pressed a millisecond too early,
// does not skip the screen unseen; the intro after it keeps the music
// playing, and a key there starts a new game at level one.
TEST_F(FlowTest, TheWinScreenTakesKeysAfterOneSecondAndLeadsToANewGame) {
    playThrough();
    for (int64_t step : {WinLevel::kKeyGuardMs - 17, int64_t{1}}) {
        app->keyDown(32);
        frame(step);
        EXPECT_EQ(current(), typeid(WinLevel)) << "pressed before a step of " << step;
    }
    app->keyDown(32);
    audio.log.clear();
    frame(16);
    EXPECT_EQ(current(), typeid(IntroLevel));
    EXPECT_TRUE(audio.log.empty() && audio.playing && audio.music == "devils.mod")
        << "the win screen's intro music plays on";
    app->keyDown(32);
    frame(16);
    ASSERT_EQ(current(), typeid(DuobrikLevel));
    EXPECT_EQ(app->levelNumber, 1);
    EXPECT_EQ(play()->state, Falling) << "the new level gets this frame's update";
}

TEST(WinLevel, ALongPauseDoesNotOverflowTheKeyGuard) {
    WinLevel paused;
    paused.update(0, 1);
    paused.update(1, INT64_MAX);
    paused.keyDown(0);
    EXPECT_EQ(paused.state, BackToIntro);
}

// ---- Losing

TEST_F(FlowTest, LosingAnyLevelGoesToASilentIntroKeepingTheCounters) {
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

// Shown in the second half of every clock second, at (16, 50).
TEST_F(FlowTest, TheIntroPromptBlinksWithTheClockSecond) {
    IntroLevel intro;
    for (const auto& [now, shown] : {std::pair<int64_t, bool>{0, false},
                                     {500, false},
                                     {501, true},
                                     {999, true},
                                     {1000, false},
                                     {1501, true},
                                     {7'000'000'999, true},
                                     {7'000'001'000, false}}) {
        intro.update(now, 1);
        renderer.calls.clear();
        intro.draw();
        const std::vector<DrawCall> drawn = renderer.callsOf(DrawCall::Texture);
        ASSERT_EQ(drawn.size(), shown ? 2u : 1u) << "at " << now << " ms";
        EXPECT_EQ(drawn[0].texture, kIntro) << "under the prompt";
        EXPECT_TRUE(!shown ||
                    (drawn[1].texture == kPrompt && drawn[1].x == 16 && drawn[1].y == 50));
    }
}

}  // namespace
