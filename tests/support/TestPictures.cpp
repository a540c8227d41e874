#include "support/TestPictures.h"

#include <cstdio>

void writePictureFile(const char* path, const std::vector<TestPicture>& pictures) {
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) {
        return;
    }
    for (const TestPicture& p : pictures) {
        const int32_t size[2] = {p.width, p.height};
        std::fwrite(size, 4, 2, f);  // little-endian on every machine we build for
        std::fwrite(p.bgra.data(), 1, p.bgra.size(), f);
    }
    std::fclose(f);
}

TestPicture solidPicture(int32_t width, int32_t height, uint8_t b, uint8_t g, uint8_t r,
                         uint8_t a) {
    TestPicture p{width, height, {}};
    for (int32_t i = 0; i < width * height; ++i) {
        p.bgra.insert(p.bgra.end(), {b, g, r, a});
    }
    return p;
}
