#pragma once
// All music and sound effects go through this interface, reached through
// gAudio. Music is one tracker module played in a loop until stopped; effects
// are samples kept in a table and played by index (the order they were loaded).
// The game's implementation drives libmikmod; tests install a recording fake.
// Header-only, so that the rules can play sounds without linking libmikmod.

#include <cstdint>

class AudioRenderer {
public:
    virtual ~AudioRenderer() = default;

    // Loads the module that the next playMusic plays. A missing or damaged
    // file is not an error: the following playMusic plays nothing.
    virtual void loadMusic(const char* file) = 0;
    // Plays the last loaded module in a loop from song position `position`,
    // replacing whatever music plays.
    virtual void playMusic(int position) = 0;
    // Stops the music.
    virtual void stopMusic() = 0;
    // Appends one sample to the table; a file that fails to load still takes its index.
    virtual void loadSample(const char* file) = 0;
    // Plays sample `index` from its start; unknown or failed indices do nothing.
    virtual void playSample(int index) = 0;

    // The music player's volume, 0..127 (fade-outs and level starts).
    virtual void setMusicVolume(int volume) = 0;
    // The playing volume of music voice `voice`, 0..65535 (0 for no such voice,
    // and for every voice while no music plays).
    virtual uint32_t voiceVolume(int voice) = 0;
};

// The audio every level plays through; set by the entry routine (or a test)
// before the first level is made.
inline AudioRenderer* gAudio = nullptr;
