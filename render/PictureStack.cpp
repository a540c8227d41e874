#include "render/PictureStack.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

bool stackable(const TextureEntry& e) {
    return e.textureName != 0 && e.paddedWidth > 0 && e.paddedHeight > 0 &&
           e.paddedWidth <= PictureStack::kLargestSide &&
           e.paddedHeight <= PictureStack::kLargestSide;
}

// The picture padded as its texture is, with transparent black, and repeated
// over the whole layer: the layer's sides are multiples of the padded
// picture's (all powers of two), so wrapping at the layer's edge is wrapping
// at the picture's.
void tileLayer(const std::vector<uint8_t>& pixels, const TextureEntry& e, unsigned char* own,
               unsigned char* layer, int32_t layerWidth, int32_t layerHeight) {
    const size_t ownRow = static_cast<size_t>(e.paddedWidth) * 4;
    const size_t row = static_cast<size_t>(e.width) * 4;
    std::memset(own, 0, ownRow * static_cast<size_t>(e.paddedHeight));
    for (int32_t y = 0; y < e.height && row * (y + 1) <= pixels.size(); ++y) {
        std::memcpy(own + ownRow * y, pixels.data() + row * y, row);
    }
    for (int32_t y = 0; y < layerHeight; ++y) {
        const unsigned char* from = own + ownRow * (y % e.paddedHeight);
        for (int32_t x = 0; x < layerWidth; x += e.paddedWidth) {
            std::memcpy(layer + (static_cast<size_t>(y) * layerWidth + x) * 4, from, ownRow);
        }
    }
}

// A new 3D texture of the layers, or 0 where the driver refuses it.
GLuint uploadStack(PFNGLTEXIMAGE3DPROC texImage3D, const std::vector<unsigned char>& texels,
                   int32_t width, int32_t height, int32_t depth) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_3D, name);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    while (glGetError() != GL_NO_ERROR) {
        // Only this upload's own error should count below.
    }
    texImage3D(GL_TEXTURE_3D, 0, GL_RGBA, width, height, depth, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               texels.data());
    glBindTexture(GL_TEXTURE_3D, 0);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return 0;
    }
    return name;
}

}  // namespace

void PictureStack::release() {
    if (textureName_ != 0) {
        glDeleteTextures(1, &textureName_);
    }
    *this = PictureStack{};
}

void PictureStack::build(const std::vector<TextureEntry>& pictures,
                         const std::vector<std::vector<uint8_t>>& pixels) {
    release();
    int32_t depth = 0;
    int32_t layerWidth = 0;
    int32_t layerHeight = 0;
    for (const TextureEntry& e : pictures) {
        if (stackable(e)) {
            ++depth;
            layerWidth = std::max(layerWidth, e.paddedWidth);
            layerHeight = std::max(layerHeight, e.paddedHeight);
        }
    }
    // 3D textures came with OpenGL 1.2. Windows' OpenGL library exports only
    // 1.1, so the function is asked of the context's driver on every platform.
    // The browser's WebGL 1 has none, and the game needs none at link time.
    const auto texImage3D =
        reinterpret_cast<PFNGLTEXIMAGE3DPROC>(SDL_GL_GetProcAddress("glTexImage3D"));
    if (depth == 0 || texImage3D == nullptr) {
        return;
    }
    const size_t layerBytes = static_cast<size_t>(layerWidth) * layerHeight * 4;
    std::vector<unsigned char> texels(layerBytes * depth);
    std::vector<unsigned char> own(static_cast<size_t>(kLargestSide) * kLargestSide * 4);
    pictures_.assign(pictures.size(), StackedPicture{});

    int32_t layer = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const TextureEntry& e = pictures[i];
        if (!stackable(e)) {
            continue;
        }
        static const std::vector<uint8_t> kNone;
        tileLayer(i < pixels.size() ? pixels[i] : kNone, e, own.data(),
                  texels.data() + layerBytes * layer, layerWidth, layerHeight);
        StackedPicture& p = pictures_[i];
        p.source = e.textureName;
        // Divisions by powers of two: exact, so the coordinates are the
        // picture's own ones scaled without rounding.
        p.sMax = static_cast<float>(e.width) / static_cast<float>(layerWidth);
        p.tMax = static_cast<float>(e.height) / static_cast<float>(layerHeight);
        p.r = (static_cast<float>(layer) + 0.5f) / static_cast<float>(depth);
        ++layer;
    }

    textureName_ = uploadStack(texImage3D, texels, layerWidth, layerHeight, depth);
    if (textureName_ == 0) {
        // No 3D textures here: every picture keeps drawing from its own texture.
        release();
        return;
    }
    layerWidth_ = layerWidth;
    layerHeight_ = layerHeight;
    depth_ = depth;
}
