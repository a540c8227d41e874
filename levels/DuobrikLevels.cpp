#include "levels/DuobrikLevels.h"

#include <cstddef>
#include <string_view>

namespace {

// A preset board as it is drawn on paper: one line per row, the highest row
// first and row 0 last; columns 0 to 9 from left to right, separated by
// spaces. A digit is the colour number of a block (1 I, 2 Z, 3 O, 4 S, 5 J,
// 6 L, 7 T), a dot an empty cell. Rows above the first line stay empty.
using Row = std::string_view;

// clang-format off
// DuobrikLevel2: two pillars, colours running up one side and down the other.
constexpr Row kPillars[] = {
    "1 . . . . . . . . 6",  // row 7
    "7 . . . . . . . . 7",  // row 6
    "6 . . . . . . . . 1",  // row 5
    "5 . . . . . . . . 2",  // row 4
    "4 . . . . . . . . 3",  // row 3
    "3 . . . . . . . . 4",  // row 2
    "2 . . . . . . . . 5",  // row 1
    "1 . . . . . . . . 6",  // row 0
};

// DuobrikLevel3: a tower in columns 4 and 5.
constexpr Row kTower[] = {
    ". . . . 5 1 . . . .",  // row 7
    ". . . . 6 5 . . . .",  // row 6
    ". . . . 3 2 . . . .",  // row 5
    ". . . . 2 4 . . . .",  // row 4
    ". . . . 4 1 . . . .",  // row 3
    ". . . . 3 5 . . . .",  // row 2
    ". . . . 2 2 . . . .",  // row 1
    ". . . . 6 4 . . . .",  // row 0
};

// DuobrikLevel4: ten scattered blocks; column 9 stays empty.
constexpr Row kScattered[] = {
    "6 . . . 2 . . . . .",  // row 4
    ". . 3 . . . 1 5 . .",  // row 3
    ". . . . . 3 . . . .",  // row 2
    ". . . 4 . . . . 1 .",  // row 1
    ". 2 . . . . 6 . . .",  // row 0
};

// DuobrikLevel5: three rows with one hole each.
constexpr Row kThreeRows[] = {
    "4 4 4 4 4 4 4 . 4 4",  // row 6
    ". . . . . . . . . .",  // row 5
    ". . . . . . . . . .",  // row 4
    "2 2 . 2 2 2 2 2 2 2",  // row 3
    ". . . . . . . . . .",  // row 2
    ". . . . . . . . . .",  // row 1
    "6 6 6 6 6 6 6 . 6 6",  // row 0
};

// DuobrikLevel6: an uneven heap of 24 blocks.
constexpr Row kHeap[] = {
    ". . . . 1 2 . . . .",  // row 4
    ". . . 3 6 5 2 . . .",  // row 3
    ". . 7 1 . . 2 3 . .",  // row 2
    ". 6 5 . 4 7 . 1 2 .",  // row 1
    "3 6 . 5 4 7 1 . 2 3",  // row 0
};

// DuobrikLevel7: a staircase, one colour per diagonal (column + row + 1).
constexpr Row kStaircase[] = {
    "6 . . . . . . . . .",  // row 5
    "5 6 . . . . . . . .",  // row 4
    "4 5 6 . . . . . . .",  // row 3
    "3 4 5 6 . . . . . .",  // row 2
    "2 3 4 5 6 . . . . .",  // row 1
    "1 2 3 4 5 6 . . . .",  // row 0
};

// DuobrikLevel8: rows 0 to 6 with one hole each, coloured row + 1.
constexpr Row kHoledRows[] = {
    "7 . 7 7 7 7 7 7 7 7",  // row 6
    "6 6 6 6 . 6 6 6 6 6",  // row 5
    "5 5 5 5 5 5 5 5 . 5",  // row 4
    ". 4 4 4 4 4 4 4 4 4",  // row 3
    "3 3 3 3 3 . 3 3 3 3",  // row 2
    "2 2 2 2 2 2 2 . 2 2",  // row 1
    "1 1 . 1 1 1 1 1 1 1",  // row 0
};

// DuobrikLevel9: a solid block; columns 0 and 9 stay open.
constexpr Row kBlock[] = {
    ". 1 1 1 1 1 1 1 1 .",  // row 7
    ". 1 1 1 1 1 1 1 1 .",  // row 6
    ". 1 1 1 1 1 1 1 1 .",  // row 5
    ". 1 1 1 1 1 1 1 1 .",  // row 4
    ". 1 1 1 1 1 1 1 1 .",  // row 3
    ". 1 1 1 1 1 1 1 1 .",  // row 2
    ". 1 1 1 1 1 1 1 1 .",  // row 1
    ". 1 1 1 1 1 1 1 1 .",  // row 0
};

// DuobrikLevel10: a bowl.
constexpr Row kBowl[] = {
    "2 . . . . . . . . 2",  // row 4
    "2 2 . . . . . . 2 2",  // row 3
    "2 2 2 2 . . 2 2 2 2",  // row 2
    ". 2 2 2 2 2 2 2 2 .",  // row 1
    ". 2 2 2 2 2 2 2 2 .",  // row 0
};

// clang-format on

// Each cell of a line takes two characters (the mark and a space), the last
// one only its mark.
constexpr std::size_t kLineLength = 2 * catalogue::kBoardColumns - 1;

// Checked when the game is built, so a mistyped pattern never reaches play:
// every line ten marks of '.' or '1'..'7' apart by single spaces, and no
// pattern above row 7, well below where new pieces enter (row 18 and up).
template <std::size_t N>
constexpr bool wellFormed(const Row (&rows)[N]) {
    if (N > 8) {
        return false;
    }
    for (const Row& line : rows) {
        if (line.size() != kLineLength) {
            return false;
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            const bool ok = i % 2 == 1 ? c == ' ' : c == '.' || (c >= '1' && c <= '7');
            if (!ok) {
                return false;
            }
        }
    }
    return true;
}

static_assert(wellFormed(kPillars) && wellFormed(kTower) && wellFormed(kScattered) &&
              wellFormed(kThreeRows) && wellFormed(kHeap) && wellFormed(kStaircase) &&
              wellFormed(kHoledRows) && wellFormed(kBlock) && wellFormed(kBowl));

template <std::size_t N>
void layPattern(BrikLevel& level, const Row (&rows)[N]) {
    for (std::size_t line = 0; line < N; ++line) {
        const int row = static_cast<int>(N - 1 - line);
        for (int column = 0; column < catalogue::kBoardColumns; ++column) {
            const char mark = rows[line][2 * column];
            if (mark != '.') {
                level.board.setCell(column, row, mark - '0');
            }
        }
    }
}

}  // namespace

// Each special level lays its pattern after the plain start has emptied the
// board, so the pattern is what the first piece finds.
void DuobrikLevel2::start() {
    DuobrikLevel::start();
    layPattern(*this, kPillars);
}

void DuobrikLevel3::start() {
    DuobrikLevel::start();
    layPattern(*this, kTower);
}

void DuobrikLevel4::start() {
    DuobrikLevel::start();
    layPattern(*this, kScattered);
}

void DuobrikLevel5::start() {
    DuobrikLevel::start();
    layPattern(*this, kThreeRows);
}

void DuobrikLevel6::start() {
    DuobrikLevel::start();
    layPattern(*this, kHeap);
}

void DuobrikLevel7::start() {
    DuobrikLevel::start();
    layPattern(*this, kStaircase);
}

void DuobrikLevel8::start() {
    DuobrikLevel::start();
    layPattern(*this, kHoledRows);
}

void DuobrikLevel9::start() {
    DuobrikLevel::start();
    layPattern(*this, kBlock);
}

void DuobrikLevel10::start() {
    DuobrikLevel::start();
    layPattern(*this, kBowl);
}

std::unique_ptr<DuobrikLevel> makeDuobrikLevel(int classId) {
    switch (classId) {
        case 2:
            return std::make_unique<DuobrikLevel2>();
        case 3:
            return std::make_unique<DuobrikLevel3>();
        case 4:
            return std::make_unique<DuobrikLevel4>();
        case 5:
            return std::make_unique<DuobrikLevel5>();
        case 6:
            return std::make_unique<DuobrikLevel6>();
        case 7:
            return std::make_unique<DuobrikLevel7>();
        case 8:
            return std::make_unique<DuobrikLevel8>();
        case 9:
            return std::make_unique<DuobrikLevel9>();
        case 10:
            return std::make_unique<DuobrikLevel10>();
        default:
            return std::make_unique<DuobrikLevel>();
    }
}
