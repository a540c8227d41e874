#include "render/CellStack.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <cstring>

#include "catalogue/Catalogue.h"
#include "render/TextureTable.h"

using namespace catalogue;

namespace {

constexpr int16_t kFree = -1;
constexpr int16_t kRefused = -2;

bool inClearingSet(unsigned texture) {
    return texture >= kClearingSet && texture < kClearingSet + kTileSetSize;
}

size_t slotOf(const uint8_t* tiles, size_t slots) {
    // FNV-1a over the nine bytes.
    uint32_t hash = 2166136261u;
    for (int k = 0; k < 9; ++k) {
        hash = (hash ^ tiles[k]) * 16777619u;
    }
    return hash % slots;
}

}  // namespace

void CellStack::release() {
    if (textureName_ != 0) {
        GLuint name = textureName_;
        glDeleteTextures(1, &name);
    }
    textureName_ = 0;
    unavailable_ = false;
    layers_ = 0;
    slotsReady_ = false;
}

CellStack::Slot* CellStack::slotFor(const uint8_t* tiles) {
    if (!slotsReady_) {
        for (Slot& s : slots_) {
            s.layer = kFree;
        }
        slotsReady_ = true;
    }
    size_t i = slotOf(tiles, kSlots);
    for (int probe = 0; probe < kSlots; ++probe, i = (i + 1) % kSlots) {
        Slot& s = slots_[i];
        if (s.layer == kFree || std::memcmp(s.tiles, tiles, 9) == 0) {
            return &s;
        }
    }
    return nullptr;
}

CellStack::Lookup CellStack::find(const Cell& cell) {
    if (unavailable_) {
        return {nullptr, false};
    }
    const Slot* s = slotFor(cell.tiles);
    if (s == nullptr) {
        return {nullptr, false};
    }
    if (s->layer == kFree) {
        // Once every layer is taken, new squares draw their nine tiles.
        return {nullptr, layers_ < kLayers};
    }
    return {s->layer >= 0 ? &s->cell : nullptr, false};
}

const ComposedCell* CellStack::add(const Cell& cell, const TextureTable& table) {
    Slot* s = slotFor(cell.tiles);
    if (unavailable_ || s == nullptr || s->layer != kFree || layers_ == kLayers) {
        return s != nullptr && s->layer >= 0 ? &s->cell : nullptr;
    }
    if (!compose(cell.tiles, table, s->cell)) {
        // No 3D textures at all: every square keeps its nine tiles, and the
        // slot stays free, as nothing was learnt of this square.
        if (!unavailable_) {
            std::memcpy(s->tiles, cell.tiles, 9);
            s->layer = kRefused;
        }
        return nullptr;
    }
    std::memcpy(s->tiles, cell.tiles, 9);
    s->layer = static_cast<int16_t>(layers_++);
    return &s->cell;
}

namespace {

// The tiles must tile the box exactly: each column as wide as its bottom
// tile, each band as high as its left tile, all small pictures from the same
// kind of set. Fills in the column widths and band heights.
bool tilesFit(const uint8_t* tiles, const TextureTable& table, int width[3], int height[3]) {
    for (int k = 0; k < 3; ++k) {
        width[k] = table[tiles[k]].width;
        height[k] = table[tiles[3 * k]].height;
    }
    if (width[0] + width[1] + width[2] != kSquarePixels ||
        height[0] + height[1] + height[2] != kSquarePixels) {
        return false;
    }
    const bool clearing = inClearingSet(tiles[0]);
    for (int k = 0; k < 9; ++k) {
        const TextureEntry& e = table[tiles[k]];
        if (e.width != width[k % 3] || e.height != height[k / 3] || e.width <= 0 || e.height <= 0 ||
            table.smallPixels(tiles[k]) == nullptr || inClearingSet(tiles[k]) != clearing) {
            return false;
        }
    }
    return true;
}

// Rows top first, as the pictures are: the top band holds tiles 7 to 9.
void pasteTiles(const uint8_t* tiles, const TextureTable& table, const int width[3],
                const int height[3], uint8_t* square, int side) {
    int top = 0;
    for (int band = 2; band >= 0; --band) {
        int left = 0;
        for (int column = 0; column < 3; ++column) {
            const uint8_t* pixels = table.smallPixels(tiles[3 * band + column]);
            const size_t row = static_cast<size_t>(width[column]) * 4;
            for (int y = 0; y < height[band]; ++y) {
                std::memcpy(&square[((top + y) * side + left) * 4], pixels + y * row, row);
            }
            left += width[column];
        }
        top += height[band];
    }
}

}  // namespace

bool CellStack::createTexture() {
    // 3D textures came with OpenGL 1.2: asked of the driver, as the picture
    // stack does; WebGL 1 has none.
    const auto texImage3D =
        reinterpret_cast<PFNGLTEXIMAGE3DPROC>(SDL_GL_GetProcAddress("glTexImage3D"));
    if (texImage3D == nullptr) {
        return false;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_3D, name);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    while (glGetError() != GL_NO_ERROR) {
        // Only this upload's own error should count below.
    }
    texImage3D(GL_TEXTURE_3D, 0, GL_RGBA, kSide, kSide, kLayers, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               nullptr);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return false;
    }
    textureName_ = name;
    return true;
}

bool CellStack::compose(const uint8_t* tiles, const TextureTable& table, ComposedCell& out) {
    int width[3], height[3];
    if (!tilesFit(tiles, table, width, height)) {
        return false;
    }
    uint8_t square[kSide * kSide * 4] = {};
    pasteTiles(tiles, table, width, height, square, kSide);

    const auto texSubImage3D =
        reinterpret_cast<PFNGLTEXSUBIMAGE3DPROC>(SDL_GL_GetProcAddress("glTexSubImage3D"));
    if ((textureName_ == 0 && !createTexture()) || texSubImage3D == nullptr) {
        unavailable_ = true;
        return false;
    }
    glBindTexture(GL_TEXTURE_3D, textureName_);
    texSubImage3D(GL_TEXTURE_3D, 0, 0, 0, layers_, kSide, kSide, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                  square);
    glBindTexture(GL_TEXTURE_3D, 0);
    bool opaque = true;
    for (int k = 0; k < 9; ++k) {
        opaque = opaque && table.opaque(tiles[k]);
    }
    out.r = (static_cast<float>(layers_) + 0.5f) / kLayers;
    out.opaque = opaque;
    out.clearing = inClearingSet(tiles[0]);
    return true;
}
