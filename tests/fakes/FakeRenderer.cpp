#include "fakes/FakeRenderer.h"

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
