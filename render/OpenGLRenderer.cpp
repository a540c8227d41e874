#include "render/OpenGLRenderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "catalogue/Catalogue.h"
#include "catalogue/Cell.h"

using namespace catalogue;

namespace {

// A picture index from the file or a cell byte may name no entry at all, or
// one the file did not hold (missing or short file). Such a quad would be
// drawn untextured, a white block where a stretched picture belongs: draw
// nothing instead.
bool known(unsigned texture) {
    if (texture >= static_cast<unsigned>(kMaxTextures)) {
        return false;
    }
    const TextureEntry& e = gTextures[texture];
    return e.textureName != 0 && e.width > 0 && e.height > 0;
}

}  // namespace

void OpenGLRenderer::clear() {
    closeRun();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void OpenGLRenderer::closeRun() {
    if (runOpen_) {
        glEnd();
        glDisable(GL_TEXTURE_3D);
        if (runUnblended_) {
            glEnable(GL_BLEND);
        }
        runOpen_ = false;
    }
}

void OpenGLRenderer::emitLayer(uint32_t stack, const Layer& layer, int x, int y, int w, int h,
                               float brightness) {
    // Opaque pictures (the tiles, the frame, whole squares) go in runs
    // without blending, which gives the same pixels for less work.
    if (runOpen_ && (runUnblended_ != layer.unblended || runStack_ != stack)) {
        closeRun();
    }
    if (!runOpen_) {
        runUnblended_ = layer.unblended;
        runStack_ = stack;
        if (runUnblended_) {
            glDisable(GL_BLEND);
        }
        // The 3D target outranks the frame's 2D one while enabled.
        glEnable(GL_TEXTURE_3D);
        glBindTexture(GL_TEXTURE_3D, stack);
        glBegin(GL_QUADS);
        runOpen_ = true;
    }
    glColor3f(brightness, brightness, brightness);
    glTexCoord3f(0.0f, 0.0f, layer.r);
    glVertex2i(x, y);
    glTexCoord3f(layer.sMax, 0.0f, layer.r);
    glVertex2i(x + w, y);
    glTexCoord3f(layer.sMax, layer.tMax, layer.r);
    glVertex2i(x + w, y + h);
    glTexCoord3f(0.0f, layer.tMax, layer.r);
    glVertex2i(x, y + h);
}

void OpenGLRenderer::emitQuad(unsigned texture, int x, int y, int w, int h, float brightness) {
    if (drawing_ == Drawing::Stacked) {
        if (const StackedPicture* p = gTextures.stack().find(texture)) {
            emitLayer(gTextures.stack().textureName(),
                      {p->r, p->sMax, p->tMax, drawsUnblended(texture)}, x, y, w, h, brightness);
            return;
        }
        closeRun();
    }
    const TextureEntry& entry = gTextures[texture];
    // Only the picture, not the padding of its power-of-two texture, is shown.
    // An empty entry (no file) has padded size 0; it draws at texture coordinate 0.
    const float sMax = entry.paddedWidth > 0
                           ? static_cast<float>(entry.width) / static_cast<float>(entry.paddedWidth)
                           : 0.0f;
    const float tMax = entry.paddedHeight > 0 ? static_cast<float>(entry.height) /
                                                    static_cast<float>(entry.paddedHeight)
                                              : 0.0f;
    // An opaque picture blended over anything gives its own pixels: skip the
    // blend (the plain way keeps it, as the reference the stacked way is held to).
    const bool unblended = drawsUnblended(texture);
    if (unblended) {
        glDisable(GL_BLEND);
    }
    glBindTexture(GL_TEXTURE_2D, entry.textureName);
    // Every vertex carries its colour. The browser's emulation of immediate
    // mode on WebGL draws stray triangles from vertices that carry different
    // attributes, and desktop OpenGL gives the same vertices either way (a
    // colour set once before glBegin would not: Mesa then rounds a turned
    // quad's edge pixels differently).
    glBegin(GL_QUADS);
    glColor3f(brightness, brightness, brightness);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(x, y);
    glColor3f(brightness, brightness, brightness);
    glTexCoord2f(sMax, 0.0f);
    glVertex2i(x + w, y);
    glColor3f(brightness, brightness, brightness);
    glTexCoord2f(sMax, tMax);
    glVertex2i(x + w, y + h);
    glColor3f(brightness, brightness, brightness);
    glTexCoord2f(0.0f, tMax);
    glVertex2i(x, y + h);
    glEnd();
    if (unblended) {
        glEnable(GL_BLEND);
    }
}

void OpenGLRenderer::drawQuad(unsigned texture, int x, int y, int w, int h) {
    if (!known(texture)) {
        return;
    }
    float brightness = 1.0f;
    // The clearing tile set: full rows are drawn with it while they darken.
    if (texture >= kClearingSet && texture < kClearingSet + kTileSetSize) {
        brightness = 1.0f - fade;
    }
    emitQuad(texture, x, y, w, h, brightness);
}

void OpenGLRenderer::drawTextureScaled(int x, int y, int w, int h, float brightness,
                                       unsigned texture) {
    if (!known(texture)) {
        return;
    }
    emitQuad(texture, x, y, w, h, brightness);
    closeRun();
}

void OpenGLRenderer::drawTexture(int x, int y, unsigned texture) {
    if (!known(texture)) {
        return;
    }
    const TextureEntry& e = gTextures[texture];
    drawQuad(texture, x, y, e.width, e.height);
    closeRun();
}

void OpenGLRenderer::drawTextureCentered(int x, int y, unsigned texture) {
    if (!known(texture)) {
        return;
    }
    const TextureEntry& e = gTextures[texture];
    drawQuad(texture, x - e.width / 2, y - e.height / 2, e.width, e.height);
    closeRun();
}

void OpenGLRenderer::drawCell(int x, int y, const Cell* cell) {
    if (cell->empty != 0) {
        return;
    }
    // On the pixel grid, a square composed once draws as one quad.
    if (drawing_ == Drawing::Stacked && !moved_[depth_]) {
        CellStack& stack = gTextures.cells();
        CellStack::Lookup found = stack.find(*cell);
        if (found.unknown) {
            closeRun();
            found.composed = stack.add(*cell, gTextures);
        }
        if (const ComposedCell* c = found.composed) {
            const float brightness = c->clearing ? 1.0f - fade : 1.0f;
            emitLayer(stack.textureName(), {c->r, CellStack::kEdge, CellStack::kEdge, c->opaque}, x,
                      y, kSquarePixels, kSquarePixels, brightness);
            if (nesting_ == 0) {
                closeRun();
            }
            return;
        }
    }
    const uint8_t* t = cell->tiles;
    // Column edges come from the bottom band, band heights from the left
    // column, so the patch stands on the lower edge of the 20-pixel box.
    const int column[3] = {x, x + gTextures[t[0]].width,
                           x + gTextures[t[0]].width + gTextures[t[1]].width};
    const int h1 = gTextures[t[0]].height;
    const int h4 = gTextures[t[3]].height;
    const int h7 = gTextures[t[6]].height;
    const int bottom = y + kSquarePixels;
    const int band[3] = {bottom - h1, bottom - h1 - h4, bottom - h1 - h4 - h7};
    for (int k = 0; k < 9; ++k) {
        const TextureEntry& e = gTextures[t[k]];
        drawQuad(t[k], column[k % 3], band[k / 3], e.width, e.height);
    }
    if (nesting_ == 0) {
        closeRun();
    }
}

void OpenGLRenderer::drawBoard(const Cell* board) {
    struct FramePiece {
        unsigned texture;
        int x, y;
        int width, height;  // 0: the picture's own size
    };
    // The frame's outer columns and rows around the board.
    constexpr int left = kBoardLeft - kFrameThickness, right = kBoardLeft + kBoardWidth;
    constexpr int top = kBoardTop - kFrameThickness, bottom = kBoardTop + kBoardHeight;
    // The left side is drawn twice; it is opaque, so the second quad changes
    // no pixel.
    // clang-format off
    static constexpr FramePiece kFrame[] = {
        {kFrameBottomLeft,  left,       bottom,    0,           0},
        {kFrameLeft,        left,       kBoardTop, 0,           kBoardHeight},
        {kFrameLeft,        left,       kBoardTop, 0,           kBoardHeight},
        {kFrameTopLeft,     left,       top,       0,           0},
        {kFrameTop,         kBoardLeft, top,       kBoardWidth, 0},
        {kFrameBottom,      kBoardLeft, bottom,    kBoardWidth, 0},
        {kFrameBottomRight, right,      bottom,    0,           0},
        {kFrameRight,       right,      kBoardTop, 0,           kBoardHeight},
        {kFrameTopRight,    right,      top,       0,           0},
    };
    // clang-format on
    for (const FramePiece& piece : kFrame) {
        const TextureEntry& e = gTextures[piece.texture];
        drawQuad(piece.texture, piece.x, piece.y, piece.width ? piece.width : e.width,
                 piece.height ? piece.height : e.height);
    }
    ++nesting_;
    for (int c = 0; c < kBoardColumns; ++c) {
        for (int r = kTopRow; r >= 0; --r) {
            drawCell(squareX(c), squareY(r), &board[cellIndex(c, r)]);
        }
    }
    --nesting_;
    closeRun();
}

void OpenGLRenderer::pushTransform() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (depth_ + 1 < kMaxDepth) {
        ++depth_;
        moved_[depth_] = moved_[depth_ - 1];
    }
}

void OpenGLRenderer::translate(float dx, float dy) {
    glTranslatef(dx, dy, 0.0f);
    if (dx != 0.0f || dy != 0.0f) {
        moved_[depth_] = true;
    }
}

void OpenGLRenderer::rotate(float degrees) {
    glRotatef(degrees, 0.0f, 0.0f, 1.0f);
    if (degrees != 0.0f) {
        moved_[depth_] = true;
    }
}

void OpenGLRenderer::popTransform() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    if (depth_ > 0) {
        --depth_;
    }
}

bool OpenGLRenderer::drawsUnblended(unsigned texture) const {
    // Only where quads stay on the pixel grid: a turned or shifted quad can
    // sample just past its picture, into the transparent padding, which
    // blending leaves unseen and a plain write would not.
    return drawing_ == Drawing::Stacked && gTextures.opaque(texture) && !moved_[depth_];
}
