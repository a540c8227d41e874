// What the game's play level adds to the rules: music and effects at start,
// the ring and voice bands from the clock and the music, the bar of rows
// still to clear, the score display and the piece-count columns.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/DuobrikLevel.h"

namespace {

class DuobrikLevelTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
    DuobrikLevel level;

    void drawFrame() {
        renderer.calls.clear();
        level.draw();
    }
    // Index of the first call of `kind` with a texture in first..last; -1 if none.
    int find(DrawCall::Kind kind, unsigned first, unsigned last = 0) const {
        for (size_t i = 0; i < renderer.calls.size(); ++i) {
            const DrawCall& c = renderer.calls[i];
            if (c.kind == kind && c.texture >= first && c.texture <= std::max(first, last)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    // All calls of `kind` with a texture in first..last, in order.
    std::vector<DrawCall> drawn(DrawCall::Kind kind, unsigned first, unsigned last) const {
        std::vector<DrawCall> found;
        for (const DrawCall& c : renderer.callsOf(kind)) {
            if (c.texture >= first && c.texture <= last) {
                found.push_back(c);
            }
        }
        return found;
    }
};

TEST_F(DuobrikLevelTest, StartTurnsTheMusicUpLoadsEverythingAndPlaysTheSection) {
    for (const auto& [section, position] : {std::pair{0, 0}, {1, 10}, {2, 20}, {7, 0}, {-1, 0}}) {
        audio.log.clear();
        level.musicSection = section;
        level.start();
        const std::vector<std::string> expected = {
            "volume(127)",
            "loadMusic(three.mod)",
            "loadSample(rotate_mono.wav)",
            "loadSample(1line_mono.wav)",
            "loadSample(2lines_mono.wav)",
            "loadSample(3lines_mono.wav)",
            "loadSample(4lines_mono.wav)",
            "loadSample(touched_mono.wav)",
            "playMusic(" + std::to_string(position) + ")",
        };
        EXPECT_EQ(audio.log, expected) << "section " << section;
    }
}

// The ring angle falls one degree every 3 ms; the bands follow the voice volumes
// (a library answer above the scale must not crash anything).
TEST_F(DuobrikLevelTest, RingAngleAndVoiceBandsFollowTheClockAndTheMusic) {
    const std::pair<int64_t, int32_t> angles[] = {{0, 360},    {3, 359},  {1077, 1},
                                                  {1080, 360}, {1079, 1}, {1083, 359}};
    for (const auto& [now, angle] : angles) {
        level.update(now, 1);
        EXPECT_EQ(level.ringAngle, angle) << "at " << now << " ms";
    }
    const uint32_t volumes[4] = {65535, 0, 32768, 70000};
    std::copy(std::begin(volumes), std::end(volumes), audio.voices);
    level.update(5, 1);
    drawFrame();
    const std::vector<DrawCall> bands = drawn(DrawCall::Scaled, 21, 21);
    ASSERT_EQ(bands.size(), 4u);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ((std::vector<int>{bands[v].x, bands[v].y, bands[v].w, bands[v].h}),
                  (std::vector<int>{0, 320 + 32 * v, 320, 32}));
        EXPECT_FLOAT_EQ(bands[v].brightness, static_cast<float>(volumes[v]) / 65535.0f);
    }
}

TEST_F(DuobrikLevelTest, RingPicturesAt270Degrees) {
    level.ringAngle = 270;
    drawFrame();
    const std::vector<DrawCall> ring = renderer.callsOf(DrawCall::Centered);
    ASSERT_GE(ring.size(), 6u);
    const int expected[6][3] = {{160, 54, 0},  {238, 89, 127}, {265, 171, 62},
                                {222, 245, 0}, {137, 263, 83}, {68, 212, 84}};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ((std::vector<int>{ring[k].x, ring[k].y, static_cast<int>(ring[k].texture)}),
                  (std::vector<int>(expected[k], expected[k] + 3)))
            << "picture " << k;
    }
}

// 16 pixels per row up from (262, 466), never negative, inside its own
// transform that shakes with the field.
TEST_F(DuobrikLevelTest, RowsToClearBarAndItsShake) {
    for (const auto& [lines, height] : {std::pair{0, 0}, {-3, 0}, {1, -16}, {18, -288}}) {
        level.linesToGo = lines;
        drawFrame();
        const int i = find(DrawCall::Scaled, 28);
        ASSERT_GE(i, 1);
        const DrawCall& bar = renderer.calls[i];
        EXPECT_EQ((std::vector<int>{bar.x, bar.y, bar.w, bar.h}),
                  (std::vector<int>{262, 466, 4, height}))
            << "linesToGo " << lines;
        EXPECT_EQ(renderer.calls[i - 1].kind, DrawCall::Push) << renderer.trace();
        EXPECT_EQ(renderer.calls[i + 1].kind, DrawCall::Pop) << renderer.trace();
    }
    level.shakeAmplitude = 40.0f;
    level.shakePhase = 1.0f;
    drawFrame();
    const int bar = find(DrawCall::Scaled, 28);
    ASSERT_GE(bar, 5);
    const float swing = static_cast<float>(std::sin(1.0));
    const struct {
        DrawCall::Kind kind;
        float fx, fy;
    } expected[5] = {{DrawCall::Push, 0, 0},
                     {DrawCall::Translate, 0, swing * 40.0f},
                     {DrawCall::Translate, 160, 240},
                     {DrawCall::Rotate, swing, 0},
                     {DrawCall::Translate, -160, -240}};
    for (int k = 0; k < 5; ++k) {
        const DrawCall& t = renderer.calls[bar - 5 + k];
        ASSERT_EQ(t.kind, expected[k].kind) << renderer.trace();
        EXPECT_FLOAT_EQ(t.fx, expected[k].fx) << "call " << k;
        EXPECT_NEAR(t.fy, expected[k].fy, 1e-4) << "call " << k;
    }
    EXPECT_EQ(renderer.calls[bar + 1].kind, DrawCall::Pop);
}

// Units first, right to left: 1,234,567 shows 34567.
TEST_F(DuobrikLevelTest, ScoreShowsItsLastFiveDigits) {
    level.score = 1234567;
    drawFrame();
    const std::vector<DrawCall> digits = drawn(DrawCall::Texture, 188, 197);
    ASSERT_EQ(digits.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(digits[i].x, 162 - 28 * i);
        EXPECT_EQ(digits[i].y, 7);
        EXPECT_EQ(digits[i].texture, 188u + 7 - i) << "digit at x " << digits[i].x;
    }
}

// Eight columns, O Z S L | J T I O, pictures in the texture file's order
// O T S Z J I L. Empty ones show their cap and label only; a bar is 3 pixels
// plus the count, and the cap rides on it.
TEST_F(DuobrikLevelTest, CountColumnsShowCapsAndLabelsAndGrowWithTheirCounter) {
    drawFrame();
    EXPECT_TRUE(drawn(DrawCall::Scaled, 206, 212).empty());
    const int xs[8] = {2, 14, 26, 38, 270, 282, 294, 306};
    const unsigned offsets[8] = {0, 3, 2, 6, 4, 1, 5, 0};
    const std::vector<DrawCall> pictures = renderer.callsOf(DrawCall::Texture);
    for (int k = 0; k < 8; ++k) {
        bool cap = false, label = false;
        for (const DrawCall& c : pictures) {
            cap |= c.x == xs[k] && c.y == 462 && c.texture == 213 + offsets[k];
            label |= c.x == xs[k] && c.y == 463 && c.texture == 199 + offsets[k];
        }
        EXPECT_TRUE(cap && label) << "column " << k + 1;
    }
    level.pieceCounts[0] = 5;   // O: columns 1 and 8
    level.pieceCounts[6] = 40;  // I: column 7
    drawFrame();
    const std::vector<DrawCall> bars = drawn(DrawCall::Scaled, 206, 212);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ((std::vector<int>{bars[0].x, bars[0].h, bars[1].x, bars[1].h, bars[2].x}),
              (std::vector<int>{2, -8, 294, -43, 306}));
    EXPECT_EQ(bars[1].texture, 211u);
    bool capRaised = false;
    for (const DrawCall& c : renderer.callsOf(DrawCall::Texture)) {
        capRaised |= c.x == 294 && c.y == 422 && c.texture == 218;
    }
    EXPECT_TRUE(capRaised);
}

TEST_F(DuobrikLevelTest, LayersRingBandsPlayfieldBarThenScoreAndPlate) {
    level.start();
    drawFrame();
    const int board = find(DrawCall::Board, 0);
    ASSERT_GE(board, 0) << renderer.trace();
    EXPECT_LT(find(DrawCall::Centered, 127), find(DrawCall::Scaled, 21));
    EXPECT_LT(find(DrawCall::Scaled, 21), board);
    EXPECT_LT(board, find(DrawCall::Scaled, 28));
    EXPECT_LT(find(DrawCall::Scaled, 28), find(DrawCall::Texture, 188, 197));
    // The level-complete plate shows while the win waits and fades.
    for (uint8_t state : std::initializer_list<uint8_t>{Falling, Collapse, WinWait, WinFadeOut,
                                                        LoseWait, LevelComplete}) {
        level.state = state;
        drawFrame();
        const int plate = find(DrawCall::Centered, 220);
        EXPECT_EQ(plate >= 0, state == WinWait || state == WinFadeOut) << "state " << int(state);
        EXPECT_TRUE(plate < 0 ||
                    (renderer.calls[plate].x == 160 && renderer.calls[plate].y == 400));
    }
}

}  // namespace
