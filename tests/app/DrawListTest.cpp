// What the draw list keeps of a frame: a replay makes every call as drawn,
// and any change makes a new frame.

#include <gtest/gtest.h>

#include "app/DrawList.h"
#include "fakes/FakeRenderer.h"
#include "levels/Board.h"

namespace {

// Every kind of call, each with arguments of its own, over `board` at `fade`.
void drawEveryCall(Renderer& r, const Cell* board, float fade) {
    static const Cell piece(0, 1, 2, 3, 4, 5, 6, 7, 8, 9);
    r.fade = fade;
    r.clear();
    r.drawBoard(board);
    r.pushTransform();
    r.translate(1.5f, -2.0f);
    r.rotate(0.25f);
    r.drawCell(80, 100, &piece);
    r.popTransform();
    r.drawTextureScaled(0, 40, 30, -20, 0.5f, 205);
    r.drawTexture(7, 8, 85);
    r.drawTextureCentered(160, 240, 126);
}

// A replay makes every call as it was made, all arguments and the fade
// included, with the board as it was then, not as it is now.
TEST(DrawListFrames, AReplayMakesEveryCallAsDrawn) {
    Board board;
    board.setCell(3, 4, 5);
    FakeRenderer straight, replayed;
    drawEveryCall(straight, board.cells, 0.25f);
    DrawList list;
    list.startFrame();
    drawEveryCall(list, board.cells, 0.25f);
    list.keepAsShown();
    board.setCell(9, 19, 2);
    list.replayShown(replayed);
    EXPECT_TRUE(replayed.calls == straight.calls);
}

// A frame equal to the one shown has the same calls on the same board at
// the same fade.
TEST(DrawListFrames, AnyChangeMakesANewFrame) {
    DrawList list;
    Board board;
    const auto sameAfter = [&](float fade, bool oneMore) {
        list.startFrame();
        drawEveryCall(list, board.cells, fade);
        if (oneMore) {
            list.drawTexture(0, 0, 1);
        }
        const bool same = list.sameAsShown();
        list.keepAsShown();
        return same;
    };
    sameAfter(0.25f, false);
    EXPECT_TRUE(sameAfter(0.25f, false)) << "the same calls on the same board";
    board.setCell(9, 19, 5);
    EXPECT_FALSE(sameAfter(0.25f, false)) << "a cell of the board changed in place";
    EXPECT_FALSE(sameAfter(0.5f, false)) << "a new fade";
    EXPECT_FALSE(sameAfter(0.5f, true)) << "one call more";
}

}  // namespace
