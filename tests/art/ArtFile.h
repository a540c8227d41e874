#pragma once
// The generated picture file as the art tests see it: every record read
// through the game's own reader, so the tests check what the game will draw.

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

// Reads every record of the generated file in the data folder into `out`.
// False when the file is missing, or the reader stopped before its end;
// `out` then ends before the damaged record.
bool readDataFile(std::vector<Picture>& out);
std::string dataFilePath();

// Every tile set: the seven pieces' and the clearing set.
constexpr std::array<unsigned, 8> kTileSets = {
    catalogue::kTileSetO, catalogue::kTileSetT, catalogue::kTileSetS, catalogue::kTileSetZ,
    catalogue::kTileSetJ, catalogue::kTileSetI, catalogue::kTileSetL, catalogue::kClearingSet};

}  // namespace arttest
