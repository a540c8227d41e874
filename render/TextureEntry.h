#pragma once
// One picture of the texture table: the OpenGL texture it was uploaded to and
// its sizes. A zero entry stands for a picture the file did not hold.

#include <cstdint>

struct TextureEntry {
    uint32_t textureName;  // OpenGL texture object, 0 when none
    int32_t width;         // the picture's own size
    int32_t height;
    int32_t paddedWidth;  // the texture's size: width and height rounded up to a power of two
    int32_t paddedHeight;
};
