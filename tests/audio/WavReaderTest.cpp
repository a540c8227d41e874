// The WAV reader on files crafted byte by byte: what it accepts and how many
// frames it finds, and what it refuses. libmikmod is handed only what it
// accepts, so this table is where a harmful effect file is stopped.

#include "audio/WavReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// WAV files put together byte by byte, as audio editors write them and as a
// player's damaged or hostile replacement of an effect might look, each with
// what the reader must make of it: accept it (and how many frames) or refuse it.
struct CraftedWav {
    const char* name;
    std::string bytes;
    bool plays;       // the reader accepts it; otherwise it refuses it
    uint32_t frames;  // frames accepted (0 when refused)
};

// Two seconds of a square wave at 8 kHz, 8- or 16-bit mono.
constexpr uint32_t kToneRate = 8000;
constexpr uint32_t kToneFrames = 2 * kToneRate;

std::string le16(uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string le32(uint32_t v) {
    return le16(static_cast<uint16_t>(v & 0xFFFF)) + le16(static_cast<uint16_t>(v >> 16));
}

std::string chunk(const char* id, const std::string& body) {
    return std::string(id, 4) + le32(static_cast<uint32_t>(body.size())) + body +
           (body.size() % 2 == 1 ? std::string(1, '\0') : "");
}

std::string riff(const std::string& chunks) {
    return "RIFF" + le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

std::string format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint16_t align = static_cast<uint16_t>(channels * (bits / 8));
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

std::string tone(uint32_t frames, uint16_t bits) {
    std::string out;
    for (uint32_t i = 0; i < frames; ++i) {
        const bool high = (i / 20) % 2 == 0;  // 200 Hz at 8 kHz
        if (bits == 8)
            out += static_cast<char>(high ? 0xE0 : 0x20);  // unsigned, around 0x80
        else
            out += le16(high ? 0x5000 : 0xB000);
    }
    return out;
}

// WAVE_FORMAT_EXTENSIBLE for 16-bit mono with the given sub-format's first
// two bytes; the rest of the GUID is the one every WAVE sub-format shares.
std::string extensible(uint16_t subFormat) {
    return format(0xFFFE, 1, kToneRate, 16) + le16(22) + le16(16) + le32(0x4) + le16(subFormat) +
           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 14);
}

std::vector<CraftedWav> craftedWavs() {
    const std::string fmt16 = chunk("fmt ", format(1, 1, kToneRate, 16));
    const std::string data16 = chunk("data", tone(kToneFrames, 16));
    // libmikmod's loader does not skip the pad byte after the odd chunk and
    // reads the next bytes as a data chunk of 16 MiB; the real one follows.
    // 69,598 bytes in all; its 2000 frames at 1 kHz last two seconds too.
    std::string phantom = riff(chunk("fmt ", format(1, 1, 1000, 16)) + "junk" + le32(1) + "?" +
                               "data" + std::string("\0\0\0\x01\0", 5) + std::string(65536, '\0') +
                               chunk("data", tone(2000, 16)));
    return {
        {"8-bit PCM",
         riff(chunk("fmt ", format(1, 1, kToneRate, 8)) + chunk("data", tone(kToneFrames, 8))),
         true, kToneFrames},
        {"odd chunk before data", riff(fmt16 + chunk("junk", "?") + data16), true, kToneFrames},
        {"phantom data after an odd chunk", phantom, true, 2000},
        {"extensible PCM", riff(chunk("fmt ", extensible(1)) + data16), true, kToneFrames},
        {"16-bit data with a stray byte", riff(fmt16 + chunk("data", tone(kToneFrames, 16) + "x")),
         true, kToneFrames},
        {"extensible non-PCM", riff(chunk("fmt ", extensible(2)) + data16), false, 0},
        {"data past the end",
         riff(fmt16 + "data" + le32(2 * kToneFrames + 2) + tone(kToneFrames, 16)), false, 0},
        {"zero-length data", riff(fmt16 + chunk("data", "")), false, 0},
        {"16-bit data of one byte", riff(fmt16 + chunk("data", "x")), false, 0},
        {"data over 16 MiB",
         riff(fmt16 + chunk("data", std::string(WavReader::kLargestData + 2, 'x'))), false, 0},
        {"stereo", riff(chunk("fmt ", format(1, 2, kToneRate, 16)) + data16), false, 0},
        {"24-bit", riff(chunk("fmt ", format(1, 1, kToneRate, 24)) + data16), false, 0},
        {"rate 0", riff(chunk("fmt ", format(1, 1, 0, 16)) + data16), false, 0},
        {"format chunk of 14 bytes",
         riff(chunk("fmt ", format(1, 1, kToneRate, 16).substr(0, 14)) + data16), false, 0},
        {"data before format", riff(data16 + fmt16), false, 0},
        {"truncated header", riff(fmt16 + data16).substr(0, 30), false, 0},
        {"not RIFF", std::string(3000, 'Z'), false, 0},
    };
}

TEST(WavReader, AcceptsWhatTheGamePlaysAndRefusesTheRest) {
    const std::vector<CraftedWav> table = craftedWavs();
    for (size_t i = 0; i < table.size(); ++i) {
        // A file name of this test process's own: CTest runs tests side by side.
        const std::string file = testing::TempDir() + "duobrik-" + std::to_string(getpid()) +
                                 "-crafted-" + std::to_string(i) + ".wav";
        std::ofstream(file, std::ios::binary) << table[i].bytes;
        WavReader wav;
        const bool accepted = wav.read(file.c_str());
        std::remove(file.c_str());
        EXPECT_EQ(accepted, table[i].plays) << table[i].name;
        EXPECT_EQ(wav.frames(), table[i].frames) << table[i].name;
        EXPECT_EQ(wav.pcm().empty(), !table[i].plays) << table[i].name;
    }
}

}  // namespace
