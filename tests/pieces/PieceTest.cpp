// The seven pieces: their pictures, recomputed from their shapes with the
// joining rule (a typo in any picture table shows up with the piece,
// orientation and square named), and turning, fitting, kicking and placing at
// the board's edges and beyond them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeRenderer.h"
#include "pieces/Tetriminos.h"

namespace {

constexpr int kCells = 200;

struct Board {
    Cell cells[kCells];
    Board& fill(int c, int r) {
        cells[c * 20 + r].empty = 0;
        return *this;
    }
};
Board kEmpty;  // pieces only read it

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

// The joining rule: the tiles of the square (i, j) of a shape, as offsets
// into the tile set. A lone square gives {0, 2, 3, 5, 6, 7, 8, 10, 11}.
// clang-format off
std::vector<int> joinedOffsets(const Shape& s, int i, int j) {
    auto has = [&](int a, int b) { return std::ranges::find(s, std::array{a, b}) != s.end(); };
    const bool L = has(i - 1, j), R = has(i + 1, j), D = has(i, j - 1), U = has(i, j + 1);
    const bool DL = has(i - 1, j - 1), DR = has(i + 1, j - 1);
    const bool UL = has(i - 1, j + 1), UR = has(i + 1, j + 1);
    return {D && L ? (DL ? 19 : 1) : D ? 14 : L ? 13 : 0,   D ? 15 : 2,
            D && R ? (DR ? 19 : 4) : D ? 16 : R ? 13 : 3,   L ? 17 : 5,  6,  R ? 17 : 7,
            U && L ? (UL ? 19 : 9) : U ? 14 : L ? 18 : 8,   U ? 15 : 10,
            U && R ? (UR ? 19 : 12) : U ? 16 : R ? 18 : 11};
}

const struct {
    const char* name;
    Tetrimino* piece;
    int tileBase;
    const char* shapes[4];  // orientation 0..3
} kPieces[] = {
    {"I", &gTetriminoI, 128, {"####", "#/#/#/#", "####", "#/#/#/#"}},
    {"J", &gTetriminoJ, 106, {"#../###", "##/#./#.", "###/..#", ".#/.#/##"}},
    {"L", &gTetriminoL, 168, {"..#/###", "#./#./##", "###/#..", "##/.#/.#"}},
    {"O", &gTetriminoO,  22, {"##/##", "##/##", "##/##", "##/##"}},
    {"S", &gTetriminoS,  63, {".##/##.", "#./##/.#", ".##/##.", "#./##/.#"}},
    {"T", &gTetriminoT,  42, {".#./###", "#./##/#.", "###/.#.", ".#/##/.#"}},
    {"Z", &gTetriminoZ,  86, {"##./.##", ".#/##/#.", "##./.##", ".#/##/#."}},
};
// clang-format on
Tetrimino *const I = &gTetriminoI, *const J = &gTetriminoJ, *const O = &gTetriminoO;
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
};

// Every orientation is drawn square by square in the promised order (bottom
// row first, left to right) and placed on a board whose every cell holds a
// marker: each square carries the joined tiles, and only the four change.
TEST_F(PieceTest, DrawnAndPlacedSquaresCarryTheJoinedTiles) {
    constexpr int kCol = 3, kRow = 7;
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            SCOPED_TRACE(pc.name + std::to_string(o));
            const Shape shape = parseShape(pc.shapes[o]);
            FakeRenderer renderer;
            Cell board[kCells], marker(0, 77, 77, 77, 77, 77, 77, 77, 77, 77);
            std::fill(std::begin(board), std::end(board), marker);
            turned(pc.piece, o)->x = 100;
            pc.piece->y = 300;
            pc.piece->draw();
            pc.piece->place(kCol, kRow, board);
            const std::vector<DrawCall> cells = renderer.callsOf(DrawCall::CellCall);
            ASSERT_EQ(cells.size(), 4u);
            for (size_t k = 0; k < 4; ++k) {
                const auto [i, j] = shape[k];
                SCOPED_TRACE("square " + std::to_string(i) + "," + std::to_string(j));
                EXPECT_EQ(std::vector<int>({cells[k].x, cells[k].y, cells[k].cell.empty}),
                          std::vector<int>({100 + 20 * i, 300 - 20 * j, 0}));
                const Cell& placed = board[20 * (kCol + i) + kRow + j];
                EXPECT_EQ(std::memcmp(&placed, &cells[k].cell, sizeof(Cell)), 0);
                std::vector<int> offsets(cells[k].cell.tiles, cells[k].cell.tiles + 9);
                std::ranges::for_each(offsets, [&](int& t) { t -= pc.tileBase; });
                EXPECT_EQ(offsets, joinedOffsets(shape, i, j));
            }
            EXPECT_EQ(std::count_if(std::begin(board), std::end(board),
                                    [&](const Cell& c) { return !memcmp(&c, &marker, 10); }),
                      196);
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
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(turned(c.piece, c.orientation)->collides(c.col, c.row, c.board.cells), c.blocked)
            << "case " << &c - cases;
    }
    // J, L, S, T and Z: the last column that fits, and the walls and floor beyond.
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4 && pc.piece != I && pc.piece != O; ++o) {
            Tetrimino* p = turned(pc.piece, o);  // the last column that fits is 7 or 8
            EXPECT_FALSE(p->collides(7 + o % 2, 0, e.cells)) << pc.name << o;
            EXPECT_TRUE(p->collides(8 + o % 2, 0, e.cells) && p->collides(-1, 0, e.cells) &&
                        p->collides(3, -1, e.cells))
                << pc.name << o;
        }
    }
}

// rotate() tests nothing and only the bar moves its column; canRotate() tests
// the turned shape where rotate() would put it, and changes nothing. The O
// never turns, and can "turn" wherever it fits.
TEST_F(PieceTest, RotateAndCanRotateAtTheEdges) {
    Board jBlocked = Board().fill(0, 6), oBlocked = Board().fill(5, 3), &e = kEmpty;
    const struct {
        Tetrimino* piece;
        int orientation, col, row;
        Board& board;
        int colAfter;
        bool canRotate;
    } cases[] = {
        // clang-format off
        {I, 0, 4, 5, e, 5, true},   {I, 1, 5, 5, e, 4, true},    {I, 1, 1, 5, e, 0, true},
        {I, 1, 0, 5, e, -1, false}, {I, 3, 7, 5, e, 6, true},    {I, 3, 8, 5, e, 7, false},
        {I, 2, 3, 19, e, 4, true},  {J, 0, 0, 5, jBlocked, 0, false}, {J, 0, 1, 5, jBlocked, 1, true},
        {T, 3, 8, 10, e, 8, false}, {T, 3, 7, 10, e, 7, true},   {Z, 1, 7, 10, e, 7, true},
        {S, 3, 0, 0, e, 0, true},   {O, 0, 4, 3, oBlocked, 4, false}, {O, 2, 8, 0, e, 8, true},
        {O, 1, 9, 0, e, 9, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        Tetrimino* p = turned(c.piece, c.orientation);
        EXPECT_EQ(p->canRotate(c.col, c.row, c.board.cells), c.canRotate) << "case " << &c - cases;
        EXPECT_EQ(p->orientation, c.orientation) << "case " << &c - cases;
        int col = c.col;
        p->rotate(col);
        EXPECT_EQ(std::pair(col, int{p->orientation}),
                  std::pair(c.colAfter, p == O ? c.orientation : (c.orientation + 1) % 4))
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
        EXPECT_EQ(std::pair(k.dx, k.dy), std::pair(c.dx, c.dy)) << "case " << &c - cases;
    }
}

// With the kick applied, every turn from every fitting position stays on the
// board: this is what lets the rules trust the kick.
TEST_F(PieceTest, AKickedTurnAlwaysLandsInsideTheBoard) {
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            for (int col = 0; col < 10; ++col) {
                for (int row = 0; row < 20; ++row) {
                    Tetrimino* p = turned(pc.piece, o);
                    if (p->collides(col, row, kEmpty.cells)) {
                        continue;
                    }
                    const Kick kick = p->kickOffset(col, row);
                    int c = col + kick.dx;
                    p->rotate(c);
                    EXPECT_FALSE(p->collides(c, row + kick.dy, kEmpty.cells))
                        << pc.name << o << " at (" << col << ", " << row << ")";
                }
            }
        }
    }
}

// Squares above row 19 count as open and are never read, and place() writes
// nothing outside the 200 cells wherever it is asked to, whatever the
// orientation byte holds. The cells around the board are filled, so a stray
// read would answer "blocked".
TEST_F(PieceTest, NoReadOrWriteOutsideTheBoard) {
    Cell area[3 * kCells], *board = area + kCells;
    for (int i = 0; i < 3 * kCells; ++i) {
        area[i].empty = i < kCells || i >= 2 * kCells || i % 20 == 0 ? 0 : 1;  // and row 0
    }
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
    for (const auto& pc : kPieces) {
        for (int o : {0, 1, 2, 3, -1, 4, 7, 127, -128}) {
            for (int col = -6; col < 16; ++col) {
                for (int row = -6; row < 26; ++row) {
                    turned(pc.piece, o)->place(col, row, board);
                }
            }
            // An odd byte still means one of the four pictures.
            Board b;
            EXPECT_FALSE(pc.piece->collides(4, 10, b.cells)) << pc.name << " byte " << o;
            pc.piece->place(4, 10, b.cells);
            EXPECT_EQ(std::count_if(b.cells, b.cells + kCells, [](Cell c) { return c.filled(); }),
                      4)
                << pc.name << " byte " << o;
        }
    }
    auto untouched = [&](const Cell& c) { return std::memcmp(&c, &area[0], sizeof(Cell)) == 0; };
    EXPECT_TRUE(std::all_of(area + 1, board, untouched) &&
                std::all_of(board + kCells, area + 3 * kCells, untouched));
}

}  // namespace
