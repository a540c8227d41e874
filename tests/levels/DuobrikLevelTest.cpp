// What the game's play level adds to the rules: music and effects at start,
// the ring and voice bands from the clock and the music, the bar of rows
// still to clear, the score, the piece-count columns, the level-complete
// plate; and the preset boards of the nine special levels.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "BrikLevelRig.h"
#include "levels/DuobrikLevels.h"

namespace {

class DuobrikLevelTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
    DuobrikLevel level;

    std::string frame() {
        renderer.calls.clear();
        level.draw();
        return renderer.trace();
    }
};

TEST_F(DuobrikLevelTest, StartTurnsTheMusicUpLoadsEverythingAndPlaysTheSection) {
    for (const auto& [section, position] : {std::pair{1, 10}, {2, 20}, {7, 0}, {-1, 0}, {0, 0}}) {
        level.musicSection = section;
        level.start();
        EXPECT_EQ(audio.musicPosition, position) << "section " << section;
    }
    EXPECT_EQ(std::vector<std::string>(audio.log.end() - 9, audio.log.end()),
              (std::vector<std::string>{
                  "volume(127)", "loadMusic(three.mod)", "loadSample(rotate_mono.wav)",
                  "loadSample(1line_mono.wav)", "loadSample(2lines_mono.wav)",
                  "loadSample(3lines_mono.wav)", "loadSample(4lines_mono.wav)",
                  "loadSample(touched_mono.wav)", "playMusic(0)"}));
}

// The ring angle from the clock. Ring, bands, playfield, plate, the bar in its own transform, the
// score's last five digits units first, then eight count columns O Z S L | J T I O (pictures in the
// texture file's order O T S Z J I L), empty ones a cap and a label; a bar is 3 pixels plus the
// count and the cap rides on it.
TEST_F(DuobrikLevelTest, TheRingTurnsAndAFrameDrawsEveryLayerInItsPlace) {
    for (const auto& [now, angle] : {std::pair{0, 360}, {3, 359}, {1077, 1}, {1080, 360}}) {
        level.update(now, 1);  // one degree less every 3 ms
        EXPECT_EQ(level.ringAngle, angle) << "at " << now << " ms";
    }
    level.ringAngle = 270;
    level.score = 1234567;
    level.linesToGo = 18;
    level.state = WinWait;
    EXPECT_EQ(frame(),
              "Centered(160,54,0) Centered(238,89,127) Centered(265,171,62) Centered(222,245,0) "
              "Centered(137,263,83) Centered(68,212,84) Scaled(0,320,320,32,21) "
              "Scaled(0,352,320,32,21) Scaled(0,384,320,32,21) Scaled(0,416,320,32,21) "
              "Push Board Pop Centered(160,400,220) Push Scaled(262,466,4,-288,28) Pop "
              "Texture(162,7,195) Texture(134,7,194) Texture(106,7,193) Texture(78,7,192) "
              "Texture(50,7,191) Texture(2,462,213) Texture(2,463,199) Texture(14,462,216) "
              "Texture(14,463,202) Texture(26,462,215) Texture(26,463,201) Texture(38,462,219) "
              "Texture(38,463,205) Texture(270,462,217) Texture(270,463,203) "
              "Texture(282,462,214) Texture(282,463,200) Texture(294,462,218) "
              "Texture(294,463,204) Texture(306,462,213) Texture(306,463,199)");
    level.linesToGo = -3;
    EXPECT_NE(frame().find("Push Scaled(262,466,4,0,28) Pop"), std::string::npos);
    level.pieceCounts[6] = 40;  // I: column 7
    EXPECT_NE(frame().find("Scaled(294,466,12,-43,211) Texture(294,422,218)"), std::string::npos);
    for (uint8_t state : std::initializer_list<uint8_t>{WinFadeOut, Collapse, LoseWait, GameOver}) {
        level.state = state;
        EXPECT_EQ(frame().find("Centered(160,400,220)") != std::string::npos, state == WinFadeOut);
    }
}

// Every board after the level's own start (leftovers must not survive it): its
// number of blocks, no full row, nothing above row 7, each block a closed
// square of one colour's set. Unknown class ids give the plain level.
TEST_F(DuobrikLevelTest, EachPresetBoardHasItsBlocksAsClosedSquaresAndNoFullRow) {
    constexpr int kClosed[9] = {0, 2, 3, 5, 6, 7, 8, 10, 11};
    const int blocks[11] = {0, 0, 16, 16, 10, 27, 24, 21, 63, 64, 30};
    for (int id = 1; id <= 10; ++id) {
        std::unique_ptr<DuobrikLevel> board = makeDuobrikLevel(id);
        board->board.at(9, 19).empty = 0;
        board->start();
        int total = 0, misplaced = 0, unclosed = 0;
        for (int r = 0; r < catalogue::kBoardRows; ++r) {
            int n = 0;
            for (int c = 0; c < catalogue::kBoardColumns; ++c) {
                const Cell& cell = board->board.at(c, r);
                const uint8_t base = cell.tiles[0];
                n += cell.filled() ? 1 : 0;
                unclosed +=
                    cell.filled() && (std::count(kBase + 1, kBase + 8, base) != 1 ||
                                      !std::equal(kClosed, kClosed + 9, cell.tiles,
                                                  [&](int o, int t) { return t == base + o; }));
            }
            total += n;
            misplaced += n == catalogue::kBoardColumns || (n > 0 && r > 7) ? 1 : 0;
        }
        EXPECT_EQ(vals(total, misplaced, unclosed, board->state), vals(blocks[id], 0, 0, Spawn))
            << "class " << id;
    }
    for (int id : {0, 11, -7}) {
        const std::unique_ptr<DuobrikLevel> plain = makeDuobrikLevel(id);
        EXPECT_EQ(typeid(*plain), typeid(DuobrikLevel)) << id;
    }
}

}  // namespace
