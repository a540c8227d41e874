// What the game's play level adds to the rules: music and effects at start,
// the ring and voice bands from the clock and the music, and the score display.

#include <gtest/gtest.h>

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

    // The draw calls of one frame, with the level in the state the test set.
    void drawFrame() {
        renderer.calls.clear();
        level.draw();
    }
    int indexOf(DrawCall::Kind kind, unsigned texture) const {
        for (size_t i = 0; i < renderer.calls.size(); ++i) {
            if (renderer.calls[i].kind == kind && renderer.calls[i].texture == texture) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
};

TEST_F(DuobrikLevelTest, StartTurnsTheMusicUpLoadsEverythingAndPlaysTheSection) {
    struct Case {
        int32_t section;
        int position;
    };
    const Case cases[] = {{0, 0}, {1, 10}, {2, 20}, {7, 0}, {-1, 0}};
    for (const Case& c : cases) {
        audio.log.clear();
        level.musicSection = c.section;
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
            "playMusic(" + std::to_string(c.position) + ")",
        };
        EXPECT_EQ(audio.log, expected) << "section " << c.section;
    }
}

TEST_F(DuobrikLevelTest, RingAngleFallsOneDegreeEveryThreeMilliseconds) {
    const std::pair<int64_t, int32_t> cases[] = {{0, 360},    {3, 359},  {1077, 1},
                                                 {1080, 360}, {1079, 1}, {1083, 359}};
    for (const auto& [now, angle] : cases) {
        level.update(now, 1);
        EXPECT_EQ(level.ringAngle, angle) << "at " << now << " ms";
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
        EXPECT_EQ(ring[k].x, expected[k][0]) << "picture " << k;
        EXPECT_EQ(ring[k].y, expected[k][1]) << "picture " << k;
        EXPECT_EQ(ring[k].texture, static_cast<unsigned>(expected[k][2])) << "picture " << k;
    }
}

TEST_F(DuobrikLevelTest, VoiceBandsFollowTheVoiceVolumes) {
    audio.voices[0] = 65535;
    audio.voices[1] = 0;
    audio.voices[2] = 32768;
    audio.voices[3] = 70000;  // a library answer above the scale must not crash anything
    level.update(5, 1);
    drawFrame();
    std::vector<DrawCall> bands;
    for (const DrawCall& c : renderer.callsOf(DrawCall::Scaled)) {
        if (c.texture == 21) {
            bands.push_back(c);
        }
    }
    ASSERT_EQ(bands.size(), 4u);
    const float expected[4] = {1.0f, 0.0f, 32768.0f / 65535.0f, 70000.0f / 65535.0f};
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(bands[v].x, 0);
        EXPECT_EQ(bands[v].y, 320 + 32 * v);
        EXPECT_EQ(bands[v].w, 320);
        EXPECT_EQ(bands[v].h, 32);
        EXPECT_FLOAT_EQ(bands[v].brightness, expected[v]) << "voice " << v;
    }
}

TEST_F(DuobrikLevelTest, RowsToClearBarIsSixteenPixelsPerRowAndNeverNegative) {
    const std::pair<int32_t, int> cases[] = {{0, 0}, {-3, 0}, {1, -16}, {18, -288}};
    for (const auto& [lines, height] : cases) {
        level.linesToGo = lines;
        drawFrame();
        const int i = indexOf(DrawCall::Scaled, 28);
        ASSERT_GE(i, 0);
        const DrawCall& bar = renderer.calls[i];
        EXPECT_EQ(bar.x, 262);
        EXPECT_EQ(bar.y, 466);
        EXPECT_EQ(bar.w, 4);
        EXPECT_EQ(bar.h, height) << "linesToGo " << lines;
    }
}

TEST_F(DuobrikLevelTest, BarShakesOnlyWhileTheShakeRuns) {
    level.linesToGo = 5;
    level.shakeAmplitude = 0.0f;
    drawFrame();
    int bar = indexOf(DrawCall::Scaled, 28);
    ASSERT_GE(bar, 1);
    EXPECT_EQ(renderer.calls[bar - 1].kind, DrawCall::Push) << renderer.trace();
    EXPECT_EQ(renderer.calls[bar + 1].kind, DrawCall::Pop) << renderer.trace();

    level.shakeAmplitude = 40.0f;
    level.shakePhase = 1.0f;
    drawFrame();
    bar = indexOf(DrawCall::Scaled, 28);
    ASSERT_GE(bar, 5);
    const DrawCall* t = &renderer.calls[bar - 5];
    const DrawCall::Kind kinds[5] = {DrawCall::Push, DrawCall::Translate, DrawCall::Translate,
                                     DrawCall::Rotate, DrawCall::Translate};
    const float xy[5][2] = {{0, 0},
                            {0, static_cast<float>(std::sin(1.0) * 40.0)},
                            {160, 240},
                            {static_cast<float>(std::sin(1.0)), 0},
                            {-160, -240}};
    for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(t[k].kind, kinds[k]) << renderer.trace();
        EXPECT_FLOAT_EQ(k > 0 ? t[k].fx : 0.0f, xy[k][0]) << "call " << k;
        if (k > 0 && k != 3) {
            EXPECT_FLOAT_EQ(t[k].fy, xy[k][1]) << "call " << k;
        }
    }
    EXPECT_EQ(renderer.calls[bar + 1].kind, DrawCall::Pop);
}

TEST_F(DuobrikLevelTest, ScoreShowsItsLastFiveDigits) {
    level.score = 1234567;
    drawFrame();
    std::vector<DrawCall> digits;
    for (const DrawCall& c : renderer.callsOf(DrawCall::Texture)) {
        if (c.texture >= 188 && c.texture <= 197) {
            digits.push_back(c);
        }
    }
    ASSERT_EQ(digits.size(), 5u);
    // Units first, drawn right to left.
    const int expected[5][2] = {{162, 7}, {134, 6}, {106, 5}, {78, 4}, {50, 3}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(digits[i].x, expected[i][0]);
        EXPECT_EQ(digits[i].y, 7);
        EXPECT_EQ(digits[i].texture, 188u + expected[i][1]) << "digit at x " << digits[i].x;
    }
}

TEST_F(DuobrikLevelTest, CountColumnsWithNoPiecesShowCapsAndLabelsOnly) {
    drawFrame();
    const int xs[8] = {2, 14, 26, 38, 270, 282, 294, 306};
    const unsigned offsets[8] = {0, 3, 2, 6, 4, 1, 5, 0};
    for (const DrawCall& c : renderer.callsOf(DrawCall::Scaled)) {
        EXPECT_FALSE(c.texture >= 206 && c.texture <= 212) << "bar drawn at x " << c.x;
    }
    for (int k = 0; k < 8; ++k) {
        bool cap = false;
        bool label = false;
        for (const DrawCall& c : renderer.callsOf(DrawCall::Texture)) {
            cap |= c.x == xs[k] && c.y == 462 && c.texture == 213 + offsets[k];
            label |= c.x == xs[k] && c.y == 463 && c.texture == 199 + offsets[k];
        }
        EXPECT_TRUE(cap) << "column " << k + 1;
        EXPECT_TRUE(label) << "column " << k + 1;
    }
}

TEST_F(DuobrikLevelTest, CountColumnsGrowWithTheirCounter) {
    level.pieceCounts[0] = 5;   // O: columns 1 and 8
    level.pieceCounts[6] = 40;  // I: column 7
    drawFrame();
    std::vector<DrawCall> bars;
    for (const DrawCall& c : renderer.callsOf(DrawCall::Scaled)) {
        if (c.texture >= 206 && c.texture <= 212) {
            bars.push_back(c);
        }
    }
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].x, 2);
    EXPECT_EQ(bars[0].h, -8);
    EXPECT_EQ(bars[1].x, 294);
    EXPECT_EQ(bars[1].h, -43);
    EXPECT_EQ(bars[1].texture, 211u);
    EXPECT_EQ(bars[2].x, 306);
    EXPECT_GE(indexOf(DrawCall::Texture, 213), 0);
    bool capRaised = false;
    for (const DrawCall& c : renderer.callsOf(DrawCall::Texture)) {
        capRaised |= c.x == 294 && c.y == 422 && c.texture == 218;
    }
    EXPECT_TRUE(capRaised);
}

TEST_F(DuobrikLevelTest, LayersBackgroundThenPlayfieldThenScore) {
    level.start();
    drawFrame();
    const int firstRing = indexOf(DrawCall::Centered, 127);
    const int band = indexOf(DrawCall::Scaled, 21);
    int board = -1;
    for (size_t i = 0; i < renderer.calls.size() && board < 0; ++i) {
        if (renderer.calls[i].kind == DrawCall::Board) {
            board = static_cast<int>(i);
        }
    }
    const int bar = indexOf(DrawCall::Scaled, 28);
    ASSERT_GE(board, 0) << renderer.trace();
    EXPECT_LT(firstRing, band);
    EXPECT_LT(band, board);
    EXPECT_LT(board, bar);
}

TEST_F(DuobrikLevelTest, WonLevelShowsTheLevelCompletePlateUntilItIsGone) {
    const std::pair<uint8_t, bool> cases[] = {{Falling, false},  {Collapse, false},
                                              {WinWait, true},   {WinFadeOut, true},
                                              {LoseWait, false}, {LevelComplete, false}};
    for (const auto& [state, shown] : cases) {
        level.state = state;
        drawFrame();
        bool plate = false;
        for (const DrawCall& c : renderer.callsOf(DrawCall::Centered)) {
            plate |= c.x == 160 && c.y == 400 && c.texture == 220;
        }
        EXPECT_EQ(plate, shown) << "state " << int(state);
    }
}

}  // namespace
