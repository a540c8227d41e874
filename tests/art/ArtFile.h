#pragma once
// The generated picture file as the art tests see it: every record parsed
// straight from the bytes, and the joining rule that decides which tiles the
// game puts together, so the tests can check what the game will draw.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

// Offsets within a tile set of tiles 1..9 for a square whose neighbours of
// the same piece are given by `bits` (left, right, below, above, then the
// diagonals below-left, below-right, above-left, above-right as bits 0..7).
std::array<int, 9> joinOffsets(unsigned bits);

// First indices of the seven piece tile sets (O, T, S, Z, J, I, L) and the clearing set.
constexpr std::array<int, 7> kPieceSets = {22, 42, 63, 86, 106, 128, 168};
constexpr int kClearingSet = 148;
constexpr std::array<int, 8> kTileSets = {22, 42, 63, 86, 106, 128, kClearingSet, 168};

}  // namespace arttest
