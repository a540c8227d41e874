// The rules of play, driven with a scripted clock and scripted keys: spawning
// and its random draws, steering, falling, landing and locking, clearing and
// scoring, hazards, and the two ways a level ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "BrikLevelRig.h"

namespace {

// ---------------------------------------------------------------- spawning

TEST(BrikLevelSpawn, FirstSpawnDrawsThePreviewFirstThenTheFallingPiece) {
    std::srand(1234);
    const int preview = std::rand() % 7, falling = std::rand() % 7, preview2 = std::rand() % 7;
    std::srand(1234);
    Rig rig;
    rig.step(16);
    EXPECT_EQ(rig.level.next, kPieceOfType[preview]);
    EXPECT_EQ(rig.level.current, kPieceOfType[falling]);
    EXPECT_EQ(rig.level.nextType, preview);
    EXPECT_EQ(rig.level.row, falling == 6 ? 19 : 18);
    EXPECT_EQ(rig.level.column, 4);
    std::vector<int> counted(7, 0);
    ++counted[falling];
    EXPECT_EQ(rig.counts(), counted);
    rig.level.state = Spawn;
    rig.step(16);
    EXPECT_EQ(rig.level.current, kPieceOfType[preview]);
    EXPECT_EQ(rig.level.next, kPieceOfType[preview2]);
    ++counted[preview];
    EXPECT_EQ(rig.counts(), counted);
}

TEST(BrikLevelSpawn, HazardsDrawTheirNumbersBeforeThePieces) {
    std::srand(99);
    const int blockColour = std::rand() % 7 + 1, blockColumn = std::rand() % 9;
    const int rowColour = std::rand() % 7 + 1;
    bool hole[10], anyHole = false;
    for (bool& h : hole) {
        anyHole |= h = std::rand() % 10 >= 7;
    }
    const int preview = std::rand() % 7, falling = std::rand() % 7;
    std::srand(99);
    Rig rig;
    rig.level.blockDropPeriod = rig.level.garbageRowPeriod = 1;
    rig.level.blockDropColour = 0;  // 1 or less: a random colour each time
    rig.level.garbageRowColour = 1;
    rig.level.start();
    rig.step(16);
    // The block fell to the floor, then the garbage row lifted it by one.
    EXPECT_EQ(rig.level.cellAt(blockColumn, 1).tiles[0], kBase[blockColour]);
    for (int c = 0; c < 10; ++c) {
        const Cell& cell = rig.level.cellAt(c, 0);
        EXPECT_EQ(cell.filled(), !(hole[c] || (!anyHole && c == 0))) << "column " << c;
        EXPECT_TRUE(!cell.filled() || cell.tiles[0] == kBase[rowColour]) << "column " << c;
    }
    EXPECT_EQ(rig.level.next, kPieceOfType[preview]);
    EXPECT_EQ(rig.level.current, kPieceOfType[falling]);
}

TEST(BrikLevelSpawn, TheFirstDroppedBlockComesAtTheSixthSpawn) {
    Rig rig;
    rig.level.blockDropPeriod = 6;
    rig.level.blockDropColour = 3;
    rig.level.start();
    std::vector<int> filled;
    for (int spawn = 1; spawn <= 12; ++spawn) {
        rig.level.state = Spawn;
        rig.step(16);
        filled.push_back(rig.filledCount());
    }
    EXPECT_EQ(filled, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2}));
}

// A column ending just under the spawn position leaves room; a garbage row
// lifting it into the new piece ends the game.
TEST(BrikLevelSpawn, AGarbageRowThatReachesTheNewPieceEndsTheGame) {
    for (int period : {0, 1}) {
        Rig rig;
        for (int r = 0; r <= 17; ++r) {
            rig.level.setCell(4, r, 5);
        }
        rig.level.garbageRowPeriod = period;
        rig.level.keyDown(kLeft);
        rig.spawn(&gTetriminoJ);
        EXPECT_EQ(rig.level.state, period == 0 ? Landed : LoseWait);
        EXPECT_EQ(rig.level.lastKey, period == 0 ? kLeft : 0);
    }
}

// ---------------------------------------------------------------- falling and locking

// One row per interval, never more than one per update; Down speeds the fall
// per update until released.
TEST(BrikLevelFall, OneRowPerIntervalAndDownSpeedsItUp) {
    Rig rig;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    const struct {
        int64_t ms;
        int row, fallTime;
    } steps[] = {{249, 10, 249}, {1, 9, 0}, {100000, 8, 0}};  // the long pause: one row
    for (const auto& s : steps) {
        rig.step(s.ms);
        EXPECT_EQ(rig.level.row, s.row) << s.ms;
        EXPECT_EQ(rig.level.fallTime, s.fallTime) << s.ms;
    }
    EXPECT_EQ(rig.level.current->y, (22 - 8) * 20);
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 4);
    rig.level.keyDown(kDown);
    rig.step(10);
    EXPECT_FLOAT_EQ(rig.level.fallSpeed, 1.625f);
    EXPECT_EQ(rig.level.fallTime, 16);  // 10 ms at 1.625, truncated
    rig.step(10);
    EXPECT_FLOAT_EQ(rig.level.fallSpeed, 2.25f);
    EXPECT_EQ(rig.level.fallTime, 38);
    rig.level.keyUp(kDown);
    EXPECT_FLOAT_EQ(rig.level.fallSpeed, 1.0f);
    EXPECT_EQ(rig.level.downHeld, 0);
}

// A landed piece locks after the interval plus one update; Down held shortens
// the delay per update.
TEST(BrikLevelFall, TheLockDelay) {
    for (const bool down : {false, true}) {
        Rig rig;
        rig.spawn(&gTetriminoO, 0, 4, 0);
        if (down) {
            rig.level.keyDown(kDown);
        }
        std::vector<int> states;
        for (int i = 0; i < (down ? 4 : 6); ++i) {
            rig.step(down ? 5 : 50);
            states.push_back(rig.level.state);
        }
        EXPECT_EQ(states.back(), CheckRows) << "down " << down;
        states.pop_back();
        EXPECT_EQ(states, std::vector<int>(states.size(), Landed)) << "down " << down;
        EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5}));
        EXPECT_TRUE(rig.level.cellAt(4, 0).filled() && rig.level.cellAt(5, 1).filled());
    }
}

TEST(BrikLevelFall, APieceSlidOffItsSupportFallsOnceTheSlideHasEnded) {
    Rig rig;
    rig.level.setCell(5, 0, 3);
    rig.spawn(&gTetriminoO, 0, 4, 1);
    rig.step(30);
    ASSERT_EQ(rig.level.state, Landed);
    rig.level.keyDown(kLeft);
    rig.step(30);
    rig.level.keyUp(kLeft);
    EXPECT_EQ(rig.level.column, 3);
    rig.step(30, 2);
    EXPECT_EQ(rig.level.state, Landed) << "still sliding";
    rig.step(30);
    EXPECT_EQ(rig.level.state, Falling);
    rig.runUntil(CheckRows, 50);
    EXPECT_TRUE(rig.level.cellAt(3, 0).filled() && rig.level.cellAt(4, 0).filled());
}

// ---------------------------------------------------------------- steering

// One column per slide until the wall, where it waits silently; against a
// block it waits until the way is free.
TEST(BrikLevelSteer, AHeldArrowMovesOneColumnPerSlideAndWaitsForTheWay) {
    Rig rig;
    rig.level.interval = 100000;
    rig.level.keyDown(kLeft);
    rig.spawn(&gTetriminoO);
    std::vector<int> columns{rig.level.column};
    for (int i = 0; i < 20; ++i) {
        rig.step(20);
        columns.push_back(rig.level.column);
    }
    EXPECT_EQ(columns,
              (std::vector<int>{3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rig.level.current->x, 60);

    rig.spawn(&gTetriminoO, 0, 3, 10);
    rig.level.setCell(2, 11, 3);
    rig.step(20, 10);
    EXPECT_EQ(rig.level.column, 3);
    rig.level.cellAt(2, 11).empty = 1;
    rig.step(20);
    EXPECT_EQ(rig.level.column, 2);
    EXPECT_TRUE(rig.audio.samplesPlayed.empty());
}

// A slide begun in the update of a spawn gets no time in that update; it must
// still move the piece only once, and only where the way was tested.
TEST(BrikLevelSteer, ASlideBegunAtASpawnMovesThePieceOnce) {
    Rig rig;
    for (int r = 0; r <= 18; ++r) {
        rig.level.setCell(2, r, 4);
    }
    rig.level.keyDown(kLeft);
    rig.spawn(&gTetriminoJ);
    EXPECT_EQ(rig.level.column, 3);
    for (int i = 0; i < 400 && rig.level.state != CheckRows; ++i) {
        rig.step(16);
        ASSERT_GE(rig.level.column, 3) << "update " << i;
    }
    EXPECT_TRUE(rig.level.cellAt(3, 0).filled() && rig.level.cellAt(3, 1).filled());
    EXPECT_EQ(rig.level.cellAt(2, 0).tiles[0], 63) << "the column keeps its own squares";
}

// The move happens at once; the picture starts on the old column and reaches
// the new one as the slide ends. The same for the fall between rows.
TEST(BrikLevelSteer, SmoothMotionDrawsThePieceBetweenCells) {
    Rig rig;
    rig.level.interval = 100000;
    rig.level.smoothSlide = true;
    rig.spawn(&gTetriminoO, 0, 4, 10);
    rig.level.keyDown(kRight);
    rig.step(25);
    EXPECT_EQ(rig.level.column, 5);
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 4 + 5);
    rig.level.keyUp(kRight);
    rig.level.keyDown(kLeft);
    rig.step(75);  // the right slide ends
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 5);
    rig.step(30);
    EXPECT_EQ(rig.level.column, 4);
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 5 - 6);

    Rig fall;
    fall.level.smoothFall = true;
    fall.spawn(&gTetriminoO, 0, 4, 10);
    fall.step(125);
    EXPECT_EQ(fall.level.current->y, (22 - 10) * 20 + 10);
    fall.step(125);
    EXPECT_EQ(fall.level.current->y, (22 - 9) * 20);
}

// Up leaves its turn pending when released before the update; Space withdraws
// it. One turn per key-down, each with sample 0.
TEST(BrikLevelSteer, UpTappedBetweenUpdatesTurnsButSpaceTappedDoesNot) {
    Rig rig;
    rig.level.interval = 100000;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    const struct {
        int key;
        bool release;
        int orientation;
    } taps[] = {{kUp, true, 1}, {kSpace, true, 1}, {kSpace, false, 2}, {0, false, 2}};
    for (const auto& t : taps) {
        if (t.key != 0) {
            rig.level.keyDown(t.key);
        }
        if (t.release) {
            rig.level.keyUp(t.key);
        }
        rig.step(10);
        EXPECT_EQ(gTetriminoT.orientation, t.orientation) << "key " << t.key;
    }
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{0, 0}));
}

// At the top a turn is kicked down, restarting the row's time. Between two
// rows the turned piece must fit on both, and a refused turn is forgotten.
TEST(BrikLevelSteer, TurnsAreKickedAtTheTopAndNeedRoomOnBothRows) {
    Rig rig;
    rig.spawn(&gTetriminoT);
    rig.step(100);
    rig.level.keyDown(kUp);
    rig.step(10);
    EXPECT_EQ(gTetriminoT.orientation, 1);
    EXPECT_EQ(rig.level.row, 17);
    EXPECT_EQ(rig.level.fallTime, 10);

    rig.level.interval = 100000;
    rig.level.setCell(5, 11, 3);  // only the turned J one row lower would cover it
    for (const bool between : {false, true}) {
        rig.spawn(&gTetriminoJ, 0, 4, 10);
        if (between) {
            rig.step(10);
        }
        rig.level.keyDown(kUp);
        rig.step(10);
        EXPECT_EQ(gTetriminoJ.orientation, between ? 0 : 1) << "between rows " << between;
        EXPECT_EQ(rig.level.rotateRequest, 0);
    }
}

// ---------------------------------------------------------------- clearing and scoring

TEST(BrikLevelClear, APieceScoresOneAndACompletedRowFadesThenScoresTwenty) {
    Rig rig;
    rig.spawn(&gTetriminoO, 0, 8, 2);
    rig.runUntil(Spawn, 100);
    EXPECT_EQ(rig.level.score, 1);
    for (int c = 4; c < 8; ++c) {
        rig.level.setCell(c, 0, 7);
    }
    rig.spawn(&gTetriminoI, 0, 0, 3);
    rig.runUntil(CheckRows, 50);
    rig.renderer.fade = 0.7f;
    rig.step(10);
    ASSERT_EQ(rig.level.state, ClearFade);
    EXPECT_EQ(rig.level.current, nullptr);
    EXPECT_FLOAT_EQ(rig.renderer.fade, 0.0f);
    for (int c = 0; c < 10; ++c) {
        for (uint8_t t : rig.level.cellAt(c, 0).tiles) {
            EXPECT_TRUE(inClearingSet(t)) << "column " << c << " tile " << int(t);
        }
    }
    const std::pair<int64_t, float> fades[] = {{100, 0.2f}, {150, 0.5f}, {250, 1.0f}};
    for (const auto& [ms, fade] : fades) {
        rig.step(ms);
        EXPECT_FLOAT_EQ(rig.renderer.fade, fade) << "after " << ms;
        EXPECT_EQ(rig.level.state, fade < 1.0f ? ClearFade : Collapse);
    }
    rig.step(10);
    EXPECT_EQ(rig.level.score, 21);
    EXPECT_EQ(rig.level.linesToGo, 3);
    EXPECT_EQ(rig.level.state, Spawn);
    EXPECT_EQ(rig.filledCount(), 2) << "the O's upper half came down";
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 5, 1}));
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 0.0f);
}

// An O whose lower squares complete row 18: its upper squares stop looking
// joined downward before the row goes, and keep that look after.
TEST(BrikLevelClear, SquaresAboveAClearedRowHaveTheirEdgeClosed) {
    Rig rig;
    rig.spawn(&gTetriminoO, 0, 8, 18);
    rig.level.setCell(8, 17, 3);
    rig.level.setCell(9, 17, 3);
    for (int c = 0; c < 8; ++c) {
        rig.level.setCell(c, 18, 6);
    }
    rig.runUntil(CheckRows, 50);
    rig.step(10);
    ASSERT_EQ(rig.level.state, ClearFade);
    const uint8_t* left = rig.level.cellAt(8, 19).tiles;
    const uint8_t* right = rig.level.cellAt(9, 19).tiles;
    EXPECT_EQ((std::vector<int>{left[0], left[1], left[2]}), (std::vector<int>{22, 24, 35}));
    EXPECT_EQ((std::vector<int>{right[0], right[1], right[2]}), (std::vector<int>{35, 24, 25}));
    EXPECT_EQ((std::vector<int>{left[6], left[7], left[8]}), (std::vector<int>{30, 32, 40}));
    rig.step(500);
    rig.step(10);
    EXPECT_EQ(rig.level.cellAt(8, 18).tiles[0], 22);
    EXPECT_EQ(rig.level.cellAt(8, 18).tiles[2], 35);
    EXPECT_FALSE(rig.level.cellAt(8, 19).filled());
}

// Four rows shake the field by 20 per row past the first; the shake loses 1
// per 20 ms, none at the spawn, and the phase stops with it. Five rows (one
// completed earlier by a dropped block) play sample 5 and go past the goal.
TEST(BrikLevelClear, BigClearsShakeTheFieldAndTheShakeDies) {
    Rig rig;
    rig.level.linesToGo = 10;
    for (int r = 0; r < 4; ++r) {
        rig.fillRow(r, 9);
    }
    rig.spawn(&gTetriminoI, 1, 9, 0);
    rig.runUntil(CheckRows, 50);
    rig.clearRows(20);
    EXPECT_EQ(rig.audio.samplesPlayed.back(), 4);
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 59.0f);
    EXPECT_FLOAT_EQ(rig.level.shakePhase, 0.4f);
    rig.step(20);  // the spawn: no time passes
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 59.0f);
    rig.step(20, 58);
    EXPECT_GT(rig.level.shakeAmplitude, 0.0f);
    rig.step(20);
    EXPECT_LE(rig.level.shakeAmplitude, 0.0f);
    const float phase = rig.level.shakePhase;
    EXPECT_NEAR(phase, 24.0f, 0.01f);
    rig.step(20);
    EXPECT_EQ(rig.level.shakePhase, phase) << "no shake, no phase";

    Rig five;
    five.fillRow(0);
    for (int r = 1; r <= 4; ++r) {
        five.fillRow(r, 0);
    }
    five.spawn(&gTetriminoI, 1, 0, 1);
    five.runUntil(CheckRows, 50);
    five.clearRows(1);
    EXPECT_EQ(five.level.score, 100);
    EXPECT_EQ(five.audio.samplesPlayed, (std::vector<int>{5, 5}));
    EXPECT_FLOAT_EQ(five.level.shakeAmplitude, 80.0f - 1.0f / 20.0f);
    EXPECT_EQ(five.level.linesToGo, -1);
    EXPECT_EQ(five.level.state, WinWait);
}

// A turn keyed during the fade is made by the next piece at its spawn if it
// was Up; a released Space is withdrawn.
TEST(BrikLevelClear, UpDuringAClearTurnsTheNextPieceAtItsSpawnButSpaceIsWithdrawn) {
    for (int key : {kUp, kSpace}) {
        Rig rig;
        rig.fillRow(0, 0);
        rig.spawn(&gTetriminoI, 1, 0, 3);
        rig.level.next = &gTetriminoT;
        rig.level.nextType = 5;
        rig.runUntil(CheckRows, 50);
        rig.step(10);
        ASSERT_EQ(rig.level.state, ClearFade) << "key " << key;
        rig.level.keyDown(key);
        rig.level.keyUp(key);
        rig.step(500);
        rig.step(10);
        const size_t samplesBefore = rig.audio.samplesPlayed.size();
        rig.step(10);
        ASSERT_EQ(rig.level.current, &gTetriminoT);
        EXPECT_EQ(gTetriminoT.orientation, key == kUp ? 1 : 0) << "key " << key;
        EXPECT_EQ(rig.audio.samplesPlayed.size(), samplesBefore + (key == kUp ? 1 : 0));
    }
}

// ---------------------------------------------------------------- the end of a level

TEST(BrikLevelEnd, ABigClearPastTheTargetWinsAndFadesTheMusicOut) {
    Rig rig;
    rig.level.linesToGo = 1;
    for (int r = 0; r < 3; ++r) {
        rig.fillRow(r, 0);
    }
    rig.spawn(&gTetriminoI, 1, 0, 0);
    rig.level.keyDown(kDown);
    rig.runUntil(CheckRows, 50);
    rig.clearRows();
    EXPECT_EQ(rig.level.linesToGo, -2);
    EXPECT_EQ(rig.level.score, 60);
    EXPECT_EQ(rig.level.state, WinWait);
    EXPECT_EQ(rig.level.downHeld, 0);
    rig.step(10, 2);
    EXPECT_EQ(rig.level.state, WinWait) << "waits for a key";
    rig.level.keyDown(65);
    rig.step(10);
    EXPECT_EQ(rig.level.state, WinFadeOut);
    for (int ms : {500, 500, 500, 499}) {
        rig.step(ms);
        EXPECT_EQ(rig.level.state, WinFadeOut);
    }
    rig.step(1);
    EXPECT_EQ(rig.level.state, LevelComplete);
    rig.step(10);
    EXPECT_EQ(rig.audio.volumes, (std::vector<int>{96, 64, 32, 1, 0}));
    EXPECT_EQ(rig.level.state, LevelComplete);
}

TEST(BrikLevelEnd, APieceThatCannotEnterLosesAndShowsTheBoardAsCleared) {
    Rig rig;
    for (int c = 4; c < 8; ++c) {
        rig.level.setCell(c, 19, 6);
    }
    rig.level.setCell(4, 18, 6);
    rig.level.keyDown(kUp);
    rig.spawn(&gTetriminoS);
    EXPECT_EQ(rig.level.state, LoseWait);
    EXPECT_EQ(rig.level.rotateRequest, 0);
    EXPECT_EQ(gTetriminoS.orientation, 0) << "no turn after the loss";
    rig.step(10);
    EXPECT_EQ(rig.level.current, nullptr);
    EXPECT_EQ(rig.level.state, LoseWait);
    for (const Cell& cell : rig.level.board) {
        EXPECT_TRUE(!cell.filled() ||
                    (inClearingSet(cell.tiles[0]) && inClearingSet(cell.tiles[8])));
    }
    rig.level.keyDown(kDown);
    rig.step(10);
    EXPECT_EQ(rig.level.state, LoseFadeOut);
    rig.step(1000, 2);
    EXPECT_EQ(rig.level.state, GameOver);
    EXPECT_EQ(rig.audio.volumes, (std::vector<int>{64, 0}));
}

}  // namespace
