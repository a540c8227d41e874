#include "fakes/FakeRenderer.h"

#include <cstring>

FakeRenderer::FakeRenderer() {
    gRenderer = this;
}

FakeRenderer::~FakeRenderer() {
    if (gRenderer == this) {
        gRenderer = nullptr;
    }
}

void FakeRenderer::clear() {
    calls.push_back({DrawCall::Clear});
}

void FakeRenderer::drawBoard(const Cell* board) {
    std::memcpy(lastBoard, board, sizeof(lastBoard));
    DrawCall c{DrawCall::Board};
    c.fade = fade;
    calls.push_back(c);
}

void FakeRenderer::drawCell(int x, int y, const Cell* cell) {
    DrawCall c{DrawCall::CellCall};
    c.x = x;
    c.y = y;
    c.cell = *cell;
    c.fade = fade;
    calls.push_back(c);
}

void FakeRenderer::drawTextureScaled(int x, int y, int w, int h, float brightness,
                                     unsigned texture) {
    DrawCall c{DrawCall::Scaled};
    c.x = x;
    c.y = y;
    c.w = w;
    c.h = h;
    c.brightness = brightness;
    c.texture = texture;
    calls.push_back(c);
}

void FakeRenderer::drawTexture(int x, int y, unsigned texture) {
    DrawCall c{DrawCall::Texture};
    c.x = x;
    c.y = y;
    c.texture = texture;
    calls.push_back(c);
}

void FakeRenderer::drawTextureCentered(int x, int y, unsigned texture) {
    DrawCall c{DrawCall::Centered};
    c.x = x;
    c.y = y;
    c.texture = texture;
    calls.push_back(c);
}

void FakeRenderer::pushTransform() {
    calls.push_back({DrawCall::Push});
}

void FakeRenderer::translate(float dx, float dy) {
    DrawCall c{DrawCall::Translate};
    c.fx = dx;
    c.fy = dy;
    calls.push_back(c);
}

void FakeRenderer::rotate(float degrees) {
    DrawCall c{DrawCall::Rotate};
    c.fx = degrees;
    calls.push_back(c);
}

void FakeRenderer::popTransform() {
    calls.push_back({DrawCall::Pop});
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
        if (!out.empty()) {
            out += ' ';
        }
        out += names[c.kind];
        switch (c.kind) {
            case DrawCall::CellCall:
                out += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
                break;
            case DrawCall::Texture:
            case DrawCall::Centered:
                out += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + "," +
                       std::to_string(c.texture) + ")";
                break;
            case DrawCall::Scaled:
                out += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + "," +
                       std::to_string(c.w) + "," + std::to_string(c.h) + "," +
                       std::to_string(c.texture) + ")";
                break;
            default:
                break;
        }
    }
    return out;
}
