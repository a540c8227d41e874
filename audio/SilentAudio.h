#pragma once
// The AudioRenderer that plays nothing, as SDL ships its "dummy" audio
// driver: for programs that run the whole game without sound (the
// benchmarks, the fuzzers), where a device or libmikmod would only cost.
// Every operation is accepted and does nothing; no voice ever sounds.
// Header-only and free of libmikmod, like the interface it implements.

#include <cstdint>

#include "audio/AudioRenderer.h"

class SilentAudio : public AudioRenderer {
public:
    void loadMusic(const char* /*file*/) override {}
    void playMusic(int /*position*/) override {}
    void stopMusic() override {}
    void loadSample(const char* /*file*/) override {}
    void playSample(int /*index*/) override {}
    void setMusicVolume(int /*volume*/) override {}
    uint32_t voiceVolume(int /*voice*/) override { return 0; }
};
