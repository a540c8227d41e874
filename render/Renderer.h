#pragma once
// The drawing interface through which every level and piece draws. Positions
// are integer pixels of the 320x480 picture, origin top-left, y downward; a
// picture drawn at (x, y) has its top-left corner there. Pictures are named by
// their texture index (below 300) in the picture file's table.
//
// One implementation draws with OpenGL; tests install a recording fake in
// gRenderer. Nothing here allocates or fails. Header-only, so that the rules
// can draw through it without linking any drawing library.

#include <cstdint>

struct Cell;

class Renderer {
public:
    virtual ~Renderer() = default;

    // Clears the colour buffer to transparent black.
    virtual void clear() = 0;
    // Draws the board frame, then all 200 cells (column-major, row 0 at the bottom).
    virtual void drawBoard(const Cell* board) = 0;
    // Draws one square as its nine tiles; (x, y) is the top-left of its 20x20 box.
    // An empty cell draws nothing.
    virtual void drawCell(int x, int y, const Cell* cell) = 0;
    // Draws a picture stretched to w x h (negative sizes extend left/up) with the
    // given brightness 0..1; `fade` never applies here.
    virtual void drawTextureScaled(int x, int y, int w, int h, float brightness,
                                   unsigned texture) = 0;
    // Draws a picture at its own size with its top-left corner at (x, y).
    virtual void drawTexture(int x, int y, unsigned texture) = 0;
    // Draws a picture at its own size centred on (x, y) (halves truncated).
    virtual void drawTextureCentered(int x, int y, unsigned texture) = 0;

    // The model-view transform used by the playfield shake: save, move by
    // (dx, dy) pixels, turn by `degrees` about the screen's z axis, restore.
    virtual void pushTransform() = 0;
    virtual void translate(float dx, float dy) = 0;
    virtual void rotate(float degrees) = 0;
    virtual void popTransform() = 0;

    // Darkening of the clearing tile set (catalogue::kClearingSet): 0 full
    // brightness, 1 black.
    float fade = 0.0f;
};

// The renderer every level and piece draws with; set by the entry routine
// (or a test) before the first level is made.
inline Renderer* gRenderer = nullptr;
