// The rules of play, driven with a scripted clock and scripted keys: spawning
// and its random draws, steering, falling, landing and locking, clearing and
// scoring, hazards, and the two ways a level ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "BrikLevelRig.h"

namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kSpace = 32;

bool inClearingSet(uint8_t tile) {
    return tile >= 148 && tile <= 167;
}

// ---------------------------------------------------------------- spawning

TEST(BrikLevelSpawn, FirstSpawnDrawsThePreviewFirstThenTheFallingPiece) {
    std::srand(1234);
    const int previewType = std::rand() % 7;
    const int fallingType = std::rand() % 7;
    const int secondPreviewType = std::rand() % 7;
    std::srand(1234);

    Rig rig;
    rig.step(16);
    EXPECT_EQ(rig.level.next, kPieceOfType[previewType]);
    EXPECT_EQ(rig.level.current, kPieceOfType[fallingType]);
    EXPECT_EQ(rig.level.nextType, previewType);
    EXPECT_EQ(rig.level.row, fallingType == 6 ? 19 : 18);
    EXPECT_EQ(rig.level.column, 4);
    EXPECT_EQ(rig.level.state, Falling);
    int counted[7] = {};
    ++counted[fallingType];
    for (int t = 0; t < 7; ++t) {
        EXPECT_EQ(rig.level.pieceCounts[t], counted[t]) << "type " << t;
    }

    rig.level.state = Spawn;
    rig.step(16);
    EXPECT_EQ(rig.level.current, kPieceOfType[previewType]);
    EXPECT_EQ(rig.level.next, kPieceOfType[secondPreviewType]);
    ++counted[previewType];
    for (int t = 0; t < 7; ++t) {
        EXPECT_EQ(rig.level.pieceCounts[t], counted[t]) << "type " << t;
    }
}

TEST(BrikLevelSpawn, HazardsDrawTheirNumbersBeforeThePieces) {
    std::srand(99);
    const int blockColour = std::rand() % 7 + 1;
    const int blockColumn = std::rand() % 9;
    const int rowColour = std::rand() % 7 + 1;
    bool hole[10];
    bool anyHole = false;
    for (bool& h : hole) {
        h = std::rand() % 10 >= 7;
        anyHole = anyHole || h;
    }
    const int previewType = std::rand() % 7;
    const int fallingType = std::rand() % 7;
    std::srand(99);

    Rig rig;
    rig.level.blockDropPeriod = 1;
    rig.level.blockDropColour = 0;  // random colour each time
    rig.level.garbageRowPeriod = 1;
    rig.level.garbageRowColour = 1;
    rig.level.start();
    rig.step(16);

    const uint8_t bases[8] = {148, 128, 86, 22, 63, 106, 168, 42};
    // The block fell to the floor, then the garbage row lifted it by one.
    const Cell& block = rig.level.cellAt(blockColumn, 1);
    EXPECT_TRUE(block.filled());
    EXPECT_EQ(block.tiles[0], bases[blockColour]);
    for (int c = 0; c < 10; ++c) {
        const bool expectHole = hole[c] || (!anyHole && c == 0);
        const Cell& cell = rig.level.cellAt(c, 0);
        EXPECT_EQ(cell.filled(), !expectHole) << "column " << c;
        if (cell.filled()) {
            EXPECT_EQ(cell.tiles[0], bases[rowColour]) << "column " << c;
        }
    }
    EXPECT_EQ(rig.level.next, kPieceOfType[previewType]);
    EXPECT_EQ(rig.level.current, kPieceOfType[fallingType]);
}

TEST(BrikLevelSpawn, TheFirstDroppedBlockComesAtTheSixthSpawn) {
    Rig rig;
    rig.level.blockDropPeriod = 6;
    rig.level.blockDropColour = 3;
    rig.level.start();
    std::vector<int> filledAfterSpawn;
    for (int spawn = 1; spawn <= 12; ++spawn) {
        rig.level.state = Spawn;
        rig.step(16);
        filledAfterSpawn.push_back(rig.filledCount());
    }
    EXPECT_EQ(filledAfterSpawn, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2}));
}

TEST(BrikLevelSpawn, AGarbageRowThatReachesTheNewPieceEndsTheGame) {
    Rig rig;
    for (int r = 0; r <= 17; ++r) {
        rig.level.setCell(4, r, 5);  // a column ending just under the spawn position
    }
    rig.spawn(&gTetriminoJ);
    EXPECT_EQ(rig.level.state, Landed) << "the column alone leaves room";

    Rig lifted;
    for (int r = 0; r <= 17; ++r) {
        lifted.level.setCell(4, r, 5);
    }
    lifted.level.garbageRowPeriod = 1;
    lifted.level.keyDown(kLeft);
    lifted.spawn(&gTetriminoJ);
    EXPECT_EQ(lifted.level.state, LoseWait);
    EXPECT_EQ(lifted.level.lastKey, 0);
    EXPECT_EQ(lifted.level.rotateRequest, 0);
}

// ---------------------------------------------------------------- falling and locking

TEST(BrikLevelFall, OneRowPerIntervalAndNeverMoreThanOnePerUpdate) {
    Rig rig;
    rig.spawnAt(&gTetriminoT, 0, 4, 10);
    rig.step(249);
    EXPECT_EQ(rig.level.row, 10);
    rig.step(1);
    EXPECT_EQ(rig.level.row, 9);
    EXPECT_EQ(rig.level.fallTime, 0);
    rig.step(100000);  // a long pause
    EXPECT_EQ(rig.level.row, 8);
    EXPECT_EQ(rig.level.current->y, (22 - 8) * 20);
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 4);
}

TEST(BrikLevelFall, DownSpeedsTheFallPerUpdateUntilReleased) {
    Rig rig;
    rig.spawnAt(&gTetriminoT, 0, 4, 10);
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
        rig.spawnAt(&gTetriminoO, 0, 4, 0);
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
    rig.spawnAt(&gTetriminoO, 0, 4, 1);
    rig.step(30);
    ASSERT_EQ(rig.level.state, Landed);
    rig.level.keyDown(kLeft);
    rig.step(30);
    rig.level.keyUp(kLeft);
    EXPECT_EQ(rig.level.column, 3);
    rig.step(30);
    rig.step(30);
    EXPECT_EQ(rig.level.state, Landed) << "still sliding";
    rig.step(30);
    EXPECT_EQ(rig.level.state, Falling);
    rig.runUntilPlaced(50);
    EXPECT_TRUE(rig.level.cellAt(3, 0).filled());
    EXPECT_TRUE(rig.level.cellAt(4, 0).filled());
}

// ---------------------------------------------------------------- steering

TEST(BrikLevelSteer, AHeldArrowMovesOneColumnPerSlide) {
    Rig rig;
    rig.level.interval = 100000;
    rig.level.keyDown(kLeft);
    rig.spawn(&gTetriminoT);
    std::vector<int> columns{rig.level.column};
    for (int i = 0; i < 11; ++i) {
        rig.step(20);
        columns.push_back(rig.level.column);
    }
    EXPECT_EQ(columns, (std::vector<int>{3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1}));
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
    for (int i = 0; i < 400 && rig.level.current != nullptr; ++i) {
        rig.step(16);
        ASSERT_GE(rig.level.column, 3) << "update " << i;
        if (rig.level.state == Falling || rig.level.state == Landed) {
            ASSERT_FALSE(rig.pieceBlocked()) << "update " << i;
        }
        if (rig.level.state == CheckRows) {
            break;
        }
    }
    EXPECT_EQ(rig.level.state, CheckRows);
    EXPECT_TRUE(rig.level.cellAt(3, 0).filled());
    EXPECT_TRUE(rig.level.cellAt(3, 1).filled());
    EXPECT_EQ(rig.level.cellAt(2, 0).tiles[0], 63) << "the column keeps its own squares";
}

TEST(BrikLevelSteer, AHeldArrowAgainstAWallOrBlockWaitsSilentlyForTheWay) {
    Rig rig;
    rig.level.interval = 100000;
    rig.spawnAt(&gTetriminoO, 0, 0, 10);
    rig.level.keyDown(kLeft);
    for (int i = 0; i < 10; ++i) {
        rig.step(20);
    }
    EXPECT_EQ(rig.level.column, 0);
    EXPECT_EQ(rig.level.current->x, 60);

    rig.level.keyUp(kLeft);
    rig.spawnAt(&gTetriminoO, 0, 3, 10);
    rig.level.setCell(2, 11, 3);
    rig.level.keyDown(kLeft);
    for (int i = 0; i < 10; ++i) {
        rig.step(20);
    }
    EXPECT_EQ(rig.level.column, 3);
    rig.level.cellAt(2, 11).empty = 1;
    rig.step(20);
    EXPECT_EQ(rig.level.column, 2);
    EXPECT_TRUE(rig.audio.samplesPlayed.empty());
}

TEST(BrikLevelSteer, SmoothSlideDrawsThePieceBetweenItsColumns) {
    Rig rig;
    rig.level.interval = 100000;
    rig.level.smoothSlide = true;
    rig.spawnAt(&gTetriminoO, 0, 4, 10);
    rig.level.keyDown(kRight);
    rig.step(25);  // the move happens now; the picture starts on the old column
    EXPECT_EQ(rig.level.column, 5);
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 4 + 5);
    rig.level.keyUp(kRight);
    rig.level.keyDown(kLeft);
    rig.step(75);  // the right slide ends
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 5);
    rig.step(30);
    EXPECT_EQ(rig.level.column, 4);
    EXPECT_EQ(rig.level.current->x, 60 + 20 * 5 - 6);
}

// Up leaves its turn pending when released before the update; Space withdraws it.
TEST(BrikLevelSteer, UpTappedBetweenUpdatesTurnsButSpaceTappedDoesNot) {
    Rig rig;
    rig.level.interval = 100000;
    rig.spawnAt(&gTetriminoT, 0, 4, 10);
    rig.level.keyDown(kUp);
    rig.level.keyUp(kUp);
    rig.step(10);
    EXPECT_EQ(gTetriminoT.orientation, 1);
    rig.level.keyDown(kSpace);
    rig.level.keyUp(kSpace);
    rig.step(10);
    EXPECT_EQ(gTetriminoT.orientation, 1);
    rig.level.keyDown(kSpace);
    rig.step(10);
    EXPECT_EQ(gTetriminoT.orientation, 2);
    rig.step(10);
    EXPECT_EQ(gTetriminoT.orientation, 2) << "one turn per key-down";
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{0, 0}));
}

TEST(BrikLevelSteer, ATurnAtTheTopIsKickedDown) {
    Rig rig;
    rig.spawn(&gTetriminoT);
    rig.step(100);
    rig.level.keyDown(kUp);
    rig.step(10);
    EXPECT_EQ(gTetriminoT.orientation, 1);
    EXPECT_EQ(rig.level.row, 17);
    EXPECT_EQ(rig.level.fallTime, 10) << "restarted at the kick, then this update's time";
}

// Between two rows the turned piece must fit on both.
TEST(BrikLevelSteer, ATurnBetweenRowsNeedsRoomOnBothRows) {
    Rig rig;
    rig.level.interval = 100000;
    rig.level.setCell(5, 11, 3);  // only the turned J one row lower would cover it
    rig.spawnAt(&gTetriminoJ, 0, 4, 10);
    rig.level.keyDown(kUp);
    rig.step(10);
    EXPECT_EQ(gTetriminoJ.orientation, 1) << "fallTime 0: one row to fit";

    rig.spawnAt(&gTetriminoJ, 0, 4, 10);
    rig.step(10);
    rig.level.keyDown(kUp);
    rig.step(10);
    EXPECT_EQ(gTetriminoJ.orientation, 0) << "between rows: refused";
    EXPECT_EQ(rig.level.rotateRequest, 0) << "a refused turn is forgotten";
}

// ---------------------------------------------------------------- clearing and scoring

TEST(BrikLevelClear, APieceThatCompletesNoRowScoresOne) {
    Rig rig;
    rig.spawnAt(&gTetriminoO, 0, 4, 2);
    rig.runUntilPlaced(100);
    rig.step(10);
    EXPECT_EQ(rig.level.score, 1);
    EXPECT_EQ(rig.level.state, Spawn);
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5}));
}

TEST(BrikLevelClear, ACompletedRowFadesOverHalfASecondThenScoresTwenty) {
    Rig rig;
    for (int c = 4; c < 10; ++c) {
        rig.level.setCell(c, 0, 7);
    }
    rig.spawnAt(&gTetriminoI, 0, 0, 3);
    rig.runUntilPlaced(50);
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
    rig.step(100);
    EXPECT_FLOAT_EQ(rig.renderer.fade, 0.2f);
    rig.step(150);
    EXPECT_FLOAT_EQ(rig.renderer.fade, 0.5f);
    EXPECT_EQ(rig.level.state, ClearFade);
    rig.step(250);
    EXPECT_FLOAT_EQ(rig.renderer.fade, 1.0f);
    EXPECT_EQ(rig.level.state, Collapse);
    rig.step(10);
    EXPECT_EQ(rig.level.score, 20);
    EXPECT_EQ(rig.level.linesToGo, 3);
    EXPECT_EQ(rig.level.state, Spawn);
    EXPECT_EQ(rig.filledCount(), 0);
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 1}));
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 0.0f);
}

// An O whose lower squares complete row 18: its upper squares stop looking
// joined downward before the row goes, and keep that look after.
TEST(BrikLevelClear, SquaresAboveAClearedRowHaveTheirEdgeClosed) {
    Rig rig;
    rig.spawnAt(&gTetriminoO, 0, 8, 18);
    rig.level.setCell(8, 17, 3);
    rig.level.setCell(9, 17, 3);
    for (int c = 0; c < 8; ++c) {
        rig.level.setCell(c, 18, 6);
    }
    rig.runUntilPlaced(50);
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

TEST(BrikLevelClear, FourRowsShakeTheFieldAndTheShakeDiesAfter1200ms) {
    Rig rig;
    rig.level.linesToGo = 10;
    for (int r = 0; r < 4; ++r) {
        rig.fillRow(r, 9);
    }
    rig.spawnAt(&gTetriminoI, 1, 9, 0);
    rig.runUntilPlaced(50);
    rig.clearRows(20);
    EXPECT_EQ(rig.audio.samplesPlayed.back(), 4);
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 59.0f);
    EXPECT_FLOAT_EQ(rig.level.shakePhase, 0.4f);
    rig.step(20);  // the spawn: no time passes
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 59.0f);
    for (int i = 0; i < 58; ++i) {
        rig.step(20);
    }
    EXPECT_GT(rig.level.shakeAmplitude, 0.0f);
    rig.step(20);
    EXPECT_LE(rig.level.shakeAmplitude, 0.0f);
    const float phase = rig.level.shakePhase;
    EXPECT_NEAR(phase, 24.0f, 0.01f);
    rig.step(20);
    EXPECT_EQ(rig.level.shakePhase, phase) << "no shake, no phase";
}

// A row completed earlier by a dropped block goes with the four a piece completes.
TEST(BrikLevelClear, FiveRowsAtOncePlaySampleFiveAndShakeHardest) {
    Rig rig;
    rig.fillRow(0);
    for (int r = 1; r <= 4; ++r) {
        rig.fillRow(r, 0);
    }
    rig.spawnAt(&gTetriminoI, 1, 0, 1);
    rig.runUntilPlaced(50);
    rig.clearRows(1);
    EXPECT_EQ(rig.level.score, 100);
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 5}));
    EXPECT_FLOAT_EQ(rig.level.shakeAmplitude, 80.0f - 1.0f / 20.0f);
    EXPECT_EQ(rig.level.linesToGo, -1);
    EXPECT_EQ(rig.level.state, WinWait);
}

TEST(BrikLevelClear, UpDuringAClearTurnsTheNextPieceAtItsSpawnButSpaceIsWithdrawn) {
    for (int key : {kUp, kSpace}) {
        Rig rig;
        rig.level.setCell(0, 0, 3);
        for (int c = 3; c < 10; ++c) {
            rig.level.setCell(c, 0, 3);
        }
        rig.spawnAt(&gTetriminoI, 0, 0, 4);
        rig.level.nextType = 5;
        rig.runUntilPlaced(50);  // lands on row 1: no row yet
        rig.step(10);
        rig.level.next = &gTetriminoJ;
        rig.level.nextType = 4;
        rig.level.state = Spawn;
        rig.step(1);
        rig.level.column = 1;
        rig.level.row = 0;
        gTetriminoJ.orientation = 1;  // upright, filling the gap at (1..2, 0)
        rig.level.setCell(2, 0, 3);
        rig.level.next = &gTetriminoT;
        rig.level.nextType = 5;
        rig.runUntilPlaced(50);
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
    rig.level.keyDown(kRight);
    rig.spawnAt(&gTetriminoI, 1, 0, 0);
    rig.level.keyUp(kRight);
    rig.level.keyDown(kDown);
    rig.runUntilPlaced(50);
    rig.clearRows();
    EXPECT_EQ(rig.level.linesToGo, -2);
    EXPECT_EQ(rig.level.score, 60);
    EXPECT_EQ(rig.level.state, WinWait);
    EXPECT_EQ(rig.level.downHeld, 0);
    rig.step(10);
    rig.step(10);
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
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 20; ++r) {
            const Cell& cell = rig.level.cellAt(c, r);
            if (cell.filled()) {
                EXPECT_TRUE(inClearingSet(cell.tiles[0])) << c << ", " << r;
                EXPECT_TRUE(inClearingSet(cell.tiles[8])) << c << ", " << r;
            }
        }
    }
    rig.level.keyDown(kDown);
    rig.step(10);
    EXPECT_EQ(rig.level.state, LoseFadeOut);
    rig.step(1000);
    rig.step(1000);
    EXPECT_EQ(rig.level.state, GameOver);
    EXPECT_EQ(rig.audio.volumes, (std::vector<int>{64, 0}));
}

}  // namespace
