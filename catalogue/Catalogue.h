#pragma once
// The numbers that the game, its picture generator (tools/artgen) and the
// tests must agree on: where each picture lies in BrikResource.dat, which
// tile of a tile set joins a square to which neighbours, the screen, the
// board's place on it, the keys and the number of pieces.
// The generator writes each picture at the index named here and the game
// draws it by the same name, so the two cannot drift apart: renaming or
// moving a picture here changes both, and a picture placed on top of another
// stops the build (see the checks at the end).
//
// It has a folder of its own because it belongs to no one layer: render/,
// pieces/, levels/, app/, tools/ and tests/ all read it, and it reads nothing
// and links nothing, so it sits below all of them without pulling OpenGL,
// SDL or another folder's library into any of them.

#include <array>
#include <cstdint>

namespace catalogue {

// ---- The screen: integer pixels, origin at the top-left corner, y downward.

inline constexpr int kScreenWidth = 320;
inline constexpr int kScreenHeight = 480;

// ---- Keys: the platform's virtual-key codes 0..255. These are the ones the
// game acts on; every other key only leaves a screen that waits for a key.

inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kHighestKey = 255;

// One sideways slide of the falling piece, in milliseconds: a held arrow
// moves it a column this often, and a press that comes while it slides is
// not taken.
inline constexpr int kSlideMs = 100;

// ---- Pieces: type codes 0..6 stand for O Z S L J T I; their colour
// numbers 1..7 (as the levels write them) for I Z O S J L T.

inline constexpr int kPieceCount = 7;

// ---- The board: 10 columns by 20 rows, row 0 at the bottom, stored column
// by column; on screen inside a 10-pixel metal frame.

inline constexpr int kBoardColumns = 10;
inline constexpr int kBoardRows = 20;
inline constexpr int kBoardCells = kBoardColumns * kBoardRows;
inline constexpr int kTopRow = kBoardRows - 1;
inline constexpr int kSquarePixels = 20;  // one board square on screen
inline constexpr int kBoardLeft = 60;     // x of column 0's left edge
inline constexpr int kBoardTop = 60;      // y of the top row's upper edge
inline constexpr int kBoardWidth = kBoardColumns * kSquarePixels;
inline constexpr int kBoardHeight = kBoardRows * kSquarePixels;
inline constexpr int kFrameThickness = 10;

// Element of board cell (column, row) among the 200.
constexpr int cellIndex(int column, int row) {
    return column * kBoardRows + row;
}
// Screen x of the left edge of the squares in `column`.
constexpr int squareX(int column) {
    return kBoardLeft + kSquarePixels * column;
}
// Screen y of the upper edge of the squares in `row`.
constexpr int squareY(int row) {
    return kBoardTop + kSquarePixels * (kTopRow - row);
}

// The game-over, level-complete and win plates lie centred on this point,
// over the lower board.
inline constexpr int kPlateCentreX = kScreenWidth / 2;
inline constexpr int kPlateCentreY = 400;

// ---- Pictures, by their index in the picture file (the texture index).

// A tile set is twenty consecutive pictures from which the squares of one
// colour are drawn; a tile's offset in its set is its role.
inline constexpr int kTileSetSize = 20;

// Piece tile sets, and the near-white set that full rows turn into while
// they are cleared.
inline constexpr unsigned kTileSetO = 22;
inline constexpr unsigned kTileSetT = 42;
inline constexpr unsigned kTileSetS = 63;
inline constexpr unsigned kTileSetZ = 86;
inline constexpr unsigned kTileSetJ = 106;
inline constexpr unsigned kTileSetI = 128;
inline constexpr unsigned kClearingSet = 148;
inline constexpr unsigned kTileSetL = 168;
// The piece sets in file order, which is also the order of the seven
// piece-count labels, bars and caps.
inline constexpr unsigned kPieceTileSets[kPieceCount] = {kTileSetO, kTileSetT, kTileSetS, kTileSetZ,
                                                         kTileSetJ, kTileSetI, kTileSetL};

// The frame pieces lie where a lone square's tiles lie in a tile set that
// starts at 1 (offsets 0, 2, 3, 5, 7, 8, 10, 11); 2, 5, 7 and 10 are unused.
inline constexpr unsigned kFrameBottomLeft = 1;
inline constexpr unsigned kFrameBottom = 3;
inline constexpr unsigned kFrameBottomRight = 4;
inline constexpr unsigned kFrameLeft = 6;
inline constexpr unsigned kFrameRight = 8;
inline constexpr unsigned kFrameTopLeft = 9;
inline constexpr unsigned kFrameTop = 11;
inline constexpr unsigned kFrameTopRight = 12;

// The five pictures of the turning ring, in the gaps between the tile sets.
inline constexpr unsigned kRingA = 0;
inline constexpr unsigned kRingB = 62;
inline constexpr unsigned kRingC = 83;
inline constexpr unsigned kRingD = 84;
inline constexpr unsigned kRingE = 127;

inline constexpr unsigned kBand = 21;   // a voice band, stretched to the screen's width
inline constexpr unsigned kIntro = 85;  // the title screen, the whole screen
inline constexpr unsigned kPrompt = 126;
inline constexpr unsigned kDigits = 188;  // ten: 0 to 9
inline constexpr unsigned kGameOver = 198;
inline constexpr unsigned kCountLabels = 199;  // seven each, in the order of kPieceTileSets
inline constexpr unsigned kCountBars = 206;
inline constexpr unsigned kCountCaps = 213;
inline constexpr unsigned kLevelComplete = 220;
inline constexpr unsigned kYouWin = 221;
inline constexpr unsigned kIcon = 222;  // the window's icon; the game never draws it
inline constexpr unsigned kRecordCount = 223;

// The bar of rows still to clear is the O set's centre tile (offset 6), one
// flat colour that stretches to any size; it has no picture of its own.
inline constexpr unsigned kRowsBar = kTileSetO + 6;

// ---- The joining rule. A square is drawn as nine tiles of its colour's set
// (tiles 1-3 the bottom band, 4-6 the middle, 7-9 the top, each left to
// right), chosen by which of its neighbours belong to the same piece, so that
// the squares of a piece look like one block. The generator cuts each tile
// for its role; the piece pictures are checked against the rule when they
// are compiled.

struct Neighbours {
    bool left = false, right = false, down = false, up = false;
    bool downLeft = false, downRight = false, upLeft = false, upRight = false;

    // Bits 0..7 in the order of the fields, so that 0..255 name every case.
    static constexpr Neighbours fromBits(unsigned bits) {
        auto bit = [bits](int i) { return ((bits >> i) & 1u) != 0; };
        return {bit(0), bit(1), bit(2), bit(3), bit(4), bit(5), bit(6), bit(7)};
    }
};

// The offsets in its tile set of a square's tiles 1..9. A lone square has
// 0, 2, 3, 5, 6, 7, 8, 10, 11.
constexpr std::array<int, 9> joinOffsets(const Neighbours& n) {
    // A corner tile: joined on both sides (19 when the diagonal neighbour is
    // joined too), on the upper or lower side only, sideways only, or alone.
    auto corner = [](bool vertical, bool sideways, bool diagonal, int both, int vertOnly,
                     int sideOnly, int alone) {
        return vertical && sideways ? (diagonal ? 19 : both)
               : vertical           ? vertOnly
               : sideways           ? sideOnly
                                    : alone;
    };
    return {
        corner(n.down, n.left, n.downLeft, 1, 14, 13, 0),
        n.down ? 15 : 2,
        corner(n.down, n.right, n.downRight, 4, 16, 13, 3),
        n.left ? 17 : 5,
        6,
        n.right ? 17 : 7,
        corner(n.up, n.left, n.upLeft, 9, 14, 18, 8),
        n.up ? 15 : 10,
        corner(n.up, n.right, n.upRight, 12, 16, 18, 11),
    };
}

// ---- Checks: no picture lies on top of another, and all are in the file.

namespace check {

struct Span {
    unsigned first;
    unsigned count;
};

// clang-format off
inline constexpr Span kSpans[] = {
    {kRingA, 1}, {kRingB, 1}, {kRingC, 1}, {kRingD, 1}, {kRingE, 1},
    {kFrameBottomLeft, 1}, {kFrameBottom, 1}, {kFrameBottomRight, 1}, {kFrameLeft, 1},
    {kFrameRight, 1}, {kFrameTopLeft, 1}, {kFrameTop, 1}, {kFrameTopRight, 1},
    {kBand, 1}, {kIntro, 1}, {kPrompt, 1}, {kDigits, 10}, {kGameOver, 1},
    {kCountLabels, kPieceCount}, {kCountBars, kPieceCount}, {kCountCaps, kPieceCount},
    {kLevelComplete, 1}, {kYouWin, 1}, {kIcon, 1},
    {kTileSetO, kTileSetSize}, {kTileSetT, kTileSetSize}, {kTileSetS, kTileSetSize},
    {kTileSetZ, kTileSetSize}, {kTileSetJ, kTileSetSize}, {kTileSetI, kTileSetSize},
    {kClearingSet, kTileSetSize}, {kTileSetL, kTileSetSize},
};
// clang-format on

constexpr bool spansApart() {
    for (const Span& a : kSpans) {
        if (a.first + a.count > kRecordCount) {
            return false;
        }
        for (const Span& b : kSpans) {
            if (&a != &b && a.first < b.first + b.count && b.first < a.first + a.count) {
                return false;
            }
        }
    }
    return true;
}

constexpr bool setsRise() {
    for (int k = 1; k < kPieceCount; ++k) {
        if (kPieceTileSets[k - 1] >= kPieceTileSets[k]) {
            return false;
        }
    }
    return true;
}

// A cell keeps its tiles in one byte each.
constexpr bool setsFitInAByte() {
    for (const unsigned base : kPieceTileSets) {
        if (base + kTileSetSize > 256) {
            return false;
        }
    }
    return kClearingSet + kTileSetSize <= 256;
}

}  // namespace check

static_assert(check::spansApart(), "two pictures share an index, or one lies past the file's end");
static_assert(check::setsRise(), "the piece sets are listed in file order");
static_assert(check::setsFitInAByte(), "a tile index does not fit a cell's byte");
static_assert(kBoardLeft >= kFrameThickness && kBoardTop >= kFrameThickness &&
                  kBoardLeft + kBoardWidth + kFrameThickness <= kScreenWidth &&
                  kBoardTop + kBoardHeight + kFrameThickness <= kScreenHeight,
              "the framed board lies on the screen");

}  // namespace catalogue
