// What the playfield draws, in what order, and how the shake moves it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "BrikLevelRig.h"

namespace {

TEST(BrikLevelDraw, BoardThenPieceThenPreviewInsideOneSavedTransform) {
    Rig rig;
    rig.level.interval = 100000;
    rig.spawnAt(&gTetriminoT, 0, 4, 10);
    rig.step(10);  // writes the drawing position
    rig.level.next = &gTetriminoI;
    rig.renderer.calls.clear();
    rig.level.draw();
    EXPECT_EQ(rig.renderer.trace(),
              "Push Board Cell(140,240) Cell(160,240) Cell(180,240) Cell(160,220) "
              "Cell(200,25) Cell(220,25) Cell(240,25) Cell(260,25) Pop");
}

// The preview borrows the shared piece; when it is the falling piece too, the
// falling piece keeps its own place and turn.
TEST(BrikLevelDraw, ThePreviewOfTheFallingPiecesOwnTypeRestoresItsFields) {
    Rig rig;
    rig.level.current = &gTetriminoT;
    rig.level.next = &gTetriminoT;
    rig.level.state = Falling;
    gTetriminoT.orientation = 1;
    gTetriminoT.x = 100;
    gTetriminoT.y = 200;
    rig.level.draw();
    EXPECT_EQ(rig.renderer.trace(),
              "Push Board Cell(100,200) Cell(100,180) Cell(120,180) Cell(100,160) "
              "Cell(200,25) Cell(220,25) Cell(240,25) Cell(220,5) Pop");
    EXPECT_EQ(gTetriminoT.orientation, 1);
    EXPECT_EQ(gTetriminoT.x, 100);
    EXPECT_EQ(gTetriminoT.y, 200);
}

TEST(BrikLevelDraw, TheGameOverPictureShowsOnlyWhenLost) {
    const struct {
        uint8_t state;
        bool lost;
    } cases[] = {{Spawn, false},      {Falling, false},       {Landed, false},
                 {CheckRows, false},  {ClearFade, false},     {Collapse, false},
                 {WinWait, false},    {WinFadeOut, false},    {LoseWait, true},
                 {LoseFadeOut, true}, {LevelComplete, false}, {GameOver, false}};
    for (const auto& c : cases) {
        Rig rig;
        rig.level.state = c.state;
        rig.level.draw();
        const std::string expected =
            c.lost ? "Push Board Centered(160,400,198) Pop" : "Push Board Pop";
        EXPECT_EQ(rig.renderer.trace(), expected) << "state " << int(c.state);
    }
}

TEST(BrikLevelDraw, TheShakeMovesDownAndTiltsAboutTheCentre) {
    Rig rig;
    rig.level.shakeAmplitude = 40.0f;
    rig.level.shakePhase = 1.0f;
    rig.level.draw();
    const auto& calls = rig.renderer.calls;
    ASSERT_EQ(rig.renderer.trace(), "Push Translate Translate Rotate Translate Board Pop");
    const float down = static_cast<float>(std::sin(static_cast<double>(1.5f)) * 40.0);
    EXPECT_FLOAT_EQ(calls[1].fx, 0.0f);
    EXPECT_FLOAT_EQ(calls[1].fy, down);
    EXPECT_FLOAT_EQ(calls[2].fx, 160.0f);
    EXPECT_FLOAT_EQ(calls[2].fy, 240.0f);
    EXPECT_FLOAT_EQ(calls[3].fx, static_cast<float>(std::sin(1.0)));
    EXPECT_FLOAT_EQ(calls[4].fx, -160.0f);
    EXPECT_FLOAT_EQ(calls[4].fy, -240.0f);

    for (float spent : {0.0f, -0.3f}) {
        Rig still;
        still.level.shakeAmplitude = spent;
        still.level.shakePhase = 3.0f;
        still.level.draw();
        EXPECT_EQ(still.renderer.trace(), "Push Board Pop") << "amplitude " << spent;
    }
}

TEST(BrikLevelDraw, SmoothFallDrawsThePieceBetweenRows) {
    Rig rig;
    rig.level.smoothFall = true;
    rig.spawnAt(&gTetriminoO, 0, 4, 10);
    rig.step(125);
    EXPECT_EQ(rig.level.current->y, (22 - 10) * 20 + 10);
    rig.step(125);
    EXPECT_EQ(rig.level.current->y, (22 - 9) * 20);
}

}  // namespace
