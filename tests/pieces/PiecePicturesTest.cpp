// The pictures of the seven pieces, recomputed from their shapes with the
// joining rule and compared with what each piece draws and places. A typo in
// any picture table shows up with the piece, orientation and square named.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "fakes/FakeRenderer.h"
#include "pieces/Tetriminos.h"

namespace {

// A shape written the way a person draws it: rows top first, separated by
// '/', '#' for a filled cell. Squares are listed bottom row first, left to right.
struct Shape {
    std::vector<std::array<int, 2>> squares;
    bool has(int i, int j) const {
        for (const auto& [si, sj] : squares) {
            if (si == i && sj == j) {
                return true;
            }
        }
        return false;
    }
};

Shape parseShape(const std::string& picture) {
    std::vector<std::string> rows{""};
    for (char ch : picture) {
        if (ch == '/') {
            rows.emplace_back();
        } else {
            rows.back().push_back(ch);
        }
    }
    Shape shape;
    for (size_t j = 0; j < rows.size(); ++j) {
        for (size_t i = 0; i < rows[0].size(); ++i) {
            if (rows[rows.size() - 1 - j][i] == '#') {
                shape.squares.push_back({static_cast<int>(i), static_cast<int>(j)});
            }
        }
    }
    return shape;
}

// The joining rule: the tiles of the square (i, j) of a shape, as offsets
// into the tile set. A lone square gives {0, 2, 3, 5, 6, 7, 8, 10, 11}.
// clang-format off
std::array<int, 9> joinedOffsets(const Shape& s, int i, int j) {
    const bool L = s.has(i - 1, j), R = s.has(i + 1, j), D = s.has(i, j - 1), U = s.has(i, j + 1);
    const bool DL = s.has(i - 1, j - 1), DR = s.has(i + 1, j - 1);
    const bool UL = s.has(i - 1, j + 1), UR = s.has(i + 1, j + 1);
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

// Every orientation is drawn square by square in the promised order (bottom
// row first, left to right) and placed on a board whose every cell is filled
// with a marker: each square carries the joined tiles, and only the piece's
// four squares change.
TEST(PiecePictures, DrawnAndPlacedSquaresCarryTheJoinedTiles) {
    constexpr int kCol = 3, kRow = 7;
    for (const auto& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            const Shape shape = parseShape(pc.shapes[o]);
            FakeRenderer renderer;
            Cell board[200], marker(0, 77, 77, 77, 77, 77, 77, 77, 77, 77);
            std::fill(std::begin(board), std::end(board), marker);
            pc.piece->orientation = static_cast<int8_t>(o);
            pc.piece->x = 100;
            pc.piece->y = 300;
            pc.piece->draw();
            pc.piece->place(kCol, kRow, board);
            const std::vector<DrawCall> cells = renderer.callsOf(DrawCall::CellCall);
            ASSERT_EQ(cells.size(), 4u) << pc.name << o;
            for (size_t k = 0; k < 4; ++k) {
                const auto [i, j] = shape.squares[k];
                const std::string where = pc.name + std::to_string(o) + " square " +
                                          std::to_string(i) + "," + std::to_string(j);
                EXPECT_EQ(std::vector<int>({cells[k].x, cells[k].y, cells[k].cell.empty}),
                          std::vector<int>({100 + 20 * i, 300 - 20 * j, 0}))
                    << where;
                const Cell& placed = board[20 * (kCol + i) + kRow + j];
                EXPECT_EQ(std::memcmp(&placed, &cells[k].cell, sizeof(Cell)), 0) << where;
                const std::array<int, 9> offsets = joinedOffsets(shape, i, j);
                for (int t = 0; t < 9; ++t) {
                    EXPECT_EQ(cells[k].cell.tiles[t], pc.tileBase + offsets[t])
                        << where << " t" << t;
                }
            }
            int untouched = 0;
            for (const Cell& c : board) {
                untouched += std::memcmp(&c, &marker, sizeof(Cell)) == 0 ? 1 : 0;
            }
            EXPECT_EQ(untouched, 196) << pc.name << o;
        }
        pc.piece->orientation = 0;
        pc.piece->x = pc.piece->y = 0;
    }
}

}  // namespace
