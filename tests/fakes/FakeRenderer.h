#pragma once
// A Renderer that records every call, for tests of what levels and pieces draw.
// Install with `FakeRenderer fake; gRenderer = &fake;` (the destructor clears gRenderer).

#include <string>
#include <vector>

#include "pieces/Cell.h"
#include "render/Renderer.h"

struct DrawCall {
    enum Kind { Clear, Board, CellCall, Scaled, Texture, Centered, Push, Translate, Rotate, Pop };
    DrawCall(Kind k = Clear) : kind(k) {}
    Kind kind;
    int x = 0, y = 0, w = 0, h = 0;
    float brightness =
        0.0f;  // Scaled; for Translate: dx in `fx`, dy in `fy`; Rotate: degrees in `fx`
    float fx = 0.0f, fy = 0.0f;
    unsigned texture = 0;
    Cell cell;          // CellCall: a copy of the drawn cell
    float fade = 0.0f;  // renderer fade at the time of the call
};

class FakeRenderer : public Renderer {
public:
    FakeRenderer();
    ~FakeRenderer() override;

    void clear() override;
    void drawBoard(const Cell* board) override;
    void drawCell(int x, int y, const Cell* cell) override;
    void drawTextureScaled(int x, int y, int w, int h, float brightness, unsigned texture) override;
    void drawTexture(int x, int y, unsigned texture) override;
    void drawTextureCentered(int x, int y, unsigned texture) override;
    void pushTransform() override;
    void translate(float dx, float dy) override;
    void rotate(float degrees) override;
    void popTransform() override;

    // All calls of one kind, in order.
    std::vector<DrawCall> callsOf(DrawCall::Kind kind) const;
    // A compact trace such as "Clear Board Texture(0,0,85)" for order checks.
    std::string trace() const;

    std::vector<DrawCall> calls;
    Cell lastBoard[200];
};
