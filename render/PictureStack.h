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
//
// The texture table owns its stack: it builds it after every load and
// releases it with its pictures.

#include <cstdint>
#include <vector>

#include "render/TextureEntry.h"

struct StackedPicture {
    uint32_t source;  // the picture's own texture this layer copies; 0: not stacked
    float sMax;       // the picture's right and bottom edges in layer coordinates
    float tMax;
    float r;  // the layer's centre along the stack
};

class PictureStack {
public:
    // Pictures whose padded size exceeds this on either side keep only their
    // own texture. Every layer is as large as the largest stacked picture, so
    // the limit is set by what is drawn by the hundred: the tiles of the
    // squares and the frame pieces all fit 16x16. The few larger pictures
    // (digits, labels, ring, bands) cost a bind each; stacking them in 64x64
    // layers cost 5 MB more memory and saved nothing measurable.
    static constexpr int32_t kLargestSide = 16;

    // Builds the stack from `pictures` (indexed like the table) and their
    // pixels as the table keeps them: each picture's own rows, RGBA, empty
    // where it has none. Needs a current context; releases any stack made
    // before. Without 3D textures no stack is made.
    void build(const std::vector<TextureEntry>& pictures,
               const std::vector<std::vector<uint8_t>>& pixels);
    // Deletes the 3D texture; needs the context that made it. Safe when none was made.
    void release();

    // The layer of picture `index`, or null when it is drawn from its own texture.
    const StackedPicture* find(unsigned index) const {
        return index < pictures_.size() && pictures_[index].source != 0 ? &pictures_[index]
                                                                        : nullptr;
    }
    uint32_t textureName() const { return textureName_; }  // 0 when none was made
    int32_t layerWidth() const { return layerWidth_; }
    int32_t layerHeight() const { return layerHeight_; }
    int32_t depth() const { return depth_; }

private:
    uint32_t textureName_ = 0;
    int32_t layerWidth_ = 0;
    int32_t layerHeight_ = 0;
    int32_t depth_ = 0;
    std::vector<StackedPicture> pictures_;
};
