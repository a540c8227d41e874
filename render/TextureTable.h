#pragma once
// The table of pictures. Every record of the picture file "./BrikResource.dat"
// becomes one OpenGL texture and one entry here; everywhere else a picture is
// named only by its texture index, the position of its record in the file.
//
// File format, no header: records of width and height (int32 little-endian)
// followed by height rows of width pixels, top row first, 4 bytes per pixel in
// the order blue, green, red, alpha.

#include <cstdint>
#include <vector>

struct TextureEntry {
    uint32_t textureName;  // OpenGL texture object, 0 when none
    int32_t width;         // the picture's own size
    int32_t height;
    int32_t paddedWidth;  // the texture's size: width and height rounded up to a power of two
    int32_t paddedHeight;
};

constexpr int kMaxTextures = 300;

// All zero until loadTextures fills it; entries after the last record stay zero.
extern TextureEntry gTextures[kMaxTextures];

// Whether every pixel of picture i is fully opaque (set by the loader). Such a
// picture looks the same drawn with or without blending, and blending a large
// one (the 320x480 intro screen) is most of a software renderer's frame.
extern bool gTextureOpaque[kMaxTextures];

// Loads every picture of "./BrikResource.dat" into gTextures. Needs a current
// OpenGL context. A missing file leaves the table empty. Returns the number of
// entries made.
int loadTextures();

// The same from any file, for tests and tools.
int loadTexturesFrom(const char* path);

// The power of two a texture of `size` pixels needs (0 for 0).
int32_t paddedSize(int32_t size);

// Reads record `index` of a picture file without OpenGL, as stored (BGRA rows,
// top first) into `bgra`. False when the file or the record is missing or damaged.
bool readPicture(const char* path, int index, std::vector<uint8_t>& bgra, int32_t& width,
                 int32_t& height);
