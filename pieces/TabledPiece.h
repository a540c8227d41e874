#pragma once
// What the seven pieces share: a piece drawn, tested and placed square by
// square from its picture table (pieces/PieceTables.h). The four squares of
// each orientation are copied out of the table once, when the piece object is
// built; draw, collides and place work from them for every piece alike. How
// a piece turns and how far it is kicked is left to the pieces that turn
// (the O never does).
//
// Whatever a caller asks, nothing outside the 200-cell board is touched:
// squares that would lie above the top row count as open and are never
// read, and place() skips squares that would fall outside the board.

#include <span>

#include "pieces/PieceTables.h"
#include "pieces/Tetrimino.h"

class TabledPiece : public Tetrimino {
public:
    void draw() const override;
    bool collides(int col, int row, const Cell* board) const override;
    void place(int col, int row, Cell* board) const override;

protected:
    // `table` holds one picture of four squares for all orientations, one for
    // orientations 0 and 2 and one for 1 and 3, or one for each orientation.
    explicit TabledPiece(std::span<const pictures::PictureRow> table);

    // The orientation as 0..3 even if a caller stored something odd in the
    // byte, so that no picture lookup can leave its table.
    int turn() const { return orientation & 3; }
    // Makes `orientation` the next quarter turn clockwise.
    void turnOnce() { orientation = static_cast<int8_t>((turn() + 1) & 3); }

private:
    struct Square {
        int i;  // local cell: columns rightward
        int j;  // local cell: rows upward
        Cell picture;
    };
    // Per orientation: the four squares in drawing order (bottom row first,
    // left to right) and the width of the box.
    Square squares_[4][4];
    int widths_[4];
};
