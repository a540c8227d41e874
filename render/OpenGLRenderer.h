#pragma once
// The Renderer on OpenGL 1.1 immediate mode: every picture is one textured
// quad drawn from the texture table. The frame routine sets the projection
// (one unit per pixel, y downward), modulate, 2D texturing and alpha blending
// before any drawing; this class changes only the bound texture and the
// current colour (and the model-view matrix through the transform calls).
//
// By default the small pictures are drawn from the picture stack (one 3D
// texture, see PictureStack.h), and the quads of one call run inside a
// single glBegin/glEnd; software OpenGL then draws a full board in a fraction
// of the time that one texture bind per quad costs. The frame comes out the
// same to the byte. PerPicture keeps the plain way, one bound texture per
// quad, for pictures the stack lacks and for comparing the two.

#include "render/Renderer.h"
#include "render/TextureTable.h"

class OpenGLRenderer : public Renderer {
public:
    enum class Drawing { Stacked, PerPicture };
    explicit OpenGLRenderer(Drawing drawing = Drawing::Stacked) : drawing_(drawing) {}

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
    // Puts picture `texture` on the screen as a w x h quad at (x, y); the
    // clearing tile set is darkened by `fade`.
    void drawQuad(unsigned texture, int x, int y, int w, int h);
    void emitQuad(unsigned texture, int x, int y, int w, int h, float brightness);
    // One quad of a layer of a 3D texture (the picture stack, or the
    // composed squares), in the open run where it can join it.
    struct Layer {
        float r;     // the layer's centre along the stack
        float sMax;  // the picture's right and bottom edges in layer coordinates
        float tMax;
        bool unblended;
    };
    void emitLayer(uint32_t stack, const Layer& layer, int x, int y, int w, int h,
                   float brightness);
    // A run is an open glBegin(GL_QUADS) on the picture stack; every public
    // operation closes its run before it returns, so no state leaks out.
    void closeRun();

    Drawing drawing_;
    bool runOpen_ = false;
    bool runUnblended_ = false;  // the open run draws opaque pictures without blending
    uint32_t runStack_ = 0;      // the 3D texture the open run draws from
    // Whether each level of the transform stack moved or turned the picture.
    static constexpr int kMaxDepth = 32;
    bool moved_[kMaxDepth] = {};
    int depth_ = 0;
    bool drawsUnblended(unsigned texture) const;
    int nesting_ = 0;  // drawBoard's cells join its run
};
