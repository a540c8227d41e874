#pragma once
// A renderer and an audio that do nothing and record nothing, and a scripted
// millisecond clock: for programs that drive the whole game fast and many
// times over (soak, fuzzing, benchmarks), where recording would only cost.

#include <cstdint>

#include "audio/AudioRenderer.h"
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

class SilentAudio : public AudioRenderer {
public:
    void loadMusic(const char*) override {}
    void playMusic(int) override {}
    void stopMusic() override {}
    void loadSample(const char*) override {}
    void playSample(int) override {}
    void setMusicVolume(int) override {}
    // Voices at a few different levels, so the bands have something to show.
    uint32_t voiceVolume(int voice) override { return 16000u * static_cast<uint32_t>(voice & 3); }
};

// The clock the game reads once scriptedClock() is installed in gCounter.
inline int64_t gScriptedNowMs = 1'000'000'000;

inline Counter scriptedClock() {
    return {[] { return gScriptedNowMs; }, [] { return int64_t{1000}; }};
}
