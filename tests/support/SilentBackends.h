#pragma once
// A renderer that does nothing and records nothing, the game's silent audio,
// and a scripted millisecond clock: for programs that drive the whole game
// fast and many times over (fuzzing), where recording would only cost.

#include <cstdint>

#include "audio/SilentAudio.h"
#include "game/Clock.h"
#include "render/Renderer.h"

class SilentRenderer : public Renderer {
public:
    void clear() override {}
    void drawBoard(const Cell*) override {}
    void drawCell(int, int, const Cell*) override {}
    void drawTextureScaled(int, int, int, int, float, unsigned) override {}
    void drawTexture(int, int, unsigned) override {}
    void drawTextureCentered(int, int, unsigned) override {}
    void pushTransform() override {}
    void translate(float, float) override {}
    void rotate(float) override {}
    void popTransform() override {}
};

// The clock the game reads once scriptedClock() is installed in gCounter.
inline int64_t gScriptedNowMs = 1'000'000'000;

inline Counter scriptedClock() {
    return {[] { return gScriptedNowMs; }, [] { return int64_t{1000}; }};
}
