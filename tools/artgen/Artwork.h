#pragma once
// Every picture of the game's picture file, in file order: the record at
// position i serves texture index i. Which index holds which picture (a
// frame piece, a tile set, ...) is set in catalogue/Catalogue.h, by which the
// game draws them too; the pictures themselves are all made here from
// shapes, a palette and the pixel font.

#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "tools/artgen/Image.h"

namespace art {

// One piece colour: its piece, its tile set's first index and its base hue.
struct PieceColour {
    char piece;
    unsigned setBase;
    Rgba base;
};

// By rising set index, the order the game expects: O, T, S, Z, J, I, L.
// Seven hues of about equal lightness (picked in a perceptual colour space),
// so that no piece stands out against another.
// clang-format off
constexpr PieceColour kPieces[] = {
    {'O', catalogue::kTileSetO, {239, 204,  54, 255}},  // yellow
    {'T', catalogue::kTileSetT, {180, 100, 214, 255}},  // purple
    {'S', catalogue::kTileSetS, { 94, 201, 102, 255}},  // green
    {'Z', catalogue::kTileSetZ, {240,  86,  83, 255}},  // red
    {'J', catalogue::kTileSetJ, { 79, 138, 236, 255}},  // blue
    {'I', catalogue::kTileSetI, { 26, 207, 223, 255}},  // cyan
    {'L', catalogue::kTileSetL, {242, 143,  41, 255}},  // orange
};
// clang-format on
// Rows being cleared flash in a near-white silver that fades to black.
constexpr Rgba kClearingBase{232, 236, 244, 255};

// Builds all records. Returns false and says why if a picture cannot be
// made as the game needs it.
bool buildRecords(std::vector<Image>& records, std::string& error);

// The twenty tiles of the set that starts at `base`, copied out of `records`.
std::vector<Image> tileSet(const std::vector<Image>& records, unsigned base);
// The base colour of a piece letter (O, T, S, Z, J, I, L).
Rgba pieceColour(char piece);

}  // namespace art
