#pragma once
// An AudioRenderer that records every call, for tests of the game's sound.
// Constructing one installs it in gAudio; the destructor clears gAudio.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioRenderer.h"

class FakeAudio : public AudioRenderer {
public:
    FakeAudio() { gAudio = this; }
    ~FakeAudio() override;

    void loadMusic(const char* file) override;
    void playMusic(int position) override;
    void stopMusic() override;
    void loadSample(const char* file) override {
        log.push_back(std::string("loadSample(") + file + ")");
    }
    void playSample(int index) override;
    void setMusicVolume(int volume) override;
    uint32_t voiceVolume(int voice) override { return voice >= 0 && voice < 4 ? voices[voice] : 0; }

    // Every call as text, e.g. "loadMusic(three.mod)", "playSample(5)", "volume(64)".
    std::vector<std::string> log;
    std::vector<int> samplesPlayed;
    std::vector<int> volumes;
    std::string music;        // last loaded module
    int musicPosition = -1;   // position of the last playMusic, -1 if none
    bool playing = false;     // playMusic called and no stopMusic since
    uint32_t voices[4] = {};  // what voiceVolume answers for voices 0..3
};
