#pragma once
// The Renderer on OpenGL 1.1 immediate mode: every picture is one textured
// quad drawn from the texture table. The frame routine sets the projection
// (one unit per pixel, y downward), modulate, 2D texturing and alpha blending
// before any drawing; this class changes only the bound texture and the
// current colour (and the model-view matrix through the transform calls).

#include "render/Renderer.h"
#include "render/TextureTable.h"

class OpenGLRenderer : public Renderer {
public:
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
    void emitQuad(const TextureEntry& entry, int x, int y, int w, int h, float brightness);
};
