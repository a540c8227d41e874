#pragma once
// The playfield's 200 squares and the changes the rules make to them: single
// blocks, full rows found and removed, blocks dropped in, garbage rows
// pushed up from below, the edges of squares closed where a row goes, and
// rows turned into the clearing tile set. It knows nothing of pieces, time
// or keys; the play level (BrikLevel) decides when each change happens and
// draws the random numbers the hazards use.
//
// Cells are stored column by column, row 0 at the bottom (see
// catalogue::cellIndex); pieces and the renderer take `cells` as it is.
// at() expects a square on the board; every other operation ignores
// positions off it.

#include "catalogue/Catalogue.h"
#include "catalogue/Cell.h"

class Board {
public:
    Cell& at(int column, int row) { return cells[catalogue::cellIndex(column, row)]; }
    const Cell& at(int column, int row) const { return cells[catalogue::cellIndex(column, row)]; }

    // Empties every square.
    void clear();
    // Makes (column, row) a filled lone square of colour number 1..7 (I Z O S
    // J L T); any other number gives the clearing tile set.
    void setCell(int column, int row, int colourNumber);
    bool rowFull(int row) const;
    // Takes `row` out: every row above it moves down one, the top row empties.
    void removeRow(int row);
    // A block of the colour falls in `column` from row 9 and rests on the
    // first filled square below it, or on the floor. Nothing happens when the
    // square at row 9 is filled; squares above row 9 are never looked at.
    void dropBlock(int column, int colourNumber);
    // Every row moves up one (the top row is lost) and row 0 becomes lone
    // squares of the colour, with holes where `holes` says; with no hole at
    // all, column 0 is left open, so a garbage row can never be cleared whole.
    void raiseGarbageRow(int colourNumber, const bool (&holes)[catalogue::kBoardColumns]);
    // The squares of `row` stop looking joined to the row below them
    // (closeLowerEdges) or above them (closeUpperEdges). Doing it twice
    // changes nothing.
    void closeLowerEdges(int row);
    void closeUpperEdges(int row);
    // Moves every square of `row`, filled or not, into the clearing tile set,
    // each tile keeping its role. The set is found from tile 1 alone.
    void markClearing(int row);

    Cell cells[catalogue::kBoardCells];
};
