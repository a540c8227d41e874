// What the playfield draws, in what order, and how the shake moves it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "BrikLevelRig.h"

namespace {

// Board, falling piece, then the preview at (200, 25) in orientation 0, all
// inside one saved transform. The preview borrows the shared piece: when it
// is the falling piece too, the falling piece keeps its own place and turn.
TEST(BrikLevelDraw, BoardThenPieceThenPreviewWhichRestoresTheSharedPiece) {
    Rig rig;
    rig.interval = 100000;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    rig.step(10);  // writes the drawing position
    rig.next = &gTetriminoI;
    rig.renderer.calls.clear();
    rig.draw();
    EXPECT_EQ(rig.renderer.trace(),
              "Push Board Cell(140,240) Cell(160,240) Cell(180,240) Cell(160,220) "
              "Cell(200,25) Cell(220,25) Cell(240,25) Cell(260,25) Pop");

    rig.next = &gTetriminoT;
    gTetriminoT.orientation = 1;
    gTetriminoT.x = 100;
    gTetriminoT.y = 200;
    rig.renderer.calls.clear();
    rig.draw();
    EXPECT_EQ(rig.renderer.trace(),
              "Push Board Cell(100,200) Cell(100,180) Cell(120,180) Cell(100,160) "
              "Cell(200,25) Cell(220,25) Cell(240,25) Cell(220,5) Pop");
    EXPECT_EQ(gTetriminoT.orientation, 1);
    EXPECT_EQ(gTetriminoT.x, 100);
    EXPECT_EQ(gTetriminoT.y, 200);
}

TEST(BrikLevelDraw, TheGameOverPictureShowsOnlyWhenLost) {
    for (uint8_t state : std::initializer_list<uint8_t>{
             Spawn, Falling, Landed, CheckRows, ClearFade, Collapse, WinWait, WinFadeOut, LoseWait,
             LoseFadeOut, LevelComplete, GameOver}) {
        Rig rig;
        rig.state = state;
        rig.draw();
        const bool lost = state == LoseWait || state == LoseFadeOut;
        EXPECT_EQ(rig.renderer.trace(),
                  lost ? "Push Board Centered(160,400,198) Pop" : "Push Board Pop")
            << "state " << int(state);
    }
}

// Down by sin(1.5 phase) times the amplitude, a tilt of sin(phase) degrees
// about the window centre; nothing once the amplitude is spent.
TEST(BrikLevelDraw, TheShakeMovesDownAndTiltsAboutTheCentre) {
    Rig rig;
    rig.shakeAmplitude = 40.0f;
    rig.shakePhase = 1.0f;
    rig.draw();
    const auto& calls = rig.renderer.calls;
    ASSERT_EQ(rig.renderer.trace(), "Push Translate Translate Rotate Translate Board Pop");
    const float expected[4][2] = {{0.0f, static_cast<float>(std::sin(1.5) * 40.0)},
                                  {160.0f, 240.0f},
                                  {static_cast<float>(std::sin(1.0)), 0.0f},
                                  {-160.0f, -240.0f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(calls[k + 1].fx, expected[k][0]) << "call " << k + 1;
        EXPECT_FLOAT_EQ(calls[k + 1].fy, expected[k][1]) << "call " << k + 1;
    }
    for (float spent : {0.0f, -0.3f}) {
        Rig still;
        still.shakeAmplitude = spent;
        still.shakePhase = 3.0f;
        still.draw();
        EXPECT_EQ(still.renderer.trace(), "Push Board Pop") << "amplitude " << spent;
    }
}

}  // namespace
