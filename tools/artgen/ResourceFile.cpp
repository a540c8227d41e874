#include "tools/artgen/ResourceFile.h"

#include <cstdint>
#include <cstdio>

namespace {

void putInt32(std::vector<unsigned char>& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<unsigned char>((u >> shift) & 0xFFu));
    }
}

}  // namespace

std::vector<unsigned char> encodeRecords(const std::vector<Image>& records) {
    std::vector<unsigned char> out;
    for (const Image& img : records) {
        putInt32(out, img.width());
        putInt32(out, img.height());
        for (const Rgba& p : img.pixels()) {
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
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
