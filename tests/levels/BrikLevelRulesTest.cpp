// The rules of play, driven with a scripted clock and scripted keys: spawning
// and its random draws, hazards, steering, falling and locking, clearing and
// scoring, the two ways a level ends, odd input, and what the playfield draws.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "BrikLevelRig.h"

namespace {

bool inClearingSet(uint8_t tile) {
    return tile >= 148 && tile < 168;
}

// The first spawn draws the preview, then the falling piece; only falling
// pieces are counted. Hazards draw before the pieces, each its colour first:
// block colour, block column, row colour, the row's ten holes.
TEST(BrikLevelSpawn, RandomDrawsComeInTheirOrder) {
    std::srand(1234);
    const int preview = std::rand() % 7, falling = std::rand() % 7, preview2 = std::rand() % 7;
    std::srand(1234);
    Rig rig;
    rig.step(16);
    EXPECT_EQ(vals(typeOf(rig.next), typeOf(rig.current), rig.row, rig.column),
              vals(preview, falling, falling == 6 ? 19 : 18, 4));
    rig.state = Spawn;
    rig.step(16);
    EXPECT_EQ(vals(typeOf(rig.current), typeOf(rig.next)), vals(preview, preview2));
    EXPECT_EQ(vals(rig.pieceCounts[falling], rig.pieceCounts[preview]),
              falling == preview ? vals(2, 2) : vals(1, 1));

    std::srand(99);
    int d[15];
    std::generate(std::begin(d), std::end(d), std::rand);
    std::srand(99);
    Rig hazards;
    hazards.blockDropPeriod = hazards.garbageRowPeriod = 1;
    hazards.blockDropColour = 0;  // 1 or less: a random colour each time
    hazards.garbageRowColour = 1;
    hazards.start();
    hazards.step(16);
    // The block fell to the floor, then the garbage row lifted it by one.
    EXPECT_EQ(
        vals(hazards.board.at(d[1] % 9, 1).tiles[0], typeOf(hazards.next), typeOf(hazards.current)),
        vals(kBase[d[0] % 7 + 1], d[13] % 7, d[14] % 7));
    for (int c = 0; c < 10; ++c) {
        const Cell& cell = hazards.board.at(c, 0);
        EXPECT_EQ(cell.filled() ? cell.tiles[0] : -1,
                  d[3 + c] % 10 >= 7 ? -1 : kBase[d[2] % 7 + 1]);
    }
}

// A block drops every sixth spawn, onto its column below row 9 and never in
// column 9. A garbage row always has a hole (some seeds draw none); lifting
// the stack into the new piece it ends the game.
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
    for (int i = 0; i < 500; ++i) {
        rig.dropBlock(2);
    }
    EXPECT_EQ(rig.filledCount(), 9 * 10) << "columns 0..8 filled up to row 9";
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::srand(seed);
        Rig lifted;
        lifted.raiseGarbageRow(5);
        EXPECT_LT(lifted.filledCount(), 10) << seed;
    }
    for (int period : {0, 1}) {
        Rig lifted;
        for (int r = 0; r <= 17; ++r) {
            lifted.board.setCell(4, r, 5);
        }
        lifted.garbageRowPeriod = period;
        lifted.keyDown(kLeft);
        lifted.spawn(&gTetriminoJ);
        EXPECT_EQ(vals(lifted.state, lifted.lastKey),
                  period == 0 ? vals(Landed, kLeft) : vals(LoseWait, 0));
    }
}

// One row per interval, never more than one per update (a long pause too).
TEST(BrikLevelFall, OneRowPerInterval) {
    Rig rig;
    rig.spawn(&gTetriminoT, 0, 4, 10);
    for (const auto& [ms, row, fallTime] : {std::tuple{249, 10, 249}, {1, 9, 0}, {100000, 8, 0}}) {
        rig.step(ms);
        EXPECT_EQ(vals(rig.row, rig.fallTime, rig.current->y),
                  vals(row, fallTime, (22 - row) * 20));
    }
}

// A landed piece (sample 5) locks after the interval plus one update; Down
// held shortens the delay per update.
TEST(BrikLevelFall, TheLockDelay) {
    for (const bool down : {false, true}) {
        Rig rig;
        rig.spawn(&gTetriminoO, 0, 4, 0);
        rig.keyDown(down ? kDown : 0);
        int updates = 0;
        do {
            rig.step(down ? 5 : 50);
        } while (++updates < 10 && rig.state == Landed);
        EXPECT_EQ(vals(updates, rig.state), vals(down ? 4 : 6, CheckRows)) << "down " << down;
        EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5}));
    }
}

TEST(BrikLevelFall, APieceSlidOffItsSupportFallsOnceTheSlideHasEnded) {
    Rig rig;
    rig.board.setCell(5, 0, 3);
    rig.spawn(&gTetriminoO, 0, 4, 1);
    rig.step(30);
    rig.keyDown(kLeft);
    rig.step(30);
    rig.keyUp(kLeft);
    rig.step(30, 2);
    EXPECT_EQ(vals(rig.column, rig.state), vals(3, Landed)) << "still sliding";
    rig.step(30);
    EXPECT_EQ(vals(rig.state, rig.audio.samplesPlayed.size()), vals(Falling, 1));
}

// One column per 100 ms slide until the wall, where it waits silently. The
// move happens at once; the smooth picture starts on the old column and
// reaches the new one as the slide ends, 4 pixels per 20 ms.
TEST(BrikLevelSteer, AHeldArrowSlidesOneColumnAtATimeUpToTheWall) {
    Rig rig;
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
    EXPECT_EQ(vals(rig.column, rig.audio.samplesPlayed.size()), vals(0, 0));
    EXPECT_EQ(xs, expected);
}

// A slide begun in the update of a spawn gets no time in that update; it must
// still move the piece only once, and only where the way was tested.
TEST(BrikLevelSteer, ASlideBegunAtASpawnMovesThePieceOnce) {
    Rig rig;
    for (int r = 0; r <= 18; ++r) {
        rig.board.setCell(2, r, 4);
    }
    rig.keyDown(kLeft);
    rig.spawn(&gTetriminoJ);
    for (int i = 0; i < 400 && rig.state != CheckRows; ++i) {
        ASSERT_EQ(rig.column, 3) << "update " << i;
        rig.step(16);
    }
    EXPECT_EQ(
        vals(rig.board.at(3, 0).filled(), rig.board.at(3, 1).filled(), rig.board.at(2, 0).tiles[0]),
        vals(1, 1, 63));
}

// Up leaves its turn pending when released before the update; Space withdraws
// it. One turn per key-down, each with sample 0. Codes outside 0..255 are not
// keys: none may pass for an arrow once kept in 16 bits. Cells and rows off
// the board are ignored.
TEST(BrikLevelSteer, UpTappedBetweenUpdatesTurnsButSpaceTappedAndOddInputDoNot) {
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
    for (int key : {-1, 256, 65536 + 37, 65536 + 38, 65536 + 40, -65536 + 39, 2147483647}) {
        rig.keyDown(key);
        rig.step(20);
        rig.keyUp(key);
    }
    EXPECT_EQ(vals(rig.lastKey, rig.column, gTetriminoT.orientation, rig.downHeld),
              vals(0, 4, 2, 0));
    for (int r = 0; r < 20; ++r) {
        rig.fillRow(r, -1, r % 7 + 1);
    }
    Cell before[catalogue::kBoardCells];
    std::memcpy(before, rig.board.cells, sizeof(before));
    for (const auto& [col, row] : {std::pair{-1, 0}, {10, 0}, {0, -1}, {0, 20}, {99999, -99999}}) {
        rig.board.setCell(col, row, 3);
    }
    for (int row : {-1, 20, -100000, 100000}) {
        rig.board.closeLowerEdges(row);
        rig.board.closeUpperEdges(row);
        rig.board.markClearing(row);
    }
    EXPECT_EQ(std::memcmp(before, rig.board.cells, sizeof(before)), 0);
}

// A piece scores 1 as it locks. A completed row turns to the clearing set,
// darkens over 500 ms, then goes for 20 with sample 1. The squares on both
// sides of it stop looking joined to it: the O's lower half and the I's
// square below get their top edge closed, the I's square above its bottom.
TEST(BrikLevelClear, ALockScoresOneAndACompletedRowFadesThenScoresTwenty) {
    Rig rig;
    rig.spawn(&gTetriminoO, 0, 8, 2);
    rig.runUntil(Spawn, 100);
    EXPECT_EQ(rig.score, 1);
    rig.fillRow(1, 0, 7);  // over the O's upper half too
    rig.spawn(&gTetriminoI, 1, 0, 3);
    rig.runUntil(CheckRows, 50);
    rig.renderer.fade = 0.7f;
    rig.step(10);
    ASSERT_EQ(vals(rig.state, rig.current == nullptr, rig.renderer.fade * 1000),
              vals(ClearFade, 1, 0));
    EXPECT_TRUE(inClearingSet(rig.board.at(0, 1).tiles[0]) &&
                inClearingSet(rig.board.at(5, 1).tiles[8]));
    for (const auto& [ms, fade] : {std::pair{100, 0.2f}, {150, 0.5f}, {250, 1.0f}}) {
        rig.step(ms);
        EXPECT_FLOAT_EQ(rig.renderer.fade, fade) << "after " << ms;
        EXPECT_EQ(rig.state, fade < 1.0f ? ClearFade : Collapse);
    }
    rig.step(10);
    EXPECT_EQ(vals(rig.score, rig.linesToGo, rig.state, rig.filledCount(), rig.shakeAmplitude),
              vals(21, 3, Spawn, 5, 0));
    EXPECT_EQ(rig.audio.samplesPlayed, (std::vector<int>{5, 5, 1}));
    std::vector<int> tiles;
    for (const auto& [c, r] : {std::pair{8, 0}, {9, 0}, {0, 0}, {0, 1}}) {
        tiles.insert(tiles.end(), rig.board.at(c, r).tiles, rig.board.at(c, r).tiles + 9);
    }
    EXPECT_EQ(tiles, (std::vector<int>{
                         22,  24,  35,  27,  28,  39,  30,  32,  40,   // O lower left
                         35,  24,  25,  39,  28,  29,  40,  32,  33,   // O lower right
                         128, 130, 131, 133, 134, 135, 136, 138, 139,  // I below the row
                         128, 130, 131, 133, 134, 135, 142, 143, 144,  // I above the row
                     }));
}

// Four rows shake the field by 20 per row past the first: down by sin(1.5
// phase) times the amplitude and a tilt of sin(phase) degrees about the
// window centre. The shake loses 1 per 20 ms, none at the spawn, and the
// phase stops with it.
TEST(BrikLevelClear, FourRowsShakeTheFieldAndTheShakeDies) {
    Rig rig;
    rig.linesToGo = 10;
    for (int r = 0; r < 4; ++r) {
        rig.fillRow(r, 9);
    }
    rig.spawn(&gTetriminoI, 1, 9, 0);
    rig.runUntil(Collapse, 50);
    rig.step(20);
    EXPECT_EQ(
        vals(rig.audio.samplesPlayed.back(), rig.shakeAmplitude * 1000, rig.shakePhase * 1000),
        vals(4, 59000, 400));
    rig.draw();
    ASSERT_EQ(rig.renderer.trace().substr(0, 40), "Push Translate Translate Rotate Translat");
    std::vector<long> moves;  // in thousandths
    for (int k = 1; k <= 4; ++k) {
        moves.insert(moves.end(), {std::lround(rig.renderer.calls[k].fx * 1000),
                                   std::lround(rig.renderer.calls[k].fy * 1000)});
    }
    EXPECT_EQ(moves, (std::vector<long>{0, 33314, 160000, 240000, 389, 0, -160000, -240000}));
    rig.step(20);  // the spawn: no time passes
    rig.step(20, 58);
    EXPECT_EQ(rig.shakeAmplitude, 1.0f);
    rig.step(20);
    const float phase = rig.shakePhase;
    rig.step(20);
    rig.renderer.calls.clear();
    rig.draw();
    EXPECT_EQ(vals(rig.shakeAmplitude, rig.shakePhase == phase, std::lround(phase * 100),
                   rig.renderer.calls[1].kind),
              vals(0, 1, 2400, DrawCall::Board));
}

// Win: five rows at once (one completed earlier by a dropped block) play
// sample 5 and go past the goal; a key pressed after the clear starts the 2 s
// fade of the music, then the level is complete.
// Loss: a piece that cannot enter; the board shows as cleared.
TEST(BrikLevelEnd, BothEndsWaitForAKeyAndFadeTheMusicOut) {
    Rig rig;
    rig.fillRow(0);
    for (int r = 1; r <= 4; ++r) {
        rig.fillRow(r, 0);
    }
    rig.spawn(&gTetriminoI, 1, 0, 1);
    rig.keyDown(kDown);
    rig.runUntil(Collapse, 50);
    rig.step(1);
    EXPECT_EQ(vals(rig.score, rig.linesToGo, rig.state, rig.downHeld,
                   rig.audio.samplesPlayed == std::vector<int>{5, 5}),
              vals(100, -1, WinWait, 0, 1));
    EXPECT_FLOAT_EQ(rig.shakeAmplitude, 80.0f - 1.0f / 20.0f);
    rig.step(10);
    EXPECT_EQ(rig.state, WinWait) << "Down held from the drop is no new key";
    rig.keyDown(65);
    rig.step(10);
    for (int ms : {500, 500, 500, 499, 1}) {
        EXPECT_EQ(rig.state, WinFadeOut);
        rig.step(ms);
    }
    EXPECT_EQ(vals(rig.state, rig.audio.volumes == std::vector<int>{96, 64, 32, 1, 0}),
              vals(LevelComplete, 1));

    Rig lost;
    lost.fillRow(19, -1, 6);
    lost.keyDown(kUp);
    lost.spawn(&gTetriminoS);
    EXPECT_EQ(vals(lost.state, lost.rotateRequest, gTetriminoS.orientation), vals(LoseWait, 0, 0));
    lost.step(10);
    EXPECT_EQ(vals(lost.state, lost.current == nullptr), vals(LoseWait, 1));
    for (const Cell& cell : lost.board.cells) {
        EXPECT_TRUE(!cell.filled() ||
                    (inClearingSet(cell.tiles[0]) && inClearingSet(cell.tiles[8])));
    }
    lost.keyDown(kDown);
    lost.step(10);
    EXPECT_EQ(lost.state, LoseFadeOut);
    lost.step(1000, 2);
    EXPECT_EQ(vals(lost.state, lost.audio.volumes == std::vector<int>{64, 0}), vals(GameOver, 1));
}

// Board, falling piece, then the preview at (200, 25) in orientation 0, all
// inside one saved transform. The preview borrows the shared piece: when it
// is the falling piece too, the falling piece keeps its own place and turn.
// The game-over picture shows only while a loss waits and fades.
TEST(BrikLevelDraw, BoardThenPieceThenPreviewThenGameOverPicture) {
    Rig rig;
    rig.spawn(&gTetriminoT);
    rig.next = &gTetriminoT;
    gTetriminoT.orientation = 1;
    gTetriminoT.x = 100, gTetriminoT.y = 200;
    for (uint8_t state :
         std::initializer_list<uint8_t>{Falling, LoseWait, LoseFadeOut, WinWait, GameOver}) {
        rig.state = state;
        rig.renderer.calls.clear();
        rig.draw();
        const bool lost = state == LoseWait || state == LoseFadeOut;
        EXPECT_EQ(rig.renderer.trace(),
                  std::string("Push Board Cell(100,200) Cell(100,180) Cell(120,180) "
                              "Cell(100,160) Cell(200,25) Cell(220,25) Cell(240,25) "
                              "Cell(220,5) ") +
                      (lost ? "Centered(160,400,198) Pop" : "Pop"))
            << "state " << int(state);
        EXPECT_EQ(vals(gTetriminoT.orientation, gTetriminoT.x, gTetriminoT.y), vals(1, 100, 200));
    }
}

}  // namespace
