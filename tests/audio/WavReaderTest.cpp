// What the WAV reader makes of each crafted file: accepted with the frames
// of its first data chunk, or refused with nothing kept.

#include "audio/WavReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "CraftedWavs.h"

namespace {

TEST(WavReader, PlaysOrRefusesEachCraftedFile) {
    const std::string path = testing::TempDir() + "duobrik-crafted.wav";
    for (const CraftedWav& wav : craftedWavs()) {
        std::ofstream(path, std::ios::binary) << wav.bytes;
        WavReader reader;
        EXPECT_EQ(reader.read(path.c_str()), wav.plays) << wav.name;
        EXPECT_EQ(reader.frames(), wav.frames) << wav.name;
        if (wav.plays) {
            EXPECT_EQ(reader.pcm().size(), size_t{reader.frames()} * reader.bits() / 8) << wav.name;
            EXPECT_GT(reader.rate(), 0u) << wav.name;
        } else {
            EXPECT_TRUE(reader.pcm().empty() && reader.bits() == 0) << wav.name << " kept data";
        }
    }
    std::remove(path.c_str());
}

TEST(WavReader, MissingFileIsRefused) {
    WavReader reader;
    EXPECT_FALSE(reader.read("no-such-effect.wav"));
    EXPECT_FALSE(reader.read(nullptr));
}

}  // namespace
