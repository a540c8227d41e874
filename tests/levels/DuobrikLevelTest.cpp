// What the game's play level adds to the rules: music and effects at start,
// the ring and voice bands from the clock and the music, the bar of rows
// still to clear, the score, the piece-count columns, the level-complete
// plate; and the preset boards of the nine special levels.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "BrikLevelRig.h"
#include "levels/DuobrikLevels.h"

namespace {

using namespace catalogue;

class DuobrikLevelTest : public ::testing::Test {
protected:
    // Draws a frame; returns its calls that draw pictures `first` to `first + count - 1`.
    std::vector<DrawCall> frame(unsigned first = 0, unsigned count = 1) {
        renderer.calls.clear();
        level.draw();
        std::vector<DrawCall> out;
        std::ranges::copy_if(renderer.calls, std::back_inserter(out), [&](const DrawCall& c) {
            return c.kind >= DrawCall::Scaled && c.kind <= DrawCall::Centered &&
                   c.texture - first < count;
        });
        return out;
    }
    FakeRenderer renderer;
    FakeAudio audio;
    DuobrikLevel level;
};

TEST_F(DuobrikLevelTest, StartTurnsTheMusicUpThenLoadsTheMusicAndTheSixSounds) {
    level.start();
    EXPECT_EQ(audio.log, (std::vector<std::string>{
                             "volume(127)", "loadMusic(three.mod)", "loadSample(rotate_mono.wav)",
                             "loadSample(1line_mono.wav)", "loadSample(2lines_mono.wav)",
                             "loadSample(3lines_mono.wav)", "loadSample(4lines_mono.wav)",
                             "loadSample(touched_mono.wav)", "playMusic(0)"}));
}

TEST_F(DuobrikLevelTest, TheMusicStartsWhereItsSectionBegins) {
    for (const auto& [section, position] : {std::pair{1, 10}, {2, 20}, {7, 0}, {-1, 0}, {0, 0}}) {
        level.musicSection = section;
        level.start();
        EXPECT_EQ(audio.musicPosition, position) << "section " << section;
    }
}

TEST_F(DuobrikLevelTest, TheRingTurnsOneDegreeBackEveryThreeMs) {
    for (const auto& [now, angle] : {std::pair{0, 360}, {3, 359}, {1077, 1}, {1080, 360}}) {
        level.update(now, 1);
        EXPECT_EQ(level.ringAngle, angle) << "at " << now << " ms";
    }
}

// The play screen's layout, held against a golden frame: every call of a
// frame with its arguments (the ring turned to 270 degrees, four voices at
// different levels, 18 rows to go, the field shaking, a seven-digit score,
// every count column, the level-complete plate). A change of layout shows
// as the first line that differs; DUOBRIK_UPDATE_GOLDEN=1 writes the new
// frame into the source tree once it is what was meant.
TEST_F(DuobrikLevelTest, ThePlayScreenIsLaidOutAsTheGoldenFrame) {
    level.ringAngle = 270;
    std::ranges::copy(std::array{1.0f, 0.0f, 0.25f, 0.75f}, level.voiceLevels);
    level.linesToGo = 18;
    level.shakeAmplitude = 10.0f;
    level.shakePhase = 1.0f;
    level.score = 1234567;
    std::iota(level.pieceCounts, level.pieceCounts + kPieceCount, 10);
    level.pieceCounts[6] = 40;
    level.state = WinWait;
    renderer.fade = 0.25f;
    level.draw();
    const std::string drawn = renderer.listing();

    const std::string path = std::string(DUOBRIK_SOURCE_DIR) + "/tests/levels/play-frame.golden";
    if (std::getenv("DUOBRIK_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path) << drawn;
    }
    std::ifstream in(path);
    const std::string golden{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(golden.empty()) << "no golden frame at " << path;
    std::istringstream want(golden), seen(drawn);
    std::string a, b;
    for (int line = 1; want || seen; ++line) {
        a.clear();
        b.clear();
        std::getline(want, a);
        std::getline(seen, b);
        ASSERT_EQ(b, a) << "line " << line << " of " << path;
    }
}

TEST_F(DuobrikLevelTest, TheLevelCompletePlateShowsOnlyAfterAWin) {
    for (uint8_t state : std::initializer_list<uint8_t>{WinWait, WinFadeOut, Falling, LoseWait}) {
        level.state = state;
        EXPECT_EQ(frame(kLevelComplete).size(), state == WinWait || state == WinFadeOut ? 1u : 0u)
            << "state " << int{state};
    }
}

// ---- The preset boards, laid after the level's own start empties the board

class DuobrikLevelBoards : public ::testing::Test {
protected:
    std::unique_ptr<DuobrikLevel> started(int classId) {
        std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(classId);
        level->board.at(9, 19).empty = 0;  // a leftover the start must clear
        level->start();
        return level;
    }
    FakeRenderer renderer;
    FakeAudio audio;
};

TEST_F(DuobrikLevelBoards, EachPresetBoardHasItsNumberOfBlocks) {
    const int blocks[11] = {0, 0, 16, 16, 10, 27, 24, 21, 63, 64, 30};
    for (int id = 1; id <= 10; ++id) {
        const std::unique_ptr<DuobrikLevel> level = started(id);
        EXPECT_EQ(std::ranges::count_if(level->board.cells, &Cell::filled), blocks[id])
            << "class " << id;
    }
}

// No full row, nothing above row 7 where it could meet a new piece, and
// every block a lone square of one colour's set.
TEST_F(DuobrikLevelBoards, PresetBlocksAreLoneSquaresLowOnTheBoardInNoFullRow) {
    for (int id = 2; id <= 10; ++id) {
        const std::unique_ptr<DuobrikLevel> level = started(id);
        for (int r = 0; r < kBoardRows; ++r) {
            int inRow = 0;
            for (int c = 0; c < kBoardColumns; ++c) {
                const Cell& cell = level->board.at(c, r);
                if (!cell.filled()) {
                    continue;
                }
                ++inRow;
                EXPECT_TRUE(std::count(kSetOfColour + 1, std::end(kSetOfColour), cell.tiles[0]) &&
                            tilesOf(cell) == joinedTiles(cell.tiles[0], {}))
                    << "class " << id << " at " << c << "," << r;
            }
            EXPECT_TRUE(inRow < kBoardColumns && (inRow == 0 || r <= 7))
                << "class " << id << " row " << r;
        }
    }
}

// The staircase's third step on the floor is colour 3, the O's.
TEST_F(DuobrikLevelBoards, PatternsAreLaidWithRowZeroAtTheBottom) {
    const std::unique_ptr<DuobrikLevel> staircase = started(7);
    EXPECT_EQ(tilesOf(staircase->board.at(2, 0)), joinedTiles(kTileSetO, {}));
    EXPECT_FALSE(staircase->board.at(2, 5).filled());
}

TEST_F(DuobrikLevelBoards, AnUnknownClassIdGivesThePlainLevel) {
    for (int id : {0, 11, -7}) {
        const std::unique_ptr<DuobrikLevel> plain = makeDuobrikLevel(id);
        EXPECT_EQ(typeid(*plain), typeid(DuobrikLevel)) << "class " << id;
    }
}

}  // namespace
