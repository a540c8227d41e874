// The seven pieces: their shapes as drawn and placed (that their tiles follow
// the joining rule is checked when the picture tables compile), and turning,
// fitting, kicking and placing at the board's edges and beyond them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "fakes/FakeRenderer.h"
#include "pieces/Tetriminos.h"

namespace {

using catalogue::cellIndex;
constexpr int kCells = catalogue::kBoardCells;

struct Board {
    Cell cells[kCells];
    Board& fill(int c, int r) {
        cells[cellIndex(c, r)].empty = 0;
        return *this;
    }
};
const Board kEmpty;

// A shape's squares, bottom row first, left to right, from a picture written
// the way a person draws it: rows top first, separated by '/', '#' filled.
using Shape = std::vector<std::array<int, 2>>;
Shape parseShape(const std::string& picture) {
    const int width = static_cast<int>(std::min(picture.find('/'), picture.size()));
    const int height = static_cast<int>(picture.size() + 1) / (width + 1);
    Shape shape;
    for (int k = 0; k < width * height; ++k) {
        if (picture[(height - 1 - k / width) * (width + 1) + k % width] == '#') {
            shape.push_back({k % width, k / width});
        }
    }
    return shape;
}

// clang-format off
const struct {
    const char* name;
    Tetrimino* piece;
    const char* shapes[4];  // orientation 0..3
} kPieces[] = {
    {"I", &gTetriminoI, {"####", "#/#/#/#", "####", "#/#/#/#"}},
    {"J", &gTetriminoJ, {"#../###", "##/#./#.", "###/..#", ".#/.#/##"}},
    {"L", &gTetriminoL, {"..#/###", "#./#./##", "###/#..", "##/.#/.#"}},
    {"O", &gTetriminoO, {"##/##", "##/##", "##/##", "##/##"}},
    {"S", &gTetriminoS, {".##/##.", "#./##/.#", ".##/##.", "#./##/.#"}},
    {"T", &gTetriminoT, {".#./###", "#./##/#.", "###/.#.", ".#/##/.#"}},
    {"Z", &gTetriminoZ, {"##./.##", ".#/##/#.", "##./.##", ".#/##/#."}},
};
// clang-format on
Tetrimino *const I = &gTetriminoI, *const J = &gTetriminoJ, *const L = &gTetriminoL;
Tetrimino* const O = &gTetriminoO;
Tetrimino *const S = &gTetriminoS, *const T = &gTetriminoT, *const Z = &gTetriminoZ;

// Pieces are shared objects: put them back as the game expects to find them.
class PieceTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& pc : kPieces) {
            pc.piece->x = pc.piece->y = pc.piece->orientation = 0;
        }
    }
    static Tetrimino* turned(Tetrimino* p, int o) {
        p->orientation = static_cast<int8_t>(o);
        return p;
    }
    // The squares the piece draws in orientation `o` with its anchor at (100, 300).
    static std::vector<DrawCall> drawn(Tetrimino* p, int o) {
        FakeRenderer renderer;
        turned(p, o)->x = 100;
        p->y = 300;
        p->draw();
        return renderer.callsOf(DrawCall::CellCall);
    }
};

// Drawn bottom row first, left to right, square (i, j) at (x + 20i, y - 20j);
// placed over a board whose every cell holds a marker, the four squares land
// as they are drawn, and no other cell changes.
TEST_F(PieceTest, EachOrientationDrawsAndPlacesItsFourSquares) {
    constexpr int kCol = 3, kRow = 7;
    const Cell marker(0, 77, 77, 77, 77, 77, 77, 77, 77, 77);
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            const Shape shape = parseShape(pc.shapes[o]);
            const std::vector<DrawCall> squares = drawn(pc.piece, o);
            Cell board[kCells];
            std::fill(std::begin(board), std::end(board), marker);
            pc.piece->place(kCol, kRow, board);
            ASSERT_EQ(squares.size(), 4u) << pc.name << o;
            for (size_t k = 0; k < 4; ++k) {
                EXPECT_EQ(squares[k].x, 100 + 20 * shape[k][0]) << pc.name << o << " square " << k;
                EXPECT_EQ(squares[k].y, 300 - 20 * shape[k][1]) << pc.name << o << " square " << k;
                EXPECT_TRUE(squares[k].cell.filled()) << pc.name << o << " square " << k;
                const Cell& placed = board[cellIndex(kCol + shape[k][0], kRow + shape[k][1])];
                EXPECT_EQ(std::memcmp(&placed, &squares[k].cell, sizeof(Cell)), 0)
                    << pc.name << o << " placed square " << k;
            }
            EXPECT_EQ(std::count_if(std::begin(board), std::end(board),
                                    [&](const Cell& c) { return !memcmp(&c, &marker, 10); }),
                      kCells - 4)
                << pc.name << o;
        }
    }
}

TEST_F(PieceTest, CollidesAtTheEdgesAndOnFilledSquaresOnly) {
    const Board underSHole = Board().fill(3, 1), underS = Board().fill(3, 1).fill(4, 1);
    const Board& e = kEmpty;
    const struct {
        Tetrimino* piece;
        int orientation, col, row;
        const Board& board;
        bool blocked;
    } cases[] = {
        // clang-format off
        {I, 0, 6, 19, e, false}, {I, 0, 7, 19, e, true},  {I, 2, 6, 20, e, true},
        {I, 1, 9, 0, e, false},  {I, 3, 10, 0, e, true},  {I, 1, 0, -1, e, true},
        {I, 1, -1, 5, e, true},  {O, 0, 8, 0, e, false},  {O, 3, 9, 0, e, true},
        {O, 0, 4, -1, e, true},  {S, 0, 3, 0, underSHole, false}, {S, 0, 3, 0, underS, true},
        {T, 0, 7, 0, e, false},  {T, 0, 8, 0, e, true},   {J, 1, 8, 0, e, false},
        {J, 3, 9, 0, e, true},   {Z, 1, -1, 0, e, true},  {L, 2, 3, -1, e, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(turned(c.piece, c.orientation)->collides(c.col, c.row, c.board.cells), c.blocked)
            << "case " << &c - cases;
    }
}

// Turning at the edges: whether canRotate() finds room (it turns nothing),
// and where rotate() puts the column (only the bar moves it). The O never
// turns, and can "turn" wherever it fits.
TEST_F(PieceTest, TurningAtTheEdges) {
    const Board jBlocked = Board().fill(0, 6), oBlocked = Board().fill(5, 3);
    const struct {
        Tetrimino* piece;
        int orientation, col, row;
        const Board& board;
        int colAfter;
        bool canRotate;
    } cases[] = {
        // clang-format off
        {I, 0, 4, 5, kEmpty, 5, true},      {I, 1, 5, 5, kEmpty, 4, true},
        {I, 1, 1, 5, kEmpty, 0, true},      {I, 1, 0, 5, kEmpty, -1, false},
        {I, 3, 7, 5, kEmpty, 6, true},      {I, 3, 8, 5, kEmpty, 7, false},
        {I, 2, 3, 19, kEmpty, 4, true},     {J, 0, 0, 5, jBlocked, 0, false},
        {J, 0, 1, 5, jBlocked, 1, true},    {T, 3, 8, 10, kEmpty, 8, false},
        {T, 3, 7, 10, kEmpty, 7, true},     {Z, 1, 7, 10, kEmpty, 7, true},
        {S, 3, 0, 0, kEmpty, 0, true},      {O, 0, 4, 3, oBlocked, 4, false},
        {O, 2, 8, 0, kEmpty, 8, true},      {O, 1, 9, 0, kEmpty, 9, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        Tetrimino* p = turned(c.piece, c.orientation);
        EXPECT_EQ(p->canRotate(c.col, c.row, c.board.cells), c.canRotate) << "case " << &c - cases;
        EXPECT_EQ(p->orientation, c.orientation) << "canRotate turned case " << &c - cases;
        int col = c.col;
        p->rotate(col);
        EXPECT_EQ(col, c.colAfter) << "case " << &c - cases;
        EXPECT_EQ(p->orientation, p == O ? c.orientation : (c.orientation + 1) % 4)
            << "case " << &c - cases;
    }
}

TEST_F(PieceTest, KickOffsetsAtTheEdges) {
    const struct {
        Tetrimino* piece;
        int orientation, col, row, dx, dy;
    } cases[] = {
        // clang-format off
        {I, 1, 0, 5, 1, 0},    {I, 1, 7, 5, 0, 0},     {I, 3, 8, 5, -1, 0},  {I, 1, 9, 5, -2, 0},
        {I, 0, 3, 16, 0, 0},   {I, 0, 3, 17, 0, -1},   {I, 2, 3, 19, 0, -3}, {T, 0, 4, 18, 0, -1},
        {T, 0, 4, 17, 0, 0},   {J, 1, 8, 10, -1, 0},   {J, 3, 8, 19, -1, -2}, {Z, 3, 7, 10, 0, 0},
        {O, 0, 9, 19, 0, 0},   {S, 2, -2, 10, 0, 0},   {S, 0, 11, 10, 0, 0}, {T, 2, 9, 10, 0, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        const Kick k = turned(c.piece, c.orientation)->kickOffset(c.col, c.row);
        EXPECT_EQ(k.dx, c.dx) << "case " << &c - cases;
        EXPECT_EQ(k.dy, c.dy) << "case " << &c - cases;
    }
}

// ---- Positions off the board, and odd orientation bytes

// The board sits in the middle of a larger area whose other cells are filled,
// as is its own row 0, so a stray read above the top would answer "blocked".
class PieceEdgeTest : public PieceTest {
protected:
    void SetUp() override {
        for (int i = 0; i < 3 * kCells; ++i) {
            area[i].empty = i < kCells || i >= 2 * kCells || i % 20 == 0 ? 0 : 1;
        }
    }
    Cell area[3 * kCells];
    Cell* board = area + kCells;
};

// Only the flat bar is refused above row 19.
TEST_F(PieceEdgeTest, SquaresAboveTheTopRowAreOpenAndNeverRead) {
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            const bool flatBar = pc.piece == I && o % 2 == 0;
            for (int col = 0; col < 10; ++col) {
                for (int row = 17; row < 40 && !turned(pc.piece, o)->collides(col, 5, kEmpty.cells);
                     ++row) {
                    EXPECT_EQ(pc.piece->collides(col, row, board), flatBar && row > 19)
                        << pc.name << o << " at (" << col << ", " << row << ")";
                }
            }
        }
    }
}

TEST_F(PieceEdgeTest, PlaceNeverWritesOutsideTheBoard) {
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            for (int col = -6; col < 16; ++col) {
                for (int row = -6; row < 26; ++row) {
                    turned(pc.piece, o)->place(col, row, board);
                }
            }
        }
    }
    auto untouched = [&](const Cell& c) { return std::memcmp(&c, &area[0], sizeof(Cell)) == 0; };
    EXPECT_TRUE(std::all_of(area + 1, board, untouched)) << "below the board";
    EXPECT_TRUE(std::all_of(board + kCells, area + 3 * kCells, untouched)) << "above the board";
}

TEST_F(PieceTest, AnOddOrientationByteStillMeansOneOfTheFourPictures) {
    for (const auto& pc : kPieces) {
        for (int o : {-1, 4, 7, 127, -128}) {
            Board b;
            EXPECT_FALSE(turned(pc.piece, o)->collides(4, 10, b.cells)) << pc.name << " byte " << o;
            pc.piece->place(4, 10, b.cells);
            EXPECT_EQ(std::count_if(b.cells, b.cells + kCells, [](Cell c) { return c.filled(); }),
                      4)
                << pc.name << " byte " << o;
        }
    }
}

}  // namespace
