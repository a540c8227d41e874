#include "render/TextureTable.h"

#include <GL/gl.h>

#include <cstdio>

TextureTable gTextures;

namespace {

// The game's largest picture is the 320x480 intro screen. A side beyond this
// can only come from a damaged file, and taking it at its word would mean
// allocating and uploading gigabytes.
constexpr int32_t kLargestSide = 4096;

int32_t readInt32(const unsigned char* b) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 |
                                static_cast<uint32_t>(b[3]) << 24);
}

// Reads the next record's width and height. False at the end of the file and
// for a negative or oversized record, which is damage: nothing after it is
// trusted, and nothing is allocated for it.
bool readRecordSize(FILE* file, int32_t largestSide, int32_t& width, int32_t& height) {
    unsigned char header[8];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        return false;
    }
    width = readInt32(header);
    height = readInt32(header + 4);
    return width >= 0 && height >= 0 && width <= largestSide && height <= largestSide;
}

}  // namespace

int32_t paddedSize(int32_t size) {
    if (size <= 0) {
        return 0;
    }
    int32_t padded = 1;
    while (padded < size) {
        padded *= 2;
    }
    return padded;
}

TextureTable::TextureTable() : entries_(kMaxTextures, TextureEntry{}), opaque_(kMaxTextures) {}

void TextureTable::release() {
    for (TextureEntry& entry : entries_) {
        if (entry.textureName != 0) {
            glDeleteTextures(1, &entry.textureName);
        }
        entry = TextureEntry{};
    }
    opaque_.assign(kMaxTextures, false);
    stack_.release();
}

int TextureTable::load(const char* path) {
    release();
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return 0;
    }
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (maxSide <= 0 || maxSide > kLargestSide) {
        maxSide = kLargestSide;
    }

    int count = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<unsigned char> pixels;
    while (count < kMaxTextures && readRecordSize(file, maxSide, width, height)) {
        TextureEntry& entry = entries_[count];
        entry.width = width;
        entry.height = height;
        entry.paddedWidth = paddedSize(width);
        entry.paddedHeight = paddedSize(height);

        const size_t bytes = static_cast<size_t>(entry.paddedWidth) * entry.paddedHeight * 4;
        pixels.assign(bytes, 0);
        bool shortRecord = false;
        for (int32_t row = 0; row < height && !shortRecord; ++row) {
            unsigned char* dest = pixels.data() + static_cast<size_t>(row) * entry.paddedWidth * 4;
            const size_t want = static_cast<size_t>(width) * 4;
            shortRecord = std::fread(dest, 1, want, file) != want;
        }
        bool opaque = !shortRecord && width > 0 && height > 0;
        for (int32_t row = 0; row < height && opaque; ++row) {
            const unsigned char* line =
                pixels.data() + static_cast<size_t>(row) * entry.paddedWidth * 4;
            for (int32_t x = 0; x < width && opaque; ++x) {
                opaque = line[x * 4 + 3] == 255;
            }
        }
        opaque_[count] = opaque;
        // The file stores blue, green, red, alpha; OpenGL 1.1 takes red first.
        for (size_t i = 0; i < bytes; i += 4) {
            const unsigned char blue = pixels[i];
            pixels[i] = pixels[i + 2];
            pixels[i + 2] = blue;
        }
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, entry.paddedWidth, entry.paddedHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.data());
        entry.textureName = name;
        ++count;
        // A record cut short keeps what it had, transparent black beyond; it is the last.
        if (shortRecord) {
            break;
        }
    }
    std::fclose(file);
    stack_.build(entries_);
    return count;
}

int loadTextures() {
    return gTextures.load("./BrikResource.dat");
}

bool readPicture(const char* path, int index, std::vector<uint8_t>& bgra, int32_t& width,
                 int32_t& height) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    bool found = false;
    int32_t w = 0;
    int32_t h = 0;
    for (int i = 0; i <= index && i < kMaxTextures && readRecordSize(file, kLargestSide, w, h);
         ++i) {
        const size_t bytes = static_cast<size_t>(w) * h * 4;
        if (i < index) {
            if (std::fseek(file, static_cast<long>(bytes), SEEK_CUR) != 0) {
                break;
            }
            continue;
        }
        bgra.assign(bytes, 0);
        found = bytes == 0 || std::fread(bgra.data(), 1, bytes, file) == bytes;
        width = w;
        height = h;
    }
    std::fclose(file);
    return found;
}
