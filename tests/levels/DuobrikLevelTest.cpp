// What the game's play level adds to the rules: music and effects at start,
// the ring and voice bands from the clock and the music, the bar of rows
// still to clear, the score, the piece-count columns, the level-complete
// plate; and the preset boards of the nine special levels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
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

TEST_F(DuobrikLevelTest, TheRingsSixPicturesStand48DegreesApart) {
    level.ringAngle = 270;
    const struct {
        int x, y;
        unsigned picture;
    } ring[] = {{160, 54, kRingA},  {238, 89, kRingE},  {265, 171, kRingB},
                {222, 245, kRingA}, {137, 263, kRingC}, {68, 212, kRingD}};
    const std::vector<DrawCall> drawn = frame(0, kRecordCount);
    for (size_t k = 0; k < std::size(ring); ++k) {
        SCOPED_TRACE("picture " + std::to_string(k));
        EXPECT_EQ(drawn[k].kind, DrawCall::Centered);
        EXPECT_EQ(drawn[k].x, ring[k].x);
        EXPECT_EQ(drawn[k].y, ring[k].y);
        EXPECT_EQ(drawn[k].texture, ring[k].picture);
    }
}

// Full width, 32 pixels high from y 320 down, each as bright as its voice is loud.
TEST_F(DuobrikLevelTest, FourBandsShineWithTheFirstFourVoices) {
    const uint32_t voices[4] = {65535, 0, 16384, 49151};
    std::copy_n(voices, 4, audio.voices);
    level.update(1, 1);
    const std::vector<DrawCall> bands = frame(kBand);
    ASSERT_EQ(bands.size(), 4u);
    for (int v = 0; v < 4; ++v) {
        SCOPED_TRACE("voice " + std::to_string(v));
        EXPECT_EQ(bands[v].y, 320 + 32 * v);
        EXPECT_EQ(bands[v].w, kScreenWidth);
        EXPECT_FLOAT_EQ(bands[v].brightness, static_cast<float>(voices[v]) / 65535.0f);
    }
}

// 16 pixels per row, rising from y 466 on the right of the frame.
TEST_F(DuobrikLevelTest, TheBarOfRowsToClearRisesSixteenPixelsPerRow) {
    for (const auto& [lines, height] : {std::pair{18, -288}, {1, -16}, {0, 0}, {-3, 0}}) {
        level.linesToGo = lines;
        const std::vector<DrawCall> bar = frame(kRowsBar);
        ASSERT_EQ(bar.size(), 1u);
        EXPECT_EQ(bar[0].y, 466);
        EXPECT_EQ(bar[0].h, height) << lines << " rows to go";
    }
}

// It swings at the pace of the tilt, not at the playfield's 1.5 times that.
TEST_F(DuobrikLevelTest, TheBarShakesWithTheFieldAtItsOwnSwing) {
    level.shakeAmplitude = 10.0f;
    level.shakePhase = 1.0f;
    frame();
    const std::vector<DrawCall> moves = renderer.callsOf(DrawCall::Translate);
    ASSERT_EQ(moves.size(), 6u) << "the playfield's three, then the bar's";
    EXPECT_FLOAT_EQ(moves[3].fy, static_cast<float>(std::sin(1.0) * 10.0));
}

TEST_F(DuobrikLevelTest, TheScoreShowsItsLastFiveDigitsAtTheTop) {
    level.score = 1234567;
    std::string shown;
    for (const DrawCall& digit : frame(kDigits, 10)) {
        EXPECT_EQ(digit.y, 7);
        EXPECT_EQ(digit.x, 162 - 28 * static_cast<int>(shown.size()));
        shown.insert(shown.begin(), static_cast<char>('0' + digit.texture - kDigits));
    }
    EXPECT_EQ(shown, "34567");
}

// A bar 3 pixels plus the count high rises from y 466, the cap riding on
// it; an empty column has its cap and label but no bar.
TEST_F(DuobrikLevelTest, ACountRaisesItsBarAndTheCapOnIt) {
    level.pieceCounts[6] = 40;  // the I's column, at x 294
    const std::vector<DrawCall> bars = frame(kCountBars, kPieceCount);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].x, 294);
    EXPECT_EQ(bars[0].y, 466);
    EXPECT_EQ(bars[0].h, -43);
    for (const DrawCall& cap : frame(kCountCaps, kPieceCount)) {
        EXPECT_EQ(cap.y, cap.x == 294 ? 422 : 462) << "at x " << cap.x;
    }
    for (const DrawCall& label : frame(kCountLabels, kPieceCount)) {
        EXPECT_EQ(label.y, 463) << "at x " << label.x;
    }
}

// The count pictures lie in the order of the tile sets; the eighth column
// repeats the O's, so four columns stand on each side of the frame.
TEST_F(DuobrikLevelTest, EachColumnShowsItsPiecesCountInItsPiecesPictures) {
    constexpr unsigned kSetOfType[kPieceCount] = {kTileSetO, kTileSetZ, kTileSetS, kTileSetL,
                                                  kTileSetJ, kTileSetT, kTileSetI};
    std::iota(level.pieceCounts, level.pieceCounts + kPieceCount, 10);
    const std::vector<DrawCall> bars = frame(kCountBars, kPieceCount);
    ASSERT_EQ(bars.size(), 8u);
    for (size_t k = 0; k < bars.size(); ++k) {
        const int type = -bars[k].h - 3 - 10;
        ASSERT_TRUE(type >= 0 && type < kPieceCount) << "column " << k;
        const unsigned file = std::ranges::find(kPieceTileSets, kSetOfType[type]) - kPieceTileSets;
        EXPECT_EQ(bars[k].texture - kCountBars, file) << "column " << k;
        EXPECT_EQ(bars[k].x < kBoardLeft, k < 4) << "column " << k;
    }
    EXPECT_EQ(bars.back().texture, bars.front().texture);
}

TEST_F(DuobrikLevelTest, TheLevelCompletePlateShowsOnlyAfterAWin) {
    for (uint8_t state : std::initializer_list<uint8_t>{WinWait, WinFadeOut, Falling, LoseWait}) {
        level.state = state;
        EXPECT_EQ(frame(kLevelComplete).size(), state == WinWait || state == WinFadeOut ? 1u : 0u)
            << "state " << int{state};
    }
}

// The ring and bands lie under the playfield; the plate, the bar, the score
// and the counts on top of it, in that order.
TEST_F(DuobrikLevelTest, LayersAreDrawnFromTheBackgroundUp) {
    level.state = WinWait;
    frame();
    auto first = [&](auto is) {
        return std::ranges::find_if(renderer.calls, is) - renderer.calls.begin();
    };
    auto picture = [](unsigned p) { return [p](const DrawCall& c) { return c.texture == p; }; };
    const std::vector<long> order = {
        first(picture(kRingE)),
        first(picture(kBand)),
        first([](const DrawCall& c) { return c.kind == DrawCall::Board; }),
        first(picture(kLevelComplete)),
        first(picture(kRowsBar)),
        first(picture(kDigits)),
        first(picture(kCountCaps))};
    EXPECT_TRUE(std::ranges::is_sorted(order));
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
