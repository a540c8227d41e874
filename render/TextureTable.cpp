#include "render/TextureTable.h"

#include <GL/gl.h>

#include <cstdio>

TextureTable gTextures;

using namespace catalogue::picturefile;

TextureTable::TextureTable()
    : entries_(kMaxTextures, TextureEntry{}), small_(kMaxTextures), opaque_(kMaxTextures) {}

void TextureTable::release() {
    for (TextureEntry& entry : entries_) {
        if (entry.textureName != 0) {
            glDeleteTextures(1, &entry.textureName);
        }
        entry = TextureEntry{};
    }
    opaque_.assign(kMaxTextures, false);
    for (std::vector<uint8_t>& pixels : small_) {
        pixels = {};
    }
    stack_.release();
    cells_.release();
}

namespace {

// The picture's own rows out of a record padded to a power of two.
void appendRows(const std::vector<unsigned char>& padded, size_t stride, int32_t width,
                int32_t height, std::vector<uint8_t>& out) {
    for (int32_t row = 0; row < height; ++row) {
        const unsigned char* line = padded.data() + row * stride;
        out.insert(out.end(), line, line + static_cast<size_t>(width) * 4);
    }
}

// Whether every pixel is fully opaque, so blending can be left off for it.
bool allOpaque(const std::vector<unsigned char>& padded, size_t stride, int32_t width,
               int32_t height) {
    for (int32_t row = 0; row < height; ++row) {
        const unsigned char* line = padded.data() + row * stride;
        for (int32_t x = 0; x < width; ++x) {
            if (line[x * 4 + 3] != 255) {
                return false;
            }
        }
    }
    return width > 0 && height > 0;
}

// The file stores blue, green, red, alpha; OpenGL 1.1 takes red first.
void swapRedAndBlue(std::vector<unsigned char>& pixels) {
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const unsigned char blue = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = blue;
    }
}

GLuint uploadTexture(const std::vector<unsigned char>& rgba, int width, int height) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    return name;
}

}  // namespace

int TextureTable::load(const char* path, int keep) {
    release();
    kept_ = Picture{};
    std::FILE* file = catalogue::openDataFile(path);
    if (file == nullptr) {
        return 0;
    }
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);

    Reader reader(file);
    int32_t width = 0;
    int32_t height = 0;
    std::vector<unsigned char> pixels;
    while (reader.next(width, height, maxSide > 0 ? maxSide : kLargestSide)) {
        const int index = reader.count() - 1;
        TextureEntry& entry = entries_[index];
        entry.width = width;
        entry.height = height;
        entry.paddedWidth = paddedSize(width);
        entry.paddedHeight = paddedSize(height);

        const size_t stride = static_cast<size_t>(entry.paddedWidth) * 4;
        pixels.assign(stride * entry.paddedHeight, 0);
        // A record cut short keeps what it had, transparent black beyond; it is the last.
        const bool whole = reader.readRows(pixels.data(), stride);
        if (index == keep) {
            kept_.width = width;
            kept_.height = height;
            kept_.bgra.clear();
            appendRows(pixels, stride, width, height, kept_.bgra);
        }
        opaque_[index] = whole && allOpaque(pixels, stride, width, height);
        swapRedAndBlue(pixels);
        if (entry.paddedWidth <= PictureStack::kLargestSide &&
            entry.paddedHeight <= PictureStack::kLargestSide) {
            appendRows(pixels, stride, width, height, small_[index]);
        }
        entry.textureName = uploadTexture(pixels, entry.paddedWidth, entry.paddedHeight);
        if (!whole) {
            break;
        }
    }
    const int count = reader.count();
    std::fclose(file);
    stack_.build(entries_, small_);
    return count;
}

int loadTextures(int keep) {
    return gTextures.load("./BrikResource.dat", keep);
}

bool readPicture(const char* path, int index, Picture& picture) {
    std::FILE* file = catalogue::openDataFile(path);
    if (file == nullptr) {
        return false;
    }
    Reader reader(file);
    bool found = false;
    int32_t width = 0;
    int32_t height = 0;
    while (!found && reader.next(width, height)) {
        if (reader.count() - 1 < index) {
            if (!reader.skipRows()) {
                break;
            }
            continue;
        }
        picture.width = width;
        picture.height = height;
        picture.bgra.assign(static_cast<size_t>(width) * height * 4, 0);
        found = reader.readRows(picture.bgra.data(), static_cast<size_t>(width) * 4);
    }
    std::fclose(file);
    return found;
}
