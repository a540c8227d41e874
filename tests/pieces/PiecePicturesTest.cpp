// The pictures of the seven pieces, recomputed from their shapes with the
// joining rule and compared with what each piece draws and stores. A typo in
// any of the picture tables shows up here with the piece, orientation and
// square named.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fakes/FakeRenderer.h"
#include "pieces/Tetriminos.h"

namespace {

struct Square {
    int i;
    int j;
};

// A shape written the way a person draws it: rows top first, separated by
// '/', '#' for a filled cell.
struct Shape {
    int width = 0;
    int height = 0;
    std::vector<Square> squares;  // bottom row first, left to right
    bool has(int i, int j) const {
        for (const Square& s : squares) {
            if (s.i == i && s.j == j) {
                return true;
            }
        }
        return false;
    }
};

Shape parseShape(const std::string& picture) {
    std::vector<std::string> rows;
    std::string row;
    for (char ch : picture) {
        if (ch == '/') {
            rows.push_back(row);
            row.clear();
        } else if (ch == '#' || ch == '.') {
            row += ch;
        }
    }
    rows.push_back(row);
    Shape shape;
    shape.height = static_cast<int>(rows.size());
    shape.width = static_cast<int>(rows[0].size());
    for (int j = 0; j < shape.height; ++j) {
        const std::string& line = rows[shape.height - 1 - j];
        for (int i = 0; i < shape.width; ++i) {
            if (line[i] == '#') {
                shape.squares.push_back({i, j});
            }
        }
    }
    return shape;
}

// The joining rule: the tiles of the square (i, j) of a shape, as offsets
// into the tile set.
std::array<int, 9> joinedOffsets(const Shape& shape, int i, int j) {
    const bool L = shape.has(i - 1, j), R = shape.has(i + 1, j);
    const bool D = shape.has(i, j - 1), U = shape.has(i, j + 1);
    const bool DL = shape.has(i - 1, j - 1), DR = shape.has(i + 1, j - 1);
    const bool UL = shape.has(i - 1, j + 1), UR = shape.has(i + 1, j + 1);
    return {
        D && L ? (DL ? 19 : 1)
        : D    ? 14
        : L    ? 13
               : 0,
        D ? 15 : 2,
        D && R ? (DR ? 19 : 4)
        : D    ? 16
        : R    ? 13
               : 3,
        L ? 17 : 5,
        6,
        R ? 17 : 7,
        U && L ? (UL ? 19 : 9)
        : U    ? 14
        : L    ? 18
               : 8,
        U ? 15 : 10,
        U && R ? (UR ? 19 : 12)
        : U    ? 16
        : R    ? 18
               : 11,
    };
}

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

TEST(JoiningRule, TwoSquaresSideBySideJoinOnTheirSharedEdge) {
    const Shape pair = parseShape("##");
    const std::array<int, 9> a = joinedOffsets(pair, 0, 0);
    const std::array<int, 9> b = joinedOffsets(pair, 1, 0);
    EXPECT_EQ(a, (std::array<int, 9>{0, 2, 13, 5, 6, 17, 8, 10, 18}));
    EXPECT_EQ(b, (std::array<int, 9>{13, 2, 3, 17, 6, 7, 18, 10, 11}));
    EXPECT_EQ(joinedOffsets(parseShape("#"), 0, 0),
              (std::array<int, 9>{0, 2, 3, 5, 6, 7, 8, 10, 11}));
}

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
                const Square sq = shape.squares[k];
                const std::string where = std::string(pc.name) + " orientation " +
                                          std::to_string(o) + " square (" + std::to_string(sq.i) +
                                          ", " + std::to_string(sq.j) + ")";
                EXPECT_EQ(cells[k].x, 100 + 20 * sq.i) << where;
                EXPECT_EQ(cells[k].y, 300 - 20 * sq.j) << where;
                EXPECT_EQ(cells[k].cell.empty, 0) << where;
                const std::array<int, 9> offsets = joinedOffsets(shape, sq.i, sq.j);
                for (int t = 0; t < 9; ++t) {
                    EXPECT_EQ(cells[k].cell.tiles[t], pc.tileBase + offsets[t])
                        << where << " tile " << t + 1;
                }
            }
        }
        pc.piece->orientation = 0;
        pc.piece->x = 0;
        pc.piece->y = 0;
    }
}

// The picture grids are laid out as documented, with the unused cells of
// each box empty and zeroed.
TEST(PiecePictures, GridsHoldEachBoxInItsDocumentedLayout) {
    auto expectBox = [](const char* name, const Cell* grid, const Shape& shape, int base,
                        auto index) {
        for (int i = 0; i < shape.width; ++i) {
            for (int j = 0; j < shape.height; ++j) {
                const Cell& cell = grid[index(i, j)];
                const std::string where =
                    std::string(name) + " (" + std::to_string(i) + ", " + std::to_string(j) + ")";
                if (shape.has(i, j)) {
                    EXPECT_EQ(cell.empty, 0) << where;
                    EXPECT_EQ(cell.tiles[4], base + 6) << where;
                } else {
                    EXPECT_EQ(cell.empty, 1) << where;
                    for (uint8_t t : cell.tiles) {
                        EXPECT_EQ(t, 0) << where;
                    }
                }
            }
        }
    };
    expectBox("I horizontal", gTetriminoI.horizontal, parseShape("####"), 128,
              [](int i, int) { return i; });
    expectBox("I vertical", gTetriminoI.vertical, parseShape("#/#/#/#"), 128,
              [](int, int j) { return j; });
    expectBox("O", gTetriminoO.cells, parseShape("##/##"), 22,
              [](int i, int j) { return 2 * i + j; });
    expectBox("S horizontal", gTetriminoS.horizontal, parseShape(kPieces[4].shapes[0]), 63,
              [](int i, int j) { return 2 * i + j; });
    expectBox("S vertical", gTetriminoS.vertical, parseShape(kPieces[4].shapes[1]), 63,
              [](int i, int j) { return 3 * i + j; });
    expectBox("Z horizontal", gTetriminoZ.horizontal, parseShape(kPieces[6].shapes[0]), 86,
              [](int i, int j) { return 2 * i + j; });
    expectBox("Z vertical", gTetriminoZ.vertical, parseShape(kPieces[6].shapes[1]), 86,
              [](int i, int j) { return 3 * i + j; });
    const struct {
        const char* name;
        const Cell* cells;
        const PieceCase& pc;
    } sixPerTurn[] = {{"J", gTetriminoJ.cells, kPieces[1]},
                      {"L", gTetriminoL.cells, kPieces[2]},
                      {"T", gTetriminoT.cells, kPieces[5]}};
    for (const auto& p : sixPerTurn) {
        for (int o = 0; o < 4; ++o) {
            expectBox(p.name, p.cells, parseShape(p.pc.shapes[o]), p.pc.tileBase,
                      [o](int i, int j) { return 6 * o + (o % 2 == 0 ? 3 * j + i : 2 * j + i); });
        }
    }
}

TEST(PiecePictures, TDrawsItsSquaresInOrderFromItsPosition) {
    FakeRenderer renderer;
    gTetriminoT.orientation = 0;
    gTetriminoT.x = 140;
    gTetriminoT.y = 100;
    gTetriminoT.draw();
    EXPECT_EQ(renderer.trace(), "Cell(140,100) Cell(160,100) Cell(180,100) Cell(160,80)");
    gTetriminoT.x = 0;
    gTetriminoT.y = 0;
}

TEST(CellRecord, DefaultAndNonZeroFlagsAreEmpty) {
    const Cell fresh;
    EXPECT_FALSE(fresh.filled());
    Cell two;
    two.empty = 2;
    EXPECT_FALSE(two.filled());
    two.empty = 0;
    EXPECT_TRUE(two.filled());
}

}  // namespace
