#pragma once
// The renderer calls of one frame, kept so that a frame can be compared with
// the one on screen before anything is drawn. The main loop installs a
// DrawList as gRenderer: the levels draw into it, and only a frame that
// differs from the shown one is played back onto the real renderer and
// swapped. The title screen changes twice a second; drawing and swapping the
// same picture the other 58 times cost more than the game itself.
//
// A call carries everything its picture depends on: its arguments, the fade
// at the time of the call, and a copy of the cells it draws (a board is read
// through a pointer and changes in place). The lists keep their memory from
// frame to frame, so recording allocates only when a frame holds more calls
// than any frame before it.

#include <cstddef>
#include <vector>

#include "catalogue/Cell.h"
#include "render/Renderer.h"

class DrawList : public Renderer {
public:
    DrawList();

    // Recording starts anew; the shown frame is kept.
    void startFrame();
    // Whether the frame recorded since startFrame draws exactly what the shown one drew.
    bool sameAsShown() const;
    // The recorded frame becomes the shown one.
    void keepAsShown();
    // Plays the shown frame back onto `target`, fade included, in the order it was recorded.
    void replayShown(Renderer& target) const;
    // The number of calls in the shown frame.
    size_t shownCalls() const { return frames_[shown_].calls.size(); }

    void clear() override;
    void drawBoard(const Cell* board) override;
    void drawCell(int x, int y, const Cell* cell) override;
    void drawTextureScaled(int x, int y, int w, int h, float brightness, unsigned texture) override;
    void drawTexture(int x, int y, unsigned texture) override;
    void drawTextureCentered(int x, int y, unsigned texture) override;
    void pushTransform() override;
    void translate(float dx, float dy) override;
    void rotate(float degrees) override;
    void popTransform() override;

private:
    enum class Op : unsigned char {
        Clear,
        Board,
        CellAt,
        Scaled,
        Texture,
        Centered,
        Push,
        Translate,
        Rotate,
        Pop
    };
    struct Call {
        Op op = Op::Clear;
        int x = 0, y = 0, w = 0, h = 0;
        float a = 0.0f, b = 0.0f;  // Scaled: brightness; Translate: dx, dy; Rotate: degrees
        float fade = 0.0f;         // Renderer::fade when the call was made
        unsigned texture = 0;      // Scaled, Texture, Centered
        size_t cells = 0;          // Board, CellAt: where its cells start in `cells`
        bool operator==(const Call&) const = default;
    };
    struct Frame {
        std::vector<Call> calls;
        std::vector<Cell> cells;
    };

    void add(Call call);
    size_t keepCells(const Cell* cells, size_t count);

    Frame frames_[2];
    int shown_ = 0;
    int recording_ = 1;
};
