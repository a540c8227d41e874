#include "levels/Board.h"

#include <array>
#include <cstdint>

using namespace catalogue;

namespace {

constexpr int kDropTopRow = 9;  // the highest row a dropped block rests on

// First texture index of the tile set of colour numbers 1..7; any other
// number gets the clearing set.
constexpr uint8_t kColourSet[kPieceCount + 1] = {
    kClearingSet,  // not a colour
    kTileSetI,     // 1
    kTileSetZ,     // 2
    kTileSetO,     // 3
    kTileSetS,     // 4
    kTileSetJ,     // 5
    kTileSetL,     // 6
    kTileSetT,     // 7
};

// A square closed on all four sides: tiles 1..9 as offsets into its set.
constexpr std::array<int, 9> kLoneSquare = joinOffsets({});

// Closing an edge: offset replacements for the three tiles of the bottom band
// (tiles 1, 2, 3) and of the top band (tiles 7, 8, 9). Each is the joining
// rule with "the piece continues below/above" made false (checked below).
// 0xFF: no entry.
struct OffsetSwap {
    uint8_t from;
    uint8_t to;
};
constexpr uint8_t kNone = 0xFF;
constexpr uint8_t kJoinedCorner = 19;  // used by the O's pictures alone
// clang-format off
constexpr OffsetSwap kCloseBottom[3][3] = {
    /* tile 1 */ {{1, 13}, {14, 0},  {19, 13}},
    /* tile 2 */ {{15, 2}, {kNone, kNone}, {kNone, kNone}},
    /* tile 3 */ {{4, 13}, {16, 3},  {19, 13}},
};
constexpr OffsetSwap kCloseTop[3][3] = {
    /* tile 7 */ {{9, 18},  {14, 8},  {19, 18}},
    /* tile 8 */ {{15, 10}, {kNone, kNone}, {kNone, kNone}},
    /* tile 9 */ {{12, 18}, {16, 11}, {19, 18}},
};
// clang-format on
constexpr int kBottomBand = 0;  // tiles 1..3 as array elements
constexpr int kTopBand = 6;     // tiles 7..9

bool onBoard(int column, int row) {
    return column >= 0 && column < kBoardColumns && row >= 0 && row < kBoardRows;
}

// The piece tile set (one of the seven) that holds `tile`, as its base; the
// clearing set when none does.
constexpr uint8_t pieceSetOf(uint8_t tile) {
    for (const unsigned base : kPieceTileSets) {
        if (tile >= base && tile < base + kTileSetSize) {
            return static_cast<uint8_t>(base);
        }
    }
    return kClearingSet;
}

constexpr void closeBand(Cell& cell, int firstTile, const OffsetSwap (&swaps)[3][3]) {
    for (int k = 0; k < 3; ++k) {
        uint8_t& tile = cell.tiles[firstTile + k];
        const uint8_t base = pieceSetOf(tile);
        if (base == kClearingSet) {
            continue;
        }
        const uint8_t offset = static_cast<uint8_t>(tile - base);
        for (const OffsetSwap& swap : swaps[k]) {
            if (swap.from != offset || (swap.from == kJoinedCorner && base != kTileSetO)) {
                continue;
            }
            tile = static_cast<uint8_t>(base + swap.to);
            break;
        }
    }
}

// Closing an edge gives every square the tiles that the joining rule gives it
// without its neighbours on that side, in every piece set and for every
// neighbourhood; a joined corner (19) is replaced in the O's set alone, the
// only one whose pictures use it. One set at a time, so that each check stays
// within what a compiler evaluates for one constant expression (clang's limit
// is the lower).
constexpr bool closingFollowsTheRule(unsigned base) {
    for (unsigned bits = 0; bits < 256; ++bits) {
        const Neighbours n = Neighbours::fromBits(bits);
        Neighbours open[2] = {n, n};  // with nothing below, with nothing above
        open[0].down = open[0].downLeft = open[0].downRight = false;
        open[1].up = open[1].upLeft = open[1].upRight = false;
        for (int side = 0; side < 2; ++side) {
            Cell cell;
            const std::array<int, 9> before = joinOffsets(n);
            for (int k = 0; k < 9; ++k) {
                cell.tiles[k] = static_cast<uint8_t>(base + before[k]);
            }
            closeBand(cell, side == 0 ? kBottomBand : kTopBand,
                      side == 0 ? kCloseBottom : kCloseTop);
            const std::array<int, 9> after = joinOffsets(open[side]);
            for (int k = 0; k < 9; ++k) {
                const bool kept = before[k] == kJoinedCorner && base != kTileSetO;
                if (cell.tiles[k] != base + (kept ? before[k] : after[k])) {
                    return false;
                }
            }
        }
    }
    return true;
}
static_assert(closingFollowsTheRule(kTileSetO), "an O edge table disagrees with the joining rule");
static_assert(closingFollowsTheRule(kTileSetZ), "a Z edge table disagrees with the joining rule");
static_assert(closingFollowsTheRule(kTileSetS), "an S edge table disagrees with the joining rule");
static_assert(closingFollowsTheRule(kTileSetL), "an L edge table disagrees with the joining rule");
static_assert(closingFollowsTheRule(kTileSetJ), "a J edge table disagrees with the joining rule");
static_assert(closingFollowsTheRule(kTileSetT), "a T edge table disagrees with the joining rule");
static_assert(closingFollowsTheRule(kTileSetI), "an I edge table disagrees with the joining rule");

}  // namespace

void Board::clear() {
    for (Cell& cell : cells) {
        cell.empty = 1;
    }
}

void Board::setCell(int column, int row, int colourNumber) {
    if (!onBoard(column, row)) {
        return;
    }
    const bool colour = colourNumber >= 1 && colourNumber <= kPieceCount;
    const uint8_t base = kColourSet[colour ? colourNumber : 0];
    Cell& cell = at(column, row);
    cell.empty = 0;
    for (int k = 0; k < 9; ++k) {
        cell.tiles[k] = static_cast<uint8_t>(base + kLoneSquare[k]);
    }
}

bool Board::rowFull(int row) const {
    if (!onBoard(0, row)) {
        return false;
    }
    for (int c = 0; c < kBoardColumns; ++c) {
        if (!at(c, row).filled()) {
            return false;
        }
    }
    return true;
}

void Board::removeRow(int row) {
    if (!onBoard(0, row)) {
        return;
    }
    for (int c = 0; c < kBoardColumns; ++c) {
        for (int r = row; r < kTopRow; ++r) {
            at(c, r) = at(c, r + 1);
        }
        at(c, kTopRow).empty = 1;
    }
}

void Board::dropBlock(int column, int colourNumber) {
    if (!onBoard(column, kDropTopRow) || at(column, kDropTopRow).filled()) {
        return;
    }
    int r = kDropTopRow;
    while (r > 0 && !at(column, r - 1).filled()) {
        --r;
    }
    setCell(column, r, colourNumber);
}

void Board::raiseGarbageRow(int colourNumber, const bool (&holes)[kBoardColumns]) {
    for (int c = 0; c < kBoardColumns; ++c) {
        for (int r = kTopRow - 1; r >= 0; --r) {
            at(c, r + 1) = at(c, r);
        }
    }
    bool anyHole = false;
    for (int c = 0; c < kBoardColumns; ++c) {
        if (holes[c]) {
            at(c, 0).empty = 1;
            anyHole = true;
        } else {
            setCell(c, 0, colourNumber);
        }
    }
    if (!anyHole) {
        at(0, 0).empty = 1;
    }
}

void Board::closeLowerEdges(int row) {
    if (!onBoard(0, row)) {
        return;
    }
    for (int c = 0; c < kBoardColumns; ++c) {
        closeBand(at(c, row), kBottomBand, kCloseBottom);
    }
}

void Board::closeUpperEdges(int row) {
    if (!onBoard(0, row)) {
        return;
    }
    for (int c = 0; c < kBoardColumns; ++c) {
        closeBand(at(c, row), kTopBand, kCloseTop);
    }
}

void Board::markClearing(int row) {
    if (!onBoard(0, row)) {
        return;
    }
    for (int c = 0; c < kBoardColumns; ++c) {
        Cell& cell = at(c, row);
        // Tile 1 names the set, filled or not; the shift keeps each tile's
        // offset. Tiles are 8-bit, so the shift wraps like the tiles do.
        const uint8_t shift = static_cast<uint8_t>(kClearingSet - pieceSetOf(cell.tiles[0]));
        for (uint8_t& tile : cell.tiles) {
            tile = static_cast<uint8_t>(tile + shift);
        }
    }
}
