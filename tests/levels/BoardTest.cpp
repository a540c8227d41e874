// The board's own operations: removing a row, and nothing written off the board.

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "catalogue/Catalogue.h"
#include "levels/Board.h"

namespace {

using namespace catalogue;

TEST(Board, RemovingARowLowersTheRowsAboveAndEmptiesTheTop) {
    Board board;
    board.setCell(3, 5, 2);
    board.setCell(3, 19, 1);
    board.removeRow(0);
    EXPECT_TRUE(board.at(3, 4).filled()) << "row 5 came down";
    EXPECT_TRUE(board.at(3, 18).filled()) << "row 19 came down";
    EXPECT_FALSE(board.at(3, 19).filled()) << "the top row is empty";
}

TEST(Board, OperationsOffTheBoardChangeNothing) {
    Board board;
    for (int i = 0; i < kBoardCells; ++i) {
        board.setCell(i / kBoardRows, i % kBoardRows, i % 7 + 1);
    }
    const Board before = board;
    for (const auto& [col, row] : {std::pair{-1, 0}, {10, 0}, {0, -1}, {0, 20}, {99999, -99999}}) {
        board.setCell(col, row, 3);
        board.dropBlock(col, 3);
    }
    for (int row : {-1, 20, -100000, 100000}) {
        board.closeLowerEdges(row);
        board.closeUpperEdges(row);
        board.markClearing(row);
        board.removeRow(row);
    }
    EXPECT_EQ(std::memcmp(before.cells, board.cells, sizeof(board.cells)), 0);
}

}  // namespace
