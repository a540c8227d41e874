// The rules of play, driven with a scripted clock and scripted keys: spawning
// and its random draws, steering, falling, landing and locking, clearing and
// scoring, hazards, and the two ways a level ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "BrikLevelRig.h"

namespace {

// ---------------------------------------------------------------- spawning

// The first spawn draws the preview, then the falling piece; only falling
// pieces are counted. Hazards draw before the pieces, each its colour first.
TEST(BrikLevelSpawn, RandomDrawsComeInTheirOrder) {
    std::srand(1234);
    const int preview = std::rand() % 7, falling = std::rand() % 7, preview2 = std::rand() % 7;
    std::srand(1234);
    Rig rig;
    rig.step(16);
    EXPECT_EQ(vals(typeOf(rig.next), typeOf(rig.current), rig.nextType, rig.row, rig.column),
              vals(preview, falling, preview, falling == 6 ? 19 : 18, 4));
    std::vector<int> counted(7, 0);
    ++counted[falling];
    EXPECT_EQ(std::vector<int>(rig.pieceCounts, rig.pieceCounts + 7), counted);
    rig.state = Spawn;
    rig.step(16);
    EXPECT_EQ(vals(typeOf(rig.current), typeOf(rig.next)), vals(preview, preview2));
    ++counted[preview];
    EXPECT_EQ(std::vector<int>(rig.pieceCounts, rig.pieceCounts + 7), counted);

    std::srand(99);
    const int blockColour = std::rand() % 7 + 1, blockColumn = std::rand() % 9;
    const int rowColour = std::rand() % 7 + 1;
    for (int c = 0; c < 10; ++c) {
        std::rand();  // the garbage row's holes
    }
    const int hazardPreview = std::rand() % 7, hazardFalling = std::rand() % 7;
    std::srand(99);
    Rig hazards;
    hazards.blockDropPeriod = hazards.garbageRowPeriod = 1;
    hazards.blockDropColour = 0;  // 1 or less: a random colour each time
    hazards.garbageRowColour = 1;
    hazards.start();
    hazards.step(16);
    // The block fell to the floor, then the garbage row lifted it by one.
    EXPECT_EQ(hazards.cellAt(blockColumn, 1).tiles[0], kBase[blockColour]);
    for (int c = 0; c < 10; ++c) {
        const Cell& cell = hazards.cellAt(c, 0);
        EXPECT_TRUE(!cell.filled() || cell.tiles[0] == kBase[rowColour]) << "column " << c;
    }
    EXPECT_EQ(vals(typeOf(hazards.next), typeOf(hazards.current)),
              vals(hazardPreview, hazardFalling));
}

// A block drops every sixth spawn. A column ending just under the spawn
// position leaves room; a garbage row lifting it into the new piece ends the game.
TEST(BrikLevelSpawn, HazardsComeByTheirPeriodAndAGarbageRowCanEndTheGame) {
    Rig rig;
    rig.blockDropPeriod = 6;
    rig.start();
    std::vector<int> filled;
    for (int spawn = 1; spawn <= 12; ++spawn) {
        rig.state = Spawn;
        rig.step(16);
        filled.push_back(rig.filledCount());
    }
    EXPECT_EQ(filled, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2}));

    for (int period : {0, 1}) {
        Rig lifted;
        for (int r = 0; r <= 17; ++r) {
            lifted.setCell(4, r, 5);
        }
        lifted.garbageRowPeriod = period;
        lifted.keyDown(kLeft);
        lifted.spawn(&gTetriminoJ);
        EXPECT_EQ(vals(lifted.state, lifted.lastKey),
                  period == 0 ? vals(Landed, kLeft) : vals(LoseWait, 0));
    }
}

// ---------------------------------------------------------------- falling and locking

// One row per interval, never more than one per update (a long pause too);
// Down speeds the fall per update until released.
TEST(BrikLevelFall, OneRowPerIntervalAndDownSpeedsItUp) {
    Rig rig;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    for (const auto& [ms, row, fallTime] : {std::tuple{249, 10, 249}, {1, 9, 0}, {100000, 8, 0}}) {
        rig.step(ms);
        EXPECT_EQ(vals(rig.row, rig.fallTime), vals(row, fallTime)) << ms;
    }
    EXPECT_EQ(vals(rig.current->x, rig.current->y), vals(60 + 20 * 4, (22 - 8) * 20));
    rig.keyDown(kDown);
    for (const auto& [speed, fallTime] : {std::pair{1.625f, 16}, {2.25f, 38}}) {
        rig.step(10);  // 10 ms at the grown speed, truncated
        EXPECT_EQ(vals(rig.fallSpeed * 1000, rig.fallTime), vals(speed * 1000, fallTime));
    }
    rig.keyUp(kDown);
    EXPECT_EQ(vals(rig.fallSpeed * 1000, rig.downHeld), vals(1000, 0));
}

// A landed piece locks after the interval plus one update; Down held shortens
// the delay per update.
TEST(BrikLevelFall, TheLockDelay) {
    for (const bool down : {false, true}) {
        Rig rig;
        rig.spawn(&gTetriminoO, 0, 4, 0);
        if (down) {
            rig.keyDown(kDown);
        }
        std::vector<int> states;
        for (int i = 0; i < (down ? 4 : 6); ++i) {
            rig.step(down ? 5 : 50);
            states.push_back(rig.state);
        }
        std::vector<int> expected(states.size(), Landed);
        expected.back() = CheckRows;
        EXPECT_EQ(states, expected) << "down " << down;
        EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5}));
        EXPECT_TRUE(rig.cellAt(4, 0).filled() && rig.cellAt(5, 1).filled());
    }
}

TEST(BrikLevelFall, APieceSlidOffItsSupportFallsOnceTheSlideHasEnded) {
    Rig rig;
    rig.setCell(5, 0, 3);
    rig.spawn(&gTetriminoO, 0, 4, 1);
    rig.step(30);
    ASSERT_EQ(rig.state, Landed);
    rig.keyDown(kLeft);
    rig.step(30);
    rig.keyUp(kLeft);
    rig.step(30, 2);
    EXPECT_EQ(vals(rig.column, rig.state), vals(3, Landed)) << "still sliding";
    rig.step(30);
    EXPECT_EQ(rig.state, Falling);
    rig.runUntil(CheckRows, 50);
    EXPECT_TRUE(rig.cellAt(3, 0).filled() && rig.cellAt(4, 0).filled());
}

// ---------------------------------------------------------------- steering

// One column per slide until the wall, where it waits silently; against a
// block it waits until the way is free.
TEST(BrikLevelSteer, AHeldArrowMovesOneColumnPerSlideAndWaitsForTheWay) {
    Rig rig;
    rig.interval = 100000;
    rig.keyDown(kLeft);
    rig.spawn(&gTetriminoO);
    std::vector<int> columns{rig.column};
    for (int i = 0; i < 20; ++i) {
        rig.step(20);
        columns.push_back(rig.column);
    }
    EXPECT_EQ(columns,
              (std::vector<int>{3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rig.current->x, 60);
    rig.spawn(&gTetriminoO, 0, 3, 10);
    rig.setCell(2, 11, 3);
    rig.step(20, 10);
    EXPECT_EQ(rig.column, 3);
    rig.cellAt(2, 11).empty = 1;
    rig.step(20);
    EXPECT_EQ(rig.column, 2);
    EXPECT_TRUE(rig.audio.samplesPlayed.empty());
}

// A slide begun in the update of a spawn gets no time in that update; it must
// still move the piece only once, and only where the way was tested.
TEST(BrikLevelSteer, ASlideBegunAtASpawnMovesThePieceOnce) {
    Rig rig;
    for (int r = 0; r <= 18; ++r) {
        rig.setCell(2, r, 4);
    }
    rig.keyDown(kLeft);
    rig.spawn(&gTetriminoJ);
    for (int i = 0; i < 400 && rig.state != CheckRows; ++i) {
        ASSERT_EQ(rig.column, 3) << "update " << i;
        rig.step(16);
    }
    EXPECT_TRUE(rig.cellAt(3, 0).filled() && rig.cellAt(3, 1).filled());
    EXPECT_EQ(rig.cellAt(2, 0).tiles[0], 63) << "the column keeps its own squares";
}

// The move happens at once; the picture starts on the old column and reaches
// the new one as the slide ends. The same for the fall between rows.
TEST(BrikLevelSteer, SmoothMotionDrawsThePieceBetweenCells) {
    Rig rig;
    rig.interval = 100000;
    rig.smoothSlide = true;
    rig.spawn(&gTetriminoO, 0, 4, 10);
    rig.keyDown(kRight);
    rig.step(25);
    EXPECT_EQ(vals(rig.column, rig.current->x), vals(5, 60 + 20 * 4 + 5));
    rig.keyUp(kRight);
    rig.keyDown(kLeft);
    rig.step(75);  // the right slide ends
    EXPECT_EQ(rig.current->x, 60 + 20 * 5);
    rig.step(30);
    EXPECT_EQ(vals(rig.column, rig.current->x), vals(4, 60 + 20 * 5 - 6));
    Rig fall;
    fall.smoothFall = true;
    fall.spawn(&gTetriminoO, 0, 4, 10);
    fall.step(125);
    EXPECT_EQ(fall.current->y, (22 - 10) * 20 + 10);
    fall.step(125);
    EXPECT_EQ(fall.current->y, (22 - 9) * 20);
}

// Up leaves its turn pending when released before the update; Space withdraws
// it. One turn per key-down, each with sample 0.
TEST(BrikLevelSteer, UpTappedBetweenUpdatesTurnsButSpaceTappedDoesNot) {
    Rig rig;
    rig.interval = 100000;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    const std::tuple<int, bool, int> taps[] = {
        {kUp, true, 1}, {kSpace, true, 1}, {kSpace, false, 2}, {0, false, 2}};
    for (const auto& [key, release, orientation] : taps) {
        rig.keyDown(key);
        if (release) {
            rig.keyUp(key);
        }
        rig.step(10);
        EXPECT_EQ(gTetriminoT.orientation, orientation) << "key " << key;
    }
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{0, 0}));
}

// At the top a turn is kicked down, restarting the row's time. Between two
// rows the turned piece must fit on both, and a refused turn is forgotten.
TEST(BrikLevelSteer, TurnsAreKickedAtTheTopAndNeedRoomOnBothRows) {
    Rig rig;
    rig.spawn(&gTetriminoT);
    rig.step(100);
    rig.keyDown(kUp);
    rig.step(10);
    EXPECT_EQ(vals(gTetriminoT.orientation, rig.row, rig.fallTime), vals(1, 17, 10));
    rig.interval = 100000;
    rig.setCell(5, 11, 3);  // only the turned J one row lower would cover it
    for (const bool between : {false, true}) {
        rig.spawn(&gTetriminoJ, 0, 4, 10);
        rig.step(10, between ? 1 : 0);
        rig.keyDown(kUp);
        rig.step(10);
        EXPECT_EQ(vals(gTetriminoJ.orientation, rig.rotateRequest), vals(between ? 0 : 1, 0));
    }
}

// ---------------------------------------------------------------- clearing and scoring

TEST(BrikLevelClear, APieceScoresOneAndACompletedRowFadesThenScoresTwenty) {
    Rig rig;
    rig.spawn(&gTetriminoO, 0, 8, 2);
    rig.runUntil(Spawn, 100);
    EXPECT_EQ(rig.score, 1);
    for (int c = 4; c < 8; ++c) {
        rig.setCell(c, 0, 7);
    }
    rig.spawn(&gTetriminoI, 0, 0, 3);
    rig.runUntil(CheckRows, 50);
    rig.renderer.fade = 0.7f;
    rig.step(10);
    ASSERT_EQ(vals(rig.state, rig.current == nullptr, rig.renderer.fade * 1000),
              vals(ClearFade, 1, 0));
    for (int c = 0; c < 10; ++c) {
        for (uint8_t t : rig.cellAt(c, 0).tiles) {
            EXPECT_TRUE(inClearingSet(t)) << "column " << c << " tile " << int(t);
        }
    }
    for (const auto& [ms, fade] : {std::pair{100, 0.2f}, {150, 0.5f}, {250, 1.0f}}) {
        rig.step(ms);
        EXPECT_FLOAT_EQ(rig.renderer.fade, fade) << "after " << ms;
        EXPECT_EQ(rig.state, fade < 1.0f ? ClearFade : Collapse);
    }
    rig.step(10);
    EXPECT_EQ(vals(rig.score, rig.linesToGo, rig.state, rig.filledCount(), rig.shakeAmplitude),
              vals(21, 3, Spawn, 2, 0));  // the O's upper half came down
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 5, 1}));
}

// An O whose lower squares complete row 18: its upper squares stop looking
// joined downward before the row goes, and keep that look after.
TEST(BrikLevelClear, SquaresAboveAClearedRowHaveTheirEdgeClosed) {
    Rig rig;
    rig.spawn(&gTetriminoO, 0, 8, 18);
    rig.setCell(8, 17, 3);
    rig.setCell(9, 17, 3);
    rig.fillRow(18, 8, 6);
    rig.cellAt(9, 18).empty = 1;
    rig.runUntil(CheckRows, 50);
    rig.step(10);
    ASSERT_EQ(rig.state, ClearFade);
    const uint8_t* left = rig.cellAt(8, 19).tiles;
    const uint8_t* right = rig.cellAt(9, 19).tiles;
    EXPECT_EQ(vals(left[0], left[1], left[2], left[6], left[7], left[8]),
              vals(22, 24, 35, 30, 32, 40));
    EXPECT_EQ(vals(right[0], right[1], right[2]), vals(35, 24, 25));
    rig.step(500);
    rig.step(10);
    const uint8_t* fallen = rig.cellAt(8, 18).tiles;
    EXPECT_EQ(vals(fallen[0], fallen[2], rig.cellAt(8, 19).filled()), vals(22, 35, 0));
}

// Four rows shake the field by 20 per row past the first; the shake loses 1
// per 20 ms, none at the spawn, and the phase stops with it. Five rows (one
// completed earlier by a dropped block) play sample 5 and go past the goal.
TEST(BrikLevelClear, BigClearsShakeTheFieldAndTheShakeDies) {
    Rig rig;
    rig.linesToGo = 10;
    for (int r = 0; r < 4; ++r) {
        rig.fillRow(r, 9);
    }
    rig.spawn(&gTetriminoI, 1, 9, 0);
    rig.runUntil(CheckRows, 50);
    rig.clearRows(20);
    EXPECT_EQ(rig.audio.samplesPlayed.back(), 4);
    EXPECT_FLOAT_EQ(rig.shakeAmplitude, 59.0f);
    EXPECT_FLOAT_EQ(rig.shakePhase, 0.4f);
    rig.step(20);  // the spawn: no time passes
    EXPECT_FLOAT_EQ(rig.shakeAmplitude, 59.0f);
    rig.step(20, 58);
    EXPECT_GT(rig.shakeAmplitude, 0.0f);
    rig.step(20);
    EXPECT_LE(rig.shakeAmplitude, 0.0f);
    const float phase = rig.shakePhase;
    EXPECT_NEAR(phase, 24.0f, 0.01f);
    rig.step(20);
    EXPECT_EQ(rig.shakePhase, phase) << "no shake, no phase";

    Rig five;
    five.fillRow(0);
    for (int r = 1; r <= 4; ++r) {
        five.fillRow(r, 0);
    }
    five.spawn(&gTetriminoI, 1, 0, 1);
    five.runUntil(CheckRows, 50);
    five.clearRows(1);
    EXPECT_EQ(vals(five.score, five.linesToGo, five.state), vals(100, -1, WinWait));
    EXPECT_EQ(five.audio.samplesPlayed, (std::vector<int>{5, 5}));
    EXPECT_FLOAT_EQ(five.shakeAmplitude, 80.0f - 1.0f / 20.0f);
}

// A turn keyed during the fade is made by the next piece at its spawn if it
// was Up; a released Space is withdrawn.
TEST(BrikLevelClear, UpDuringAClearTurnsTheNextPieceAtItsSpawnButSpaceIsWithdrawn) {
    for (int key : {kUp, kSpace}) {
        Rig rig;
        rig.fillRow(0, 0);
        rig.spawn(&gTetriminoI, 1, 0, 3);
        rig.next = &gTetriminoT;
        rig.runUntil(ClearFade, 50);
        rig.keyDown(key);
        rig.keyUp(key);
        rig.clearRows();
        rig.step(10);  // the spawn
        ASSERT_EQ(rig.current, &gTetriminoT);
        EXPECT_EQ(vals(gTetriminoT.orientation, rig.audio.samplesPlayed.back()),
                  key == kUp ? vals(1, 0) : vals(0, 1));
    }
}

// ---------------------------------------------------------------- the end of a level

// Win: any key after the clear starts a 2 s fade of the music, then the level
// is complete. Loss: a piece that cannot enter; the board shows as cleared.
TEST(BrikLevelEnd, BothEndsWaitForAKeyAndFadeTheMusicOut) {
    Rig rig;
    rig.linesToGo = 1;
    for (int r = 0; r < 3; ++r) {
        rig.fillRow(r, 0);
    }
    rig.spawn(&gTetriminoI, 1, 0, 0);
    rig.keyDown(kDown);
    rig.runUntil(CheckRows, 50);
    rig.clearRows();
    rig.step(10, 2);
    EXPECT_EQ(vals(rig.linesToGo, rig.score, rig.state, rig.downHeld), vals(-2, 60, WinWait, 0));
    rig.keyDown(65);
    rig.step(10);
    for (int ms : {500, 500, 500, 499}) {
        EXPECT_EQ(rig.state, WinFadeOut);
        rig.step(ms);
    }
    EXPECT_EQ(rig.state, WinFadeOut);
    rig.step(1, 2);
    EXPECT_EQ(rig.audio.volumes, (std::vector<int>{96, 64, 32, 1, 0}));
    EXPECT_EQ(rig.state, LevelComplete);

    Rig lost;
    lost.fillRow(19, -1, 6);
    lost.keyDown(kUp);
    lost.spawn(&gTetriminoS);
    EXPECT_EQ(vals(lost.state, lost.rotateRequest, gTetriminoS.orientation), vals(LoseWait, 0, 0));
    lost.step(10);
    EXPECT_EQ(vals(lost.state, lost.current == nullptr), vals(LoseWait, 1));
    for (const Cell& cell : lost.board) {
        EXPECT_TRUE(!cell.filled() ||
                    (inClearingSet(cell.tiles[0]) && inClearingSet(cell.tiles[8])));
    }
    lost.keyDown(kDown);
    lost.step(10);
    EXPECT_EQ(lost.state, LoseFadeOut);
    lost.step(1000, 2);
    EXPECT_EQ(lost.state, GameOver);
    EXPECT_EQ(lost.audio.volumes, (std::vector<int>{64, 0}));
}

}  // namespace
