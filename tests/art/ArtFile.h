#pragma once
// The generated picture file as the art tests see it: every record parsed
// straight from the bytes, so the tests can check what the game will draw.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"

namespace arttest {

struct Pixel {
    uint8_t b, g, r, a;
    bool operator==(const Pixel&) const = default;
};

struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bgra;  // rows top first

    Pixel at(int x, int y) const {
        const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

// Appends the records in `bytes` to `out`. False when the bytes are not a
// whole number of well-formed records; `out` then ends before the damaged one.
bool parseRecords(const std::vector<uint8_t>& bytes, std::vector<Picture>& out);
// The generated file from the data folder.
std::vector<uint8_t> readDataFile();
std::string dataFilePath();

// Every tile set: the seven pieces' and the clearing set.
constexpr std::array<unsigned, 8> kTileSets = {
    catalogue::kTileSetO, catalogue::kTileSetT, catalogue::kTileSetS, catalogue::kTileSetZ,
    catalogue::kTileSetJ, catalogue::kTileSetI, catalogue::kTileSetL, catalogue::kClearingSet};

}  // namespace arttest
