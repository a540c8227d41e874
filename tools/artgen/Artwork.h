#pragma once
// Every picture of the game's picture file, in file order: the record at
// position i serves texture index i. The layout of the indices is fixed by
// the game's code (which index is a frame piece, which a tile set, ...);
// the pictures themselves are all made here from shapes, a palette and the
// pixel font.

#include <string>
#include <vector>

#include "tools/artgen/Image.h"

namespace art {

// The texture indices the game draws, as the game's code names them.
constexpr int kRingA = 0;  // drawn twice in the turning ring
constexpr int kFrameBottomLeft = 1;
constexpr int kFrameBottom = 3;
constexpr int kFrameBottomRight = 4;
constexpr int kFrameLeft = 6;
constexpr int kFrameRight = 8;
constexpr int kFrameTopLeft = 9;
constexpr int kFrameTop = 11;
constexpr int kFrameTopRight = 12;
constexpr int kBand = 21;
constexpr int kRingB = 62;
constexpr int kRingC = 83;
constexpr int kRingD = 84;
constexpr int kIntro = 85;
constexpr int kPrompt = 126;
constexpr int kRingE = 127;
constexpr int kClearingSet = 148;
constexpr int kDigits = 188;
constexpr int kGameOver = 198;
constexpr int kCountLabels = 199;
constexpr int kCountBars = 206;
constexpr int kCountCaps = 213;
constexpr int kLevelComplete = 220;
constexpr int kYouWin = 221;
constexpr int kIcon = 222;
constexpr int kRecordCount = 223;

// One piece colour: its piece, its tile set's first index and its base hue.
struct PieceColour {
    char piece;
    int setBase;
    Rgba base;
};

// By rising set index, the order the game expects: O, T, S, Z, J, I, L.
// Seven hues of about equal lightness (picked in a perceptual colour space),
// so that no piece stands out against another.
// clang-format off
constexpr PieceColour kPieces[] = {
    {'O',  22, {239, 204,  54, 255}},  // yellow
    {'T',  42, {180, 100, 214, 255}},  // purple
    {'S',  63, { 94, 201, 102, 255}},  // green
    {'Z',  86, {240,  86,  83, 255}},  // red
    {'J', 106, { 79, 138, 236, 255}},  // blue
    {'I', 128, { 26, 207, 223, 255}},  // cyan
    {'L', 168, {242, 143,  41, 255}},  // orange
};
// clang-format on
// Rows being cleared flash in a near-white silver that fades to black.
constexpr Rgba kClearingBase{232, 236, 244, 255};

// Builds all records. Returns false and says why if a picture cannot be
// made as the game needs it.
bool buildRecords(std::vector<Image>& records, std::string& error);

// The twenty tiles of the set that starts at `base`, copied out of `records`.
std::vector<Image> tileSet(const std::vector<Image>& records, int base);
// The base colour of a piece letter (O, T, S, Z, J, I, L).
Rgba pieceColour(char piece);

}  // namespace art
