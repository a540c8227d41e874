#include "tools/artgen/ResourceFile.h"

#include <cstdint>
#include <cstdio>

#include "catalogue/PictureFile.h"

std::vector<unsigned char> encodeRecords(const std::vector<Image>& records) {
    std::vector<unsigned char> out;
    std::vector<uint8_t> bgra;
    for (const Image& img : records) {
        bgra.clear();
        for (const Rgba& p : img.pixels()) {
            bgra.insert(bgra.end(), {p.b, p.g, p.r, p.a});
        }
        catalogue::picturefile::appendRecord(out, img.width(), img.height(), bgra.data());
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && whole;
}
