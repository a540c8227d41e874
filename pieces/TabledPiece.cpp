#include "pieces/TabledPiece.h"

#include <algorithm>

#include "catalogue/Catalogue.h"
#include "render/Renderer.h"

using catalogue::cellIndex;
using catalogue::kBoardColumns;
using catalogue::kBoardRows;
using catalogue::kSquarePixels;
using catalogue::kTopRow;
using pictures::PictureRow;

TabledPiece::TabledPiece(std::span<const PictureRow> table) {
    // Four squares per picture; with one or two pictures, orientation o
    // shows picture o % 1 or o % 2.
    const int pictureCount = static_cast<int>(table.size() / 4);
    for (int o = 0; o < 4; ++o) {
        int k = 0;
        widths_[o] = 0;
        for (const PictureRow& row : table) {
            if (row.orientation != o % pictureCount) {
                continue;
            }
            const uint8_t* t = row.tiles;
            squares_[o][k++] = {row.i, row.j,
                                Cell(0, t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8])};
            widths_[o] = std::max(widths_[o], row.i + 1);
        }
    }
}

void TabledPiece::draw() const {
    for (const Square& s : squares_[turn()]) {
        gRenderer->drawCell(x + kSquarePixels * s.i, y - kSquarePixels * s.j, &s.picture);
    }
}

bool TabledPiece::collides(int col, int row, const Cell* board) const {
    // Every piece tests the floor and both walls. The comparisons are
    // arranged so that no sum can overflow, whatever column is asked about.
    if (col < 0 || row < 0 || col > kBoardColumns - widths_[turn()]) {
        return true;
    }
    for (const Square& s : squares_[turn()]) {
        // Squares above the top row are open: the board has no row there.
        if (s.j <= kTopRow - row && board[cellIndex(col + s.i, row + s.j)].filled()) {
            return true;
        }
    }
    return false;
}

// place() tests nothing else, so skipping squares off the board is what keeps
// a careless caller from writing past it.
void TabledPiece::place(int col, int row, Cell* board) const {
    for (const Square& s : squares_[turn()]) {
        const bool inside =
            col >= -s.i && col < kBoardColumns - s.i && row >= -s.j && row < kBoardRows - s.j;
        if (inside) {
            board[cellIndex(col + s.i, row + s.j)] = s.picture;
        }
    }
}
