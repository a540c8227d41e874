#include "render/PictureStack.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

// glGetTexImage is OpenGL 1.1, but WebGL has no way to read a texture back.
using GetTexImageProc = void(APIENTRYP)(GLenum target, GLint level, GLenum format, GLenum type,
                                        void* pixels);

bool stackable(const TextureEntry& e) {
    return e.textureName != 0 && e.paddedWidth > 0 && e.paddedHeight > 0 &&
           e.paddedWidth <= PictureStack::kLargestSide &&
           e.paddedHeight <= PictureStack::kLargestSide;
}

}  // namespace

void PictureStack::release() {
    if (textureName_ != 0) {
        glDeleteTextures(1, &textureName_);
    }
    *this = PictureStack{};
}

void PictureStack::build(const std::vector<TextureEntry>& pictures) {
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
    // The browser's WebGL 1 has neither 3D textures nor a texture read-back,
    // so both are asked for, and the game needs neither at link time there.
    const auto texImage3D =
        reinterpret_cast<PFNGLTEXIMAGE3DPROC>(SDL_GL_GetProcAddress("glTexImage3D"));
    const auto getTexImage =
        reinterpret_cast<GetTexImageProc>(SDL_GL_GetProcAddress("glGetTexImage"));
    if (depth == 0 || texImage3D == nullptr || getTexImage == nullptr) {
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
        glBindTexture(GL_TEXTURE_2D, e.textureName);
        getTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, own.data());
        // The padded texture repeated over the whole layer: the layer's sides
        // are multiples of the picture's (all powers of two), so wrapping at
        // the layer's edge is wrapping at the picture's.
        unsigned char* dest = texels.data() + layerBytes * layer;
        const size_t ownRow = static_cast<size_t>(e.paddedWidth) * 4;
        for (int32_t y = 0; y < layerHeight; ++y) {
            const unsigned char* from = own.data() + ownRow * (y % e.paddedHeight);
            for (int32_t x = 0; x < layerWidth; x += e.paddedWidth) {
                std::memcpy(dest + (static_cast<size_t>(y) * layerWidth + x) * 4, from, ownRow);
            }
        }
        StackedPicture& p = pictures_[i];
        p.source = e.textureName;
        // Divisions by powers of two: exact, so the coordinates are the
        // picture's own ones scaled without rounding.
        p.sMax = static_cast<float>(e.width) / static_cast<float>(layerWidth);
        p.tMax = static_cast<float>(e.height) / static_cast<float>(layerHeight);
        p.r = (static_cast<float>(layer) + 0.5f) / static_cast<float>(depth);
        ++layer;
    }

    glGenTextures(1, &textureName_);
    glBindTexture(GL_TEXTURE_3D, textureName_);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    while (glGetError() != GL_NO_ERROR) {
        // Only this upload's own error should count below.
    }
    texImage3D(GL_TEXTURE_3D, 0, GL_RGBA, layerWidth, layerHeight, depth, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_3D, 0);
    if (glGetError() != GL_NO_ERROR) {
        // No 3D textures here: every picture keeps drawing from its own texture.
        release();
        return;
    }
    layerWidth_ = layerWidth;
    layerHeight_ = layerHeight;
    depth_ = depth;
}
