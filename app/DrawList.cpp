#include "app/DrawList.h"

#include <cstring>

#include "catalogue/Catalogue.h"

namespace {

constexpr size_t kBoardCells = catalogue::kBoardCells;
// Room for the busiest frame seen (about 80 calls and two boards' worth of
// cells with the pieces) several times over.
constexpr size_t kReservedCalls = 512;
constexpr size_t kReservedCells = 4 * kBoardCells;

}  // namespace

DrawList::DrawList() {
    for (Frame& frame : frames_) {
        frame.calls.reserve(kReservedCalls);
        frame.cells.reserve(kReservedCells);
    }
}

void DrawList::startFrame() {
    frames_[recording_].calls.clear();
    frames_[recording_].cells.clear();
}

bool DrawList::sameAsShown() const {
    const Frame& a = frames_[recording_];
    const Frame& b = frames_[shown_];
    // Cells are ten bytes without padding, so their bytes are their value.
    return a.calls == b.calls && a.cells.size() == b.cells.size() &&
           (a.cells.empty() ||
            std::memcmp(a.cells.data(), b.cells.data(), a.cells.size() * sizeof(Cell)) == 0);
}

void DrawList::keepAsShown() {
    shown_ = recording_;
    recording_ = 1 - recording_;
}

void DrawList::replayShown(Renderer& target) const {
    const Frame& frame = frames_[shown_];
    for (const Call& c : frame.calls) {
        target.fade = c.fade;
        const Cell* cells = frame.cells.data() + c.cells;
        switch (c.op) {
            case Op::Clear:
                target.clear();
                break;
            case Op::Board:
                target.drawBoard(cells);
                break;
            case Op::CellAt:
                target.drawCell(c.x, c.y, cells);
                break;
            case Op::Scaled:
                target.drawTextureScaled(c.x, c.y, c.w, c.h, c.a, c.texture);
                break;
            case Op::Texture:
                target.drawTexture(c.x, c.y, c.texture);
                break;
            case Op::Centered:
                target.drawTextureCentered(c.x, c.y, c.texture);
                break;
            case Op::Push:
                target.pushTransform();
                break;
            case Op::Translate:
                target.translate(c.a, c.b);
                break;
            case Op::Rotate:
                target.rotate(c.a);
                break;
            case Op::Pop:
                target.popTransform();
                break;
        }
    }
}

void DrawList::add(Call call) {
    call.fade = fade;
    frames_[recording_].calls.push_back(call);
}

size_t DrawList::keepCells(const Cell* cells, size_t count) {
    std::vector<Cell>& kept = frames_[recording_].cells;
    const size_t start = kept.size();
    kept.insert(kept.end(), cells, cells + count);
    return start;
}

void DrawList::clear() {
    add({.op = Op::Clear});
}

void DrawList::drawBoard(const Cell* board) {
    add({.op = Op::Board, .cells = keepCells(board, kBoardCells)});
}

void DrawList::drawCell(int x, int y, const Cell* cell) {
    add({.op = Op::CellAt, .x = x, .y = y, .cells = keepCells(cell, 1)});
}

void DrawList::drawTextureScaled(int x, int y, int w, int h, float brightness, unsigned texture) {
    add({.op = Op::Scaled, .x = x, .y = y, .w = w, .h = h, .a = brightness, .texture = texture});
}

void DrawList::drawTexture(int x, int y, unsigned texture) {
    add({.op = Op::Texture, .x = x, .y = y, .texture = texture});
}

void DrawList::drawTextureCentered(int x, int y, unsigned texture) {
    add({.op = Op::Centered, .x = x, .y = y, .texture = texture});
}

void DrawList::pushTransform() {
    add({.op = Op::Push});
}

void DrawList::translate(float dx, float dy) {
    add({.op = Op::Translate, .a = dx, .b = dy});
}

void DrawList::rotate(float degrees) {
    add({.op = Op::Rotate, .a = degrees});
}

void DrawList::popTransform() {
    add({.op = Op::Pop});
}
