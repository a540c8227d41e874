#pragma once
// Every small picture of the texture table copied into one layer of a single
// 3D texture, so that a whole board of tiles draws with one bound texture.
//
// Software OpenGL pays tens of microseconds for each change of the bound
// texture, and a full board has 1,800 tile quads. A flat 2D atlas would fix
// that, but adding an atlas offset to the texture coordinates changes their
// rounding, and under the playfield shake's rotation some pixels would pick
// the neighbouring texel. Here a picture keeps its own coordinates, only
// scaled by a power of two (which rounds nothing), and its layer holds its
// padded texture repeated across the layer, so that sampling beyond its edges
// wraps exactly as in its own texture. Nearest sampling then picks the very
// same texel as the picture's own texture does.

#include <cstdint>

#include "render/TextureTable.h"

struct StackedPicture {
    uint32_t source;  // the picture's own texture this layer copies; 0: not stacked
    float sMax;       // the picture's right and bottom edges in layer coordinates
    float tMax;
    float r;  // the layer's centre along the stack
};

struct PictureStack {
    uint32_t textureName = 0;  // the 3D texture, 0 when none was made
    int32_t layerWidth = 0;
    int32_t layerHeight = 0;
    int32_t depth = 0;
    StackedPicture pictures[kMaxTextures] = {};

    // The layer of `texture` when it still belongs to the table's current texture.
    const StackedPicture* find(unsigned texture) const {
        const StackedPicture& p = pictures[texture];
        return p.source != 0 && p.source == gTextures[texture].textureName ? &p : nullptr;
    }
};

extern PictureStack gPictureStack;

// Pictures whose padded size exceeds this on either side keep only their own
// texture. Every layer is as large as the largest stacked picture, so the
// limit is set by what is drawn by the hundred: the tiles of the squares and
// the frame pieces all fit 16x16. The few larger pictures (digits, labels,
// ring, bands) cost a bind each; stacking them in 64x64 layers cost 5 MB more
// memory and saved nothing measurable.
constexpr int32_t kLargestStackedSide = 16;

// (Re)builds gPictureStack from the textures in gTextures, reading them back
// from OpenGL. Needs a current context; replaces any stack made before.
void buildPictureStack();
