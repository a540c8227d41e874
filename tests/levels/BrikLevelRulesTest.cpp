// The rules of play, driven with a scripted clock and scripted keys: spawning
// and its random draws, hazards, falling and locking, steering, clearing and
// scoring, the shake, the two ways a level ends, and what the playfield draws.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "BrikLevelRig.h"

namespace {

using namespace catalogue;

class Rules : public ::testing::Test {
protected:
    // An O locked on the right, then row 1 completed by an I standing in
    // column 0, up to the update that finds the full row.
    void clearOneRow() {
        rig.spawn(&gTetriminoO, 0, 8, 2);
        rig.runUntil(Spawn, 100);
        rig.fillRow(1, 0, 7);
        rig.spawn(&gTetriminoI, 1, 0, 3);
        rig.runUntil(CheckRows, 50);
        rig.renderer.fade = 0.7f;
        rig.step(10);
    }
    // Rows 0..3 completed by an I standing in column 9, and 20 ms after.
    void clearFourRows() {
        rig.linesToGo = 10;
        for (int r = 0; r < 4; ++r) {
            rig.fillRow(r, 9);
        }
        rig.spawn(&gTetriminoI, 1, 9, 0);
        rig.runUntil(Collapse, 50);
        rig.step(20);
    }
    // Five rows at once (one completed earlier, as by a dropped block) with
    // the default four to go and Down held.
    void winWithFiveRows() {
        rig.fillRow(0);
        for (int r = 1; r <= 4; ++r) {
            rig.fillRow(r, 0);
        }
        rig.spawn(&gTetriminoI, 1, 0, 1);
        rig.keyDown(kDown);
        rig.runUntil(Collapse, 50);
        rig.step(1);
    }
    // An S that cannot enter for one block, though it would fit turned, with
    // a turn asked for.
    void loseAtEntry() {
        rig.board.setCell(6, 19, 6);
        rig.keyDown(kUp);
        rig.spawn(&gTetriminoS);
    }
    // The draw calls of a frame in `state`, a T falling in orientation 1 at
    // (100, 200) being also the preview.
    std::string frame(uint8_t state) {
        rig.spawn(&gTetriminoT);
        rig.next = &gTetriminoT;
        gTetriminoT.orientation = 1;
        gTetriminoT.x = 100, gTetriminoT.y = 200;
        rig.state = state;
        rig.renderer.calls.clear();
        rig.draw();
        return rig.renderer.trace();
    }
    Rig rig;
};

// ---- Spawning

// The first spawn draws the preview, then the falling piece; each later
// spawn takes the preview down and draws the next one.
TEST_F(Rules, PiecesComeThroughThePreviewInTheOrderTheyAreDrawn) {
    std::srand(1234);
    const int first = std::rand() % kPieceCount, second = std::rand() % kPieceCount;
    const int third = std::rand() % kPieceCount;
    std::srand(1234);
    rig.step(16);
    EXPECT_EQ(typeOf(rig.next), first);
    EXPECT_EQ(typeOf(rig.current), second);
    rig.state = Spawn;
    rig.step(16);
    EXPECT_EQ(typeOf(rig.current), first);
    EXPECT_EQ(typeOf(rig.next), third);
}

TEST_F(Rules, EveryFallingPieceIsCountedOnceUnderItsType) {
    int seen[kPieceCount] = {};
    for (int spawn = 0; spawn < 50; ++spawn) {
        rig.state = Spawn;
        rig.step(16);
        ++seen[typeOf(rig.current)];
    }
    EXPECT_TRUE(std::equal(seen, seen + kPieceCount, rig.pieceCounts));
}

TEST_F(Rules, APieceEntersInColumnFourWithItsTopOnTheTopRow) {
    for (Tetrimino* piece : kPieceOfType) {
        rig.spawn(piece);
        EXPECT_EQ(rig.column, 4) << "type " << typeOf(piece);
        EXPECT_EQ(rig.row, piece == &gTetriminoI ? 19 : 18) << "type " << typeOf(piece);
    }
}

// ---- Hazards

// They act before the pieces are drawn, each drawing its colour first: block
// colour, block column, row colour, the row's ten holes, then the pieces.
TEST_F(Rules, HazardsDrawTheirRandomNumbersBeforeThePieces) {
    std::srand(99);
    int d[15];
    std::generate(std::begin(d), std::end(d), std::rand);
    std::srand(99);
    rig.blockDropPeriod = rig.garbageRowPeriod = 1;
    rig.blockDropColour = 0;  // 1 or less: a random colour each time
    rig.garbageRowColour = 1;
    rig.start();
    rig.step(16);
    // The block fell to the floor, then the garbage row lifted it by one.
    EXPECT_EQ(rig.board.at(d[1] % 9, 1).tiles[0], kSetOfColour[d[0] % 7 + 1]);
    for (int c = 0; c < kBoardColumns; ++c) {
        const Cell& cell = rig.board.at(c, 0);
        EXPECT_EQ(cell.filled() ? cell.tiles[0] : 0u,
                  d[3 + c] % 10 >= 7 ? 0u : kSetOfColour[d[2] % 7 + 1])
            << "column " << c;
    }
    EXPECT_EQ(typeOf(rig.next), d[13] % 7);
    EXPECT_EQ(typeOf(rig.current), d[14] % 7);
}

TEST_F(Rules, ABlockDropsAtEverySixthSpawnWithPeriodSix) {
    rig.blockDropPeriod = 6;
    rig.start();
    std::vector<int> blocks;
    for (int spawn = 1; spawn <= 12; ++spawn) {
        rig.state = Spawn;
        rig.step(16);
        blocks.push_back(rig.filledCount());
    }
    EXPECT_EQ(blocks, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2}));
}

TEST_F(Rules, DroppedBlocksFillColumnsZeroToEightUpToRowNine) {
    for (int i = 0; i < 500; ++i) {
        rig.dropBlock(2);
    }
    EXPECT_EQ(rig.filledCount(), 9 * 10);
}

// Some seeds draw no hole at all.
TEST_F(Rules, AGarbageRowAlwaysHasAHole) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::srand(seed);
        rig.board.clear();
        rig.raiseGarbageRow(5);
        EXPECT_LT(rig.filledCount(), kBoardColumns) << "seed " << seed;
    }
}

TEST_F(Rules, AGarbageRowThatLiftsTheStackIntoTheNewPieceEndsTheGame) {
    for (const int period : {0, 1}) {
        rig.start();
        for (int r = 0; r <= 17; ++r) {
            rig.board.setCell(4, r, 5);
        }
        rig.garbageRowPeriod = period;
        rig.keyDown(kLeft);
        rig.spawn(&gTetriminoJ);
        EXPECT_EQ(rig.state, period == 0 ? Landed : LoseWait) << "garbage period " << period;
        EXPECT_EQ(rig.lastKey, period == 0 ? kLeft : 0) << "garbage period " << period;
    }
}

// ---- Falling and locking

// Never more than one row per update, even after a long pause; without
// smooth motion the piece is drawn on its board square.
TEST_F(Rules, APieceFallsOneRowPerIntervalOnItsSquare) {
    rig.spawn(&gTetriminoT, 0, 3, 10);
    for (const auto& [ms, row, fallTime] : {std::tuple{249, 10, 249}, {1, 9, 0}, {100000, 8, 0}}) {
        rig.step(ms);
        EXPECT_EQ(rig.row, row) << "after " << ms << " ms more";
        EXPECT_EQ(rig.fallTime, fallTime) << "after " << ms << " ms more";
        EXPECT_EQ(rig.current->x, 60 + 20 * 3) << "after " << ms << " ms more";
        EXPECT_EQ(rig.current->y, 440 - 20 * row) << "after " << ms << " ms more";
    }
}

// 250 ms of rest, then one update more; Down held adds 100 ms of rest per
// update, whatever the update's time.
TEST_F(Rules, ALandedPieceLocksAfterItsRestAndOneUpdate) {
    for (const auto& [downHeld, ms, updatesOfRest] : {std::tuple{false, 50, 5}, {true, 5, 3}}) {
        Rig fresh;
        fresh.spawn(&gTetriminoO, 0, 4, 0);
        if (downHeld) {
            fresh.keyDown(kDown);
        }
        fresh.step(ms, updatesOfRest);  // touch-down, then the rest
        EXPECT_EQ(fresh.state, Landed) << "Down held: " << downHeld;
        fresh.step(ms);
        EXPECT_EQ(fresh.state, CheckRows) << "Down held: " << downHeld;
    }
}

TEST_F(Rules, APieceSlidOffItsSupportFallsOnceTheSlideHasEnded) {
    rig.board.setCell(5, 0, 3);
    rig.spawn(&gTetriminoO, 0, 4, 1);
    rig.step(30);
    rig.keyDown(kLeft);
    rig.step(30);
    rig.keyUp(kLeft);
    rig.step(30, 2);
    EXPECT_EQ(rig.state, Landed) << "still sliding, on column " << rig.column;
    rig.step(30);
    EXPECT_EQ(rig.state, Falling);
}

// ---- Steering

// One column per 100 ms slide until the wall, where it waits silently. The
// smooth picture starts on the old column and reaches the new one as the
// slide ends, 4 pixels per 20 ms.
TEST_F(Rules, AHeldArrowSlidesOneColumnEvery100MsUpToTheWall) {
    rig.interval = 100000;
    rig.smoothSlide = true;
    rig.keyDown(kLeft);
    rig.spawn(&gTetriminoO);
    std::vector<int> xs{rig.current->x}, expected{140};
    for (int i = 1; i <= 25; ++i) {
        rig.step(20);
        xs.push_back(rig.current->x);
        expected.push_back(std::max(140 - 4 * i, 60));
    }
    EXPECT_EQ(xs, expected);
    EXPECT_TRUE(rig.audio.samplesPlayed.empty());
}

// A slide begun in the update of a spawn gets no time in that update; it must
// still move the piece only once, and only where the way was tested.
TEST_F(Rules, ASlideBegunAtASpawnMovesThePieceOnce) {
    for (int r = 0; r <= 18; ++r) {
        rig.board.setCell(2, r, 4);
    }
    rig.keyDown(kLeft);
    rig.spawn(&gTetriminoJ);
    for (int i = 0; i < 400 && rig.state != CheckRows; ++i) {
        ASSERT_EQ(rig.column, 3) << "update " << i;
        rig.step(16);
    }
}

// Up tapped between two updates still turns the piece; Space tapped is
// withdrawn, Space held turns; each turn plays the rotate sound.
TEST_F(Rules, ATapBetweenUpdatesTurnsWithUpButNotWithSpace) {
    rig.interval = 100000;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    for (const auto& [key, released, turns] :
         {std::tuple{kUp, true, 1}, {kSpace, true, 0}, {kSpace, false, 1}, {0, false, 0}}) {
        const int before = gTetriminoT.orientation;
        const size_t sounds = rig.audio.samplesPlayed.size();
        rig.keyDown(key);
        if (released) {
            rig.keyUp(key);
        }
        rig.step(10);
        EXPECT_EQ(gTetriminoT.orientation - before, turns) << "key " << key;
        EXPECT_EQ(rig.audio.samplesPlayed.size() - sounds, size_t(turns)) << "key " << key;
    }
}

// A turn right at the entry would put the standing box above row 19.
TEST_F(Rules, ATurnAtTheTopKicksThePieceDownToFit) {
    rig.keyDown(kUp);
    rig.spawn(&gTetriminoT);
    EXPECT_EQ(gTetriminoT.orientation, 1);
    EXPECT_EQ(rig.row, 17);
}

// Codes outside 0..255 are not keys: none may pass for an arrow once kept in
// 16 bits.
TEST_F(Rules, CodesThatAreNoKeysSteerNothing) {
    rig.interval = 100000;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    for (int key : {-1, 256, 65536 + 37, 65536 + 38, 65536 + 40, -65536 + 39, 2147483647}) {
        rig.keyDown(key);
        rig.step(20);
        rig.keyUp(key);
    }
    EXPECT_EQ(rig.lastKey, 0);
    EXPECT_EQ(rig.downHeld, 0);
    EXPECT_EQ(rig.column, 4);
    EXPECT_EQ(gTetriminoT.orientation, 0);
}

// ---- Clearing rows

TEST_F(Rules, AFullRowTurnsIntoTheClearingSetAndTakesThePieceIn) {
    clearOneRow();
    EXPECT_EQ(rig.state, ClearFade);
    EXPECT_EQ(rig.current, nullptr);
    EXPECT_EQ(rig.renderer.fade, 0.0f);
    for (int c = 0; c < kBoardColumns; ++c) {
        EXPECT_TRUE(inClearingSet(rig.board.at(c, 1).tiles[0])) << "column " << c;
    }
}

TEST_F(Rules, AFullRowDarkensOver500MsThenGoes) {
    clearOneRow();
    for (const auto& [ms, fade] : {std::pair{100, 0.2f}, {150, 0.5f}, {250, 1.0f}}) {
        EXPECT_EQ(rig.state, ClearFade);
        rig.step(ms);
        EXPECT_FLOAT_EQ(rig.renderer.fade, fade) << "after another " << ms << " ms";
    }
    EXPECT_EQ(rig.state, Collapse);
    rig.step(10);
    EXPECT_EQ(rig.filledCount(), 5) << "three squares on the floor, two above";
}

// The O's lock scores 1; the I scores for its row, not for its lock. Each
// piece touched down once, with the touch sound.
TEST_F(Rules, ARowScoresTwentyAndPlaysTheOneRowSound) {
    clearOneRow();
    rig.runUntil(Spawn, 100);
    EXPECT_EQ(rig.score, 1 + 20);
    EXPECT_EQ(rig.linesToGo, 3);
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 5, 1}));
    EXPECT_EQ(rig.shakeAmplitude, 0.0f) << "one row does not shake";
}

// The O's lower half keeps only its join sideways; the I's square below the
// row loses its top join, the one above it its bottom join.
TEST_F(Rules, SquaresBesideARemovedRowStopLookingJoinedToIt) {
    clearOneRow();
    rig.runUntil(Spawn, 100);
    EXPECT_EQ(tilesOf(rig.board.at(8, 0)), joinedTiles(kTileSetO, {.right = true}));
    EXPECT_EQ(tilesOf(rig.board.at(9, 0)), joinedTiles(kTileSetO, {.left = true}));
    EXPECT_EQ(tilesOf(rig.board.at(0, 0)), joinedTiles(kTileSetI, {}));
    EXPECT_EQ(tilesOf(rig.board.at(0, 1)), joinedTiles(kTileSetI, {.up = true}));
}

// ---- The shake

// 20 per row past the first, less the 20 ms of the clearing update.
TEST_F(Rules, FourRowsPlayTheirSoundAndShakeBySixty) {
    clearFourRows();
    EXPECT_EQ(rig.audio.samplesPlayed.back(), 4);
    EXPECT_FLOAT_EQ(rig.shakeAmplitude, 60.0f - 1.0f);
    EXPECT_FLOAT_EQ(rig.shakePhase, 0.4f);
}

// Down by sin(1.5 phase) times the amplitude, then a tilt of sin(phase)
// degrees about the centre of the screen.
TEST_F(Rules, TheFieldMovesDownAndTiltsAboutTheScreenCentre) {
    clearFourRows();
    rig.draw();
    const std::vector<DrawCall> moves = rig.renderer.callsOf(DrawCall::Translate);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_NEAR(moves[0].fy, 33.314f, 0.001f);
    EXPECT_NEAR(rig.renderer.callsOf(DrawCall::Rotate).at(0).fx, 0.389f, 0.001f);
    EXPECT_EQ(std::tuple(moves[1].fx, moves[1].fy, moves[2].fx, moves[2].fy),
              std::tuple(160.0f, 240.0f, -160.0f, -240.0f));
}

// It loses 1 per 20 ms, none at the spawn, and is gone 1200 ms after the clear.
TEST_F(Rules, TheShakeDiesAwayAndThePhaseStopsWithIt) {
    clearFourRows();
    rig.step(20);  // the spawn: no time passes
    rig.step(20, 58);
    EXPECT_EQ(rig.shakeAmplitude, 1.0f);
    rig.step(20);
    const float phase = rig.shakePhase;
    rig.step(20);
    EXPECT_EQ(rig.shakeAmplitude, 0.0f);
    EXPECT_EQ(rig.shakePhase, phase);
    rig.renderer.calls.clear();
    rig.draw();
    EXPECT_TRUE(rig.renderer.callsOf(DrawCall::Translate).empty());
}

// ---- Winning and losing

TEST_F(Rules, FiveRowsPlayTheFifthSoundAndGoPastTheGoal) {
    winWithFiveRows();
    EXPECT_EQ(rig.score, 100);
    EXPECT_EQ(rig.linesToGo, -1);
    EXPECT_EQ(rig.state, WinWait);
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 5}));
    EXPECT_FLOAT_EQ(rig.shakeAmplitude, 80.0f - 1.0f / 20.0f);
}

// Down, still held from play, is no new key; a new one fades the music out
// over two seconds, 127 - 127 d / 2000 at d ms, then the level is complete.
TEST_F(Rules, ANewKeyAfterAWinFadesTheMusicOutOverTwoSeconds) {
    winWithFiveRows();
    rig.step(10);
    EXPECT_EQ(rig.state, WinWait) << "Down held from play ended the wait";
    rig.keyDown('A');
    rig.step(10);
    for (int ms : {500, 500, 500, 499, 1}) {
        EXPECT_EQ(rig.state, WinFadeOut);
        rig.step(ms);
    }
    EXPECT_EQ(rig.audio.volumes, (std::vector<int>{96, 64, 32, 1, 0}));
    EXPECT_EQ(rig.state, LevelComplete);
}

TEST_F(Rules, APieceThatCannotEnterLosesAndForgetsTheTurn) {
    loseAtEntry();
    EXPECT_EQ(rig.state, LoseWait);
    EXPECT_EQ(rig.rotateRequest, 0);
    EXPECT_EQ(gTetriminoS.orientation, 0);
}

// While the loss waits, the board shows cleared and no piece falls; a key
// then fades the music out to game over.
TEST_F(Rules, AfterALossTheBoardShowsClearedUntilAKeyFadesToGameOver) {
    loseAtEntry();
    rig.step(10);
    EXPECT_EQ(rig.current, nullptr);
    for (const Cell& cell : rig.board.cells) {
        EXPECT_TRUE(!cell.filled() ||
                    (inClearingSet(cell.tiles[0]) && inClearingSet(cell.tiles[8])));
    }
    rig.keyDown(kDown);
    rig.step(10);
    EXPECT_EQ(rig.state, LoseFadeOut);
    rig.step(1000, 2);
    EXPECT_EQ(rig.audio.volumes, (std::vector<int>{64, 0}));
    EXPECT_EQ(rig.state, GameOver);
}

// ---- Drawing

// The preview shows orientation 0 with its anchor at (200, 25).
TEST_F(Rules, BoardThenPieceThenPreviewInsideOneTransform) {
    EXPECT_EQ(frame(Falling),
              "Push Board Cell(100,200) Cell(100,180) Cell(120,180) Cell(100,160) "
              "Cell(200,25) Cell(220,25) Cell(240,25) Cell(220,5) Pop");
}

TEST_F(Rules, TheGameOverPlateShowsWhileALossWaitsAndFades) {
    const std::string plate = "Centered(160,400," + std::to_string(kGameOver) + ") Pop";
    for (uint8_t state : std::initializer_list<uint8_t>{Falling, LoseWait, LoseFadeOut, WinWait}) {
        const bool lost = state == LoseWait || state == LoseFadeOut;
        EXPECT_EQ(frame(state).ends_with(plate), lost) << "state " << int{state};
    }
}

}  // namespace
