#pragma once
// The pictures of the seven pieces as data: for every filled square of every
// orientation, its local cell (i, j) (i rightward, j upward from the bottom-left
// of the piece's box) and the nine tile texture indices that make the four
// squares look like one joined block. Rows of one orientation are listed in the
// order the piece draws and places its squares: row by row from the bottom,
// left to right. The pieces copy these rows when they are built.
//
// Every value is the piece's tile set base plus the offset that the joining
// rule gives for the square's neighbours (see pieces/Cell.h for the tile
// order). The checks at the end hold every table to its piece's tile set and
// to the catalogue's joining rule, by which the generator cut the tiles, so
// a mistyped tile stops the build.

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalogue/Catalogue.h"

namespace pictures {

struct PictureRow {
    uint8_t orientation;  // see the orientation keys below
    uint8_t i;
    uint8_t j;
    uint8_t tiles[9];  // tiles 1-3 bottom band, 4-6 middle band, 7-9 top band
};

// Orientation keys. I, S and Z have one picture for orientations 0 and 2 and
// one for 1 and 3; the O has one for all; J, L and T key by orientation.
inline constexpr uint8_t kTurns02 = 0;
inline constexpr uint8_t kTurns13 = 1;
inline constexpr uint8_t kTurnsAll = 0;

// clang-format off
// TetriminoI, tile set catalogue::kTileSetI (128).
inline constexpr PictureRow kPictureI[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {kTurns02, 0, 0, {128, 130, 141,  133, 134, 145,  136, 138, 146}},
    {kTurns02, 1, 0, {141, 130, 141,  145, 134, 145,  146, 138, 146}},
    {kTurns02, 2, 0, {141, 130, 141,  145, 134, 145,  146, 138, 146}},
    {kTurns02, 3, 0, {141, 130, 131,  145, 134, 135,  146, 138, 139}},
    {kTurns13, 0, 0, {128, 130, 131,  133, 134, 135,  142, 143, 144}},
    {kTurns13, 0, 1, {142, 143, 144,  133, 134, 135,  142, 143, 144}},
    {kTurns13, 0, 2, {142, 143, 144,  133, 134, 135,  142, 143, 144}},
    {kTurns13, 0, 3, {142, 143, 144,  133, 134, 135,  136, 138, 139}},
};

// TetriminoJ, tile set catalogue::kTileSetJ (106).
inline constexpr PictureRow kPictureJ[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {0, 0, 0, {106, 108, 119,  111, 112, 123,  120, 121, 118}},
    {0, 1, 0, {119, 108, 119,  123, 112, 123,  124, 116, 124}},
    {0, 2, 0, {119, 108, 109,  123, 112, 113,  124, 116, 117}},
    {0, 0, 1, {120, 121, 122,  111, 112, 113,  114, 116, 117}},
    {1, 0, 0, {106, 108, 109,  111, 112, 113,  120, 121, 122}},
    {1, 0, 1, {120, 121, 122,  111, 112, 113,  120, 121, 122}},
    {1, 0, 2, {120, 121, 110,  111, 112, 123,  114, 116, 124}},
    {1, 1, 2, {119, 108, 109,  123, 112, 113,  124, 116, 117}},
    {2, 2, 0, {106, 108, 109,  111, 112, 113,  120, 121, 122}},
    {2, 0, 1, {106, 108, 119,  111, 112, 123,  114, 116, 124}},
    {2, 1, 1, {119, 108, 119,  123, 112, 123,  124, 116, 124}},
    {2, 2, 1, {107, 121, 122,  123, 112, 113,  124, 116, 117}},
    {3, 0, 0, {106, 108, 119,  111, 112, 123,  114, 116, 124}},
    {3, 1, 0, {119, 108, 109,  123, 112, 113,  115, 121, 122}},
    {3, 1, 1, {120, 121, 122,  111, 112, 113,  120, 121, 122}},
    {3, 1, 2, {120, 121, 122,  111, 112, 113,  114, 116, 117}},
};

// TetriminoL, tile set catalogue::kTileSetL (168).
inline constexpr PictureRow kPictureL[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {0, 0, 0, {168, 170, 181,  173, 174, 185,  176, 178, 186}},
    {0, 1, 0, {181, 170, 181,  185, 174, 185,  186, 178, 186}},
    {0, 2, 0, {181, 170, 171,  185, 174, 175,  177, 183, 184}},
    {0, 2, 1, {182, 183, 184,  173, 174, 175,  176, 178, 179}},
    {1, 0, 0, {168, 170, 181,  173, 174, 185,  182, 183, 180}},
    {1, 1, 0, {181, 170, 171,  185, 174, 175,  186, 178, 179}},
    {1, 0, 1, {182, 183, 184,  173, 174, 175,  182, 183, 184}},
    {1, 0, 2, {182, 183, 184,  173, 174, 175,  176, 178, 179}},
    {2, 0, 0, {168, 170, 171,  173, 174, 175,  182, 183, 184}},
    {2, 0, 1, {182, 183, 172,  173, 174, 185,  176, 178, 186}},
    {2, 1, 1, {181, 170, 181,  185, 174, 185,  186, 178, 186}},
    {2, 2, 1, {181, 170, 171,  185, 174, 175,  186, 178, 179}},
    {3, 1, 0, {168, 170, 171,  173, 174, 175,  182, 183, 184}},
    {3, 1, 1, {182, 183, 184,  173, 174, 175,  182, 183, 184}},
    {3, 0, 2, {168, 170, 181,  173, 174, 185,  176, 178, 186}},
    {3, 1, 2, {169, 183, 184,  185, 174, 175,  186, 178, 179}},
};

// TetriminoO, tile set catalogue::kTileSetO (22).
inline constexpr PictureRow kPictureO[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {kTurnsAll, 0, 0, {22, 24, 35,  27, 28, 39,  36, 37, 41}},
    {kTurnsAll, 1, 0, {35, 24, 25,  39, 28, 29,  41, 37, 38}},
    {kTurnsAll, 0, 1, {36, 37, 41,  27, 28, 39,  30, 32, 40}},
    {kTurnsAll, 1, 1, {41, 37, 38,  39, 28, 29,  40, 32, 33}},
};

// TetriminoS, tile set catalogue::kTileSetS (63).
inline constexpr PictureRow kPictureS[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {kTurns02, 0, 0, {63, 65, 76,  68, 69, 80,  71, 73, 81}},
    {kTurns02, 1, 0, {76, 65, 66,  80, 69, 70,  72, 78, 79}},
    {kTurns02, 1, 1, {77, 78, 67,  68, 69, 80,  71, 73, 81}},
    {kTurns02, 2, 1, {76, 65, 66,  80, 69, 70,  81, 73, 74}},
    {kTurns13, 1, 0, {63, 65, 66,  68, 69, 70,  77, 78, 79}},
    {kTurns13, 0, 1, {63, 65, 76,  68, 69, 80,  77, 78, 75}},
    {kTurns13, 1, 1, {64, 78, 79,  80, 69, 70,  81, 73, 74}},
    {kTurns13, 0, 2, {77, 78, 79,  68, 69, 70,  71, 73, 74}},
};

// TetriminoT, tile set catalogue::kTileSetT (42).
inline constexpr PictureRow kPictureT[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {0, 0, 0, {42, 44, 55,  47, 48, 59,  50, 52, 60}},
    {0, 1, 0, {55, 44, 55,  59, 48, 59,  51, 57, 54}},
    {0, 2, 0, {55, 44, 45,  59, 48, 49,  60, 52, 53}},
    {0, 1, 1, {56, 57, 58,  47, 48, 49,  50, 52, 53}},
    {1, 0, 0, {42, 44, 45,  47, 48, 49,  56, 57, 58}},
    {1, 0, 1, {56, 57, 46,  47, 48, 59,  56, 57, 54}},
    {1, 1, 1, {55, 44, 45,  59, 48, 49,  60, 52, 53}},
    {1, 0, 2, {56, 57, 58,  47, 48, 49,  50, 52, 53}},
    {2, 1, 0, {42, 44, 45,  47, 48, 49,  56, 57, 58}},
    {2, 0, 1, {42, 44, 55,  47, 48, 59,  50, 52, 60}},
    {2, 1, 1, {43, 57, 46,  59, 48, 59,  60, 52, 60}},
    {2, 2, 1, {55, 44, 45,  59, 48, 49,  60, 52, 53}},
    {3, 1, 0, {42, 44, 45,  47, 48, 49,  56, 57, 58}},
    {3, 0, 1, {42, 44, 55,  47, 48, 59,  50, 52, 60}},
    {3, 1, 1, {43, 57, 58,  59, 48, 49,  51, 57, 58}},
    {3, 1, 2, {56, 57, 58,  47, 48, 49,  50, 52, 53}},
};

// TetriminoZ, tile set catalogue::kTileSetZ (86).
inline constexpr PictureRow kPictureZ[] = {
    // orientation, cell (i, j), {tiles 1-3 (bottom band), 4-6 (middle band), 7-9 (top band)}
    {kTurns02, 1, 0, {86, 88, 99,  91, 92, 103,  100, 101, 98}},
    {kTurns02, 2, 0, {99, 88, 89,  103, 92, 93,  104, 96, 97}},
    {kTurns02, 0, 1, {86, 88, 99,  91, 92, 103,  94, 96, 104}},
    {kTurns02, 1, 1, {87, 101, 102,  103, 92, 93,  104, 96, 97}},
    {kTurns13, 0, 0, {86, 88, 89,  91, 92, 93,  100, 101, 102}},
    {kTurns13, 0, 1, {100, 101, 90,  91, 92, 103,  94, 96, 104}},
    {kTurns13, 1, 1, {99, 88, 89,  103, 92, 93,  95, 101, 102}},
    {kTurns13, 1, 2, {100, 101, 102,  91, 92, 93,  94, 96, 97}},
};

// clang-format on

// A table is whole when it has four squares for each of its one, two or four
// pictures, and every tile lies in the piece's tile set.
template <std::size_t N>
constexpr bool wellFormed(const PictureRow (&table)[N], unsigned tileSet) {
    const std::size_t pictures = N / 4;
    if (N % 4 != 0 || (pictures != 1 && pictures != 2 && pictures != 4)) {
        return false;
    }
    std::size_t squares[4] = {};
    for (const PictureRow& square : table) {
        if (square.orientation >= pictures) {
            return false;
        }
        ++squares[square.orientation];
        for (uint8_t tile : square.tiles) {
            if (tile < tileSet || tile >= tileSet + catalogue::kTileSetSize) {
                return false;
            }
        }
    }
    for (std::size_t k = 0; k < pictures; ++k) {
        if (squares[k] != 4) {
            return false;
        }
    }
    return true;
}

// Every square shows the tiles the joining rule gives it among the squares
// of its own picture.
template <std::size_t N>
constexpr bool joined(const PictureRow (&table)[N], unsigned tileSet) {
    auto has = [&](const PictureRow& square, int di, int dj) {
        for (const PictureRow& other : table) {
            if (other.orientation == square.orientation && other.i == square.i + di &&
                other.j == square.j + dj) {
                return true;
            }
        }
        return false;
    };
    for (const PictureRow& s : table) {
        const catalogue::Neighbours n{has(s, -1, 0),  has(s, 1, 0),  has(s, 0, -1), has(s, 0, 1),
                                      has(s, -1, -1), has(s, 1, -1), has(s, -1, 1), has(s, 1, 1)};
        const std::array<int, 9> offsets = catalogue::joinOffsets(n);
        for (int k = 0; k < 9; ++k) {
            if (s.tiles[k] != tileSet + offsets[k]) {
                return false;
            }
        }
    }
    return true;
}

static_assert(wellFormed(kPictureI, catalogue::kTileSetI) &&
              joined(kPictureI, catalogue::kTileSetI));
static_assert(wellFormed(kPictureJ, catalogue::kTileSetJ) &&
              joined(kPictureJ, catalogue::kTileSetJ));
static_assert(wellFormed(kPictureL, catalogue::kTileSetL) &&
              joined(kPictureL, catalogue::kTileSetL));
static_assert(wellFormed(kPictureO, catalogue::kTileSetO) &&
              joined(kPictureO, catalogue::kTileSetO));
static_assert(wellFormed(kPictureS, catalogue::kTileSetS) &&
              joined(kPictureS, catalogue::kTileSetS));
static_assert(wellFormed(kPictureT, catalogue::kTileSetT) &&
              joined(kPictureT, catalogue::kTileSetT));
static_assert(wellFormed(kPictureZ, catalogue::kTileSetZ) &&
              joined(kPictureZ, catalogue::kTileSetZ));

}  // namespace pictures
