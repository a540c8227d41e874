#include "fakes/FakeRenderer.h"

#include <cstdio>
#include <cstring>

#include "catalogue/Catalogue.h"

bool DrawCall::operator==(const DrawCall& o) const {
    // Cells are ten bytes without padding, so their bytes are their value.
    const auto sameCells = [](const Cell* a, const Cell* b, size_t n) {
        return n == 0 || std::memcmp(a, b, n * sizeof(Cell)) == 0;
    };
    return kind == o.kind && x == o.x && y == o.y && w == o.w && h == o.h &&
           brightness == o.brightness && fx == o.fx && fy == o.fy && texture == o.texture &&
           fade == o.fade && sameCells(&cell, &o.cell, 1) && board.size() == o.board.size() &&
           sameCells(board.data(), o.board.data(), board.size());
}

void FakeRenderer::drawBoard(const Cell* board) {
    add({.kind = DrawCall::Board, .board = {board, board + catalogue::kBoardCells}});
}

FakeRenderer::~FakeRenderer() {
    if (gRenderer == this) {
        gRenderer = nullptr;
    }
}

std::vector<DrawCall> FakeRenderer::callsOf(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : calls) {
        if (c.kind == kind) {
            out.push_back(c);
        }
    }
    return out;
}

std::string FakeRenderer::trace() const {
    static const char* const names[] = {"Clear",    "Board", "Cell",      "Scaled", "Texture",
                                        "Centered", "Push",  "Translate", "Rotate", "Pop"};
    std::string out;
    for (const DrawCall& c : calls) {
        out += (out.empty() ? "" : " ") + std::string(names[c.kind]);
        const std::string at = "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ",";
        if (c.kind == DrawCall::CellCall) {
            out += at.substr(0, at.size() - 1) + ")";
        } else if (c.kind == DrawCall::Scaled) {
            out += at + std::to_string(c.w) + "," + std::to_string(c.h) + "," +
                   std::to_string(c.texture) + ")";
        } else if (c.kind == DrawCall::Texture || c.kind == DrawCall::Centered) {
            out += at + std::to_string(c.texture) + ")";
        }
    }
    return out;
}

std::string FakeRenderer::listing() const {
    static const char* const names[] = {"Clear",    "Board", "Cell",      "Scaled", "Texture",
                                        "Centered", "Push",  "Translate", "Rotate", "Pop"};
    std::string out;
    char line[160];
    for (const DrawCall& c : calls) {
        // Floats to four places: enough to tell a layout apart, the same on every machine.
        std::snprintf(line, sizeof line,
                      "%-9s x %d y %d w %d h %d texture %u b %.4f f %.4f %.4f "
                      "fade %.4f\n",
                      names[c.kind], c.x, c.y, c.w, c.h, c.texture,
                      static_cast<double>(c.brightness), static_cast<double>(c.fx),
                      static_cast<double>(c.fy), static_cast<double>(c.fade));
        out += line;
    }
    return out;
}
