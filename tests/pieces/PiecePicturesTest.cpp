// The pictures of the seven pieces, recomputed from their shapes with the
// joining rule and compared with what each piece draws and stores. A typo in
// any picture table shows up with the piece, orientation and square named.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/FakeRenderer.h"
#include "pieces/Tetriminos.h"

namespace {

// A shape written the way a person draws it: rows top first, separated by
// '/', '#' for a filled cell. Squares are listed bottom row first, left to right.
struct Shape {
    int width = 0, height = 0;
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
    Shape shape{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
    for (int j = 0; j < shape.height; ++j) {
        for (int i = 0; i < shape.width; ++i) {
            if (rows[shape.height - 1 - j][i] == '#') {
                shape.squares.push_back({i, j});
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
// clang-format on

struct PieceCase {
    const char* name;
    Tetrimino* piece;
    int tileBase;
    const char* shapes[4];  // orientation 0..3
};

// clang-format off
const PieceCase kPieces[] = {
    {"I", &gTetriminoI, 128, {"####", "#/#/#/#", "####", "#/#/#/#"}},
    {"J", &gTetriminoJ, 106, {"#../###", "##/#./#.", "###/..#", ".#/.#/##"}},
    {"L", &gTetriminoL, 168, {"..#/###", "#./#./##", "###/#..", "##/.#/.#"}},
    {"O", &gTetriminoO,  22, {"##/##", "##/##", "##/##", "##/##"}},
    {"S", &gTetriminoS,  63, {".##/##.", "#./##/.#", ".##/##.", "#./##/.#"}},
    {"T", &gTetriminoT,  42, {".#./###", "#./##/#.", "###/.#.", ".#/##/.#"}},
    {"Z", &gTetriminoZ,  86, {"##./.##", ".#/##/#.", "##./.##", ".#/##/#."}},
};
// clang-format on

// Drawing every orientation shows each picture square by square, in the
// order the pieces promise (bottom row first, left to right).
TEST(PiecePictures, EveryDrawnSquareCarriesTheJoinedTiles) {
    for (const PieceCase& pc : kPieces) {
        for (int o = 0; o < 4; ++o) {
            const Shape shape = parseShape(pc.shapes[o]);
            FakeRenderer renderer;
            pc.piece->orientation = static_cast<int8_t>(o);
            pc.piece->x = 100;
            pc.piece->y = 300;
            pc.piece->draw();
            const std::vector<DrawCall> cells = renderer.callsOf(DrawCall::CellCall);
            ASSERT_EQ(cells.size(), 4u) << pc.name << " orientation " << o;
            for (size_t k = 0; k < 4; ++k) {
                const auto [i, j] = shape.squares[k];
                const std::string where = std::string(pc.name) + " orientation " +
                                          std::to_string(o) + " square " + std::to_string(k);
                EXPECT_EQ(cells[k].x, 100 + 20 * i) << where;
                EXPECT_EQ(cells[k].y, 300 - 20 * j) << where;
                EXPECT_EQ(cells[k].cell.empty, 0) << where;
                const std::array<int, 9> offsets = joinedOffsets(shape, i, j);
                for (int t = 0; t < 9; ++t) {
                    EXPECT_EQ(cells[k].cell.tiles[t], pc.tileBase + offsets[t])
                        << where << " t" << t;
                }
            }
        }
        pc.piece->orientation = 0;
        pc.piece->x = pc.piece->y = 0;
    }
}

// The picture grids hold each box in its documented layout (I, O, S and Z
// column by column, J, L and T row by row, six cells per turn), with the
// unused cells of each box empty and zeroed.
void expectBox(const Cell* grid, int piece, int o, bool rowByRow) {
    const Shape s = parseShape(kPieces[piece].shapes[o]);
    for (int i = 0; i < s.width; ++i) {
        for (int j = 0; j < s.height; ++j) {
            const Cell& cell = grid[rowByRow ? 6 * o + s.width * j + i : s.height * i + j];
            const std::string where = std::string(kPieces[piece].name) + std::to_string(o) + " (" +
                                      std::to_string(i) + ", " + std::to_string(j) + ")";
            EXPECT_EQ(cell.empty, s.has(i, j) ? 0 : 1) << where;
            for (int t = 0; t < 9; ++t) {
                const int want = !s.has(i, j) ? 0 : t == 4 ? kPieces[piece].tileBase + 6 : -1;
                EXPECT_TRUE(want < 0 || cell.tiles[t] == want) << where << " t" << t;
            }
        }
    }
}

TEST(PiecePictures, GridsHoldEachBoxInItsDocumentedLayout) {
    expectBox(gTetriminoI.horizontal, 0, 0, false);
    expectBox(gTetriminoI.vertical, 0, 1, false);
    expectBox(gTetriminoO.cells, 3, 0, false);
    expectBox(gTetriminoS.horizontal, 4, 0, false);
    expectBox(gTetriminoS.vertical, 4, 1, false);
    expectBox(gTetriminoZ.horizontal, 6, 0, false);
    expectBox(gTetriminoZ.vertical, 6, 1, false);
    for (int o = 0; o < 4; ++o) {
        expectBox(gTetriminoJ.cells, 1, o, true);
        expectBox(gTetriminoL.cells, 2, o, true);
        expectBox(gTetriminoT.cells, 5, o, true);
    }
    Cell flag;
    flag.empty = 2;  // any non-zero flag means empty
    EXPECT_FALSE(flag.filled());
}

}  // namespace
