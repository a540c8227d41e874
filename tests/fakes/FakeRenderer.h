#pragma once
// A Renderer that records every call, for tests of what levels and pieces
// draw, and of which frames a screen showed: two records are equal when
// every call, its arguments, the fade at the time and the cells drawn are.
// Constructing one installs it in gRenderer; the destructor clears gRenderer.

#include <string>
#include <vector>

#include "catalogue/Cell.h"
#include "render/Renderer.h"

struct DrawCall {
    enum Kind { Clear, Board, CellCall, Scaled, Texture, Centered, Push, Translate, Rotate, Pop };
    Kind kind = Clear;
    int x = 0, y = 0, w = 0, h = 0;
    float brightness = 0.0f;     // Scaled
    float fx = 0.0f, fy = 0.0f;  // Translate: dx and dy; Rotate: degrees in fx
    unsigned texture = 0;
    Cell cell = Cell();            // CellCall: a copy of the drawn cell
    float fade = 0.0f;             // Renderer::fade when the call was made
    std::vector<Cell> board = {};  // Board: a copy of the drawn board
    bool operator==(const DrawCall& o) const;
};

class FakeRenderer : public Renderer {
public:
    FakeRenderer() { gRenderer = this; }
    ~FakeRenderer() override;

    void clear() override { add({DrawCall::Clear}); }
    void drawBoard(const Cell* board) override;
    void drawCell(int x, int y, const Cell* cell) override {
        add({.kind = DrawCall::CellCall, .x = x, .y = y, .cell = *cell});
    }
    void drawTextureScaled(int x, int y, int w, int h, float brightness,
                           unsigned texture) override {
        add({DrawCall::Scaled, x, y, w, h, brightness, 0.0f, 0.0f, texture});
    }
    void drawTexture(int x, int y, unsigned texture) override {
        add({.kind = DrawCall::Texture, .x = x, .y = y, .texture = texture});
    }
    void drawTextureCentered(int x, int y, unsigned texture) override {
        add({.kind = DrawCall::Centered, .x = x, .y = y, .texture = texture});
    }
    void pushTransform() override { add({DrawCall::Push}); }
    void translate(float dx, float dy) override {
        add({.kind = DrawCall::Translate, .fx = dx, .fy = dy});
    }
    void rotate(float degrees) override { add({.kind = DrawCall::Rotate, .fx = degrees}); }
    void popTransform() override { add({DrawCall::Pop}); }

    // All calls of one kind, in order.
    std::vector<DrawCall> callsOf(DrawCall::Kind kind) const;
    // A compact trace such as "Clear Board Texture(0,0,85)" for order checks.
    std::string trace() const;
    // Every call with every argument, one a line, for golden frames.
    std::string listing() const;

    std::vector<DrawCall> calls;

private:
    void add(DrawCall call) {
        call.fade = fade;
        calls.push_back(std::move(call));
    }
};
