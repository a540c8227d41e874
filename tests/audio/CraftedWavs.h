#pragma once
// WAV files put together byte by byte, as audio editors write them and as a
// player's damaged or hostile replacement of an effect might look, each with
// what the game must make of it: play it (and how many frames) or refuse it.

#include <cstdint>
#include <string>
#include <vector>

struct CraftedWav {
    const char* name;
    std::string bytes;
    bool plays;       // the game plays it; otherwise it refuses it
    uint32_t frames;  // frames played (0 when refused)
};

// Two seconds of a loud square wave at 8 kHz, 8- or 16-bit mono, so that a
// playing voice shows a level for a while whatever the machine's load.
constexpr uint32_t kToneRate = 8000;
constexpr uint32_t kToneFrames = 2 * kToneRate;

std::string le16(uint16_t v);
std::string le32(uint32_t v);
// A RIFF chunk with its pad byte when the body has an odd size.
std::string chunk(const char* id, const std::string& body);
// RIFF/WAVE around the given chunks.
std::string riff(const std::string& chunks);
// The body of a plain 16-byte format chunk.
std::string format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
// The square wave, `frames` long.
std::string tone(uint32_t frames, uint16_t bits);

// The table: good files, odd layouts, and each way of being refused.
std::vector<CraftedWav> craftedWavs();
