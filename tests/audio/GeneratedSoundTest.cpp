// The generated modules and effects, checked through libmikmod itself: they
// load, have the shape the game relies on, and sound (rendered through
// libmikmod's WAV disk writer).

#include "audio/MikModRenderer.h"

#include <gtest/gtest.h>
#include <mikmod.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// libmikmod on one named driver for the length of a test.
class MikModSession {
public:
    MikModSession(const char* alias, const std::string& params) {
        MikModRenderer::registerLibmikmod();
        md_device = static_cast<UWORD>(MikMod_DriverFromAlias(const_cast<CHAR*>(alias)));
        ok = MikMod_Init(const_cast<CHAR*>(params.c_str())) == 0;
    }
    ~MikModSession() { MikMod_Exit(); }
    bool ok = false;
};

MODULE* load(const char* file) {
    return Player_Load(const_cast<CHAR*>(file), 64, 0);
}

struct Loudness {
    double peakDb = -200;
    double rmsDb = -200;
    size_t clipped = 0;
    std::vector<int16_t> pcm;
};

// Renders `seconds` of `file` from song position `position` through the WAV
// writer and measures the result.
Loudness render(const char* file, int position, double seconds) {
    const std::string out =
        testing::TempDir() + "duobrik-render-" + std::to_string(position) + ".wav";
    {
        MikModSession session("wav", "file=" + out);
        EXPECT_TRUE(session.ok) << "the WAV writer did not start";
        MODULE* module = load(file);
        EXPECT_NE(module, nullptr) << file;
        if (module == nullptr)
            return {};
        module->loop = 1;
        module->wrap = 1;
        Player_Start(module);
        Player_SetPosition(static_cast<UWORD>(position));
        // The writer mixes 32 KiB (8192 stereo frames) per update.
        const int updates = static_cast<int>(seconds * 44100 / 8192) + 1;
        for (int i = 0; i < updates; ++i)
            MikMod_Update();
        Player_Stop();
        Player_Free(module);
    }
    Loudness l;
    FILE* f = std::fopen(out.c_str(), "rb");
    if (f == nullptr)
        return l;
    std::fseek(f, 44, SEEK_SET);  // the writer's canonical header
    int16_t buffer[4096];
    size_t n;
    double sum = 0, peak = 0;
    while ((n = std::fread(buffer, 2, 4096, f)) > 0) {
        for (size_t i = 0; i < n; ++i) {
            const double v = buffer[i] / 32768.0;
            sum += v * v;
            peak = std::max(peak, std::fabs(v));
            l.clipped += (buffer[i] == 32767 || buffer[i] == -32768) ? 1 : 0;
            l.pcm.push_back(buffer[i]);
        }
    }
    std::fclose(f);
    std::remove(out.c_str());
    if (!l.pcm.empty() && peak > 0) {
        l.peakDb = 20 * std::log10(peak);
        l.rmsDb = 10 * std::log10(sum / l.pcm.size());
    }
    return l;
}

struct ModuleCase {
    const char* file;
    int minPositions;
};

class GeneratedModule : public testing::TestWithParam<ModuleCase> {};

TEST_P(GeneratedModule, LoadsWithFourChannelsAndEnoughPositions) {
    MikModSession session("nosound", "");
    ASSERT_TRUE(session.ok);
    MODULE* module = load(GetParam().file);
    ASSERT_NE(module, nullptr) << GetParam().file << ": " << MikMod_strerror(MikMod_errno);
    EXPECT_EQ(module->numchn, 4);
    EXPECT_GE(module->numpos, GetParam().minPositions);
    Player_Free(module);
}

INSTANTIATE_TEST_SUITE_P(Files, GeneratedModule,
                         testing::Values(ModuleCase{"devils.mod", 1}, ModuleCase{"three.mod", 30}));

TEST(GeneratedPlayMusic, SectionPositionsAreReached) {
    MikModSession session("nosound", "");
    ASSERT_TRUE(session.ok);
    MODULE* module = load("three.mod");
    ASSERT_NE(module, nullptr);
    Player_Start(module);
    for (int position : {10, 20, 0}) {
        Player_SetPosition(static_cast<UWORD>(position));
        EXPECT_EQ(Player_GetOrder(), position);
    }
    Player_Stop();
    Player_Free(module);
}

TEST(GeneratedPlayMusic, SectionsSoundUnclippedAndDiffer) {
    std::vector<Loudness> sections;
    for (int position : {0, 10, 20}) {
        sections.push_back(render("three.mod", position, 3.0));
        const Loudness& l = sections.back();
        EXPECT_GT(l.rmsDb, -30.0) << "section at " << position << " is (nearly) silent";
        EXPECT_LT(l.peakDb, -1.0) << "section at " << position << " peaks too high";
        EXPECT_EQ(l.clipped, 0u) << "section at " << position << " clips";
        std::printf("three.mod from %d: peak %.1f dBFS, RMS %.1f dBFS\n", position, l.peakDb,
                    l.rmsDb);
    }
    // Sections differ sample by sample, not just by a little.
    for (int a = 0; a < 3; ++a) {
        for (int b = a + 1; b < 3; ++b) {
            const auto& x = sections[a].pcm;
            const auto& y = sections[b].pcm;
            ASSERT_EQ(x.size(), y.size());
            double diff = 0;
            for (size_t i = 0; i < x.size(); ++i)
                diff += std::abs(x[i] - y[i]);
            EXPECT_GT(diff / x.size(), 500.0) << "sections " << a << " and " << b << " sound alike";
        }
    }
}

TEST(GeneratedIntroMusic, SoundsUnclipped) {
    const Loudness l = render("devils.mod", 0, 3.0);
    EXPECT_GT(l.rmsDb, -30.0);
    EXPECT_LT(l.peakDb, -1.0);
    EXPECT_EQ(l.clipped, 0u);
    std::printf("devils.mod: peak %.1f dBFS, RMS %.1f dBFS\n", l.peakDb, l.rmsDb);
}

struct EffectCase {
    const char* file;
    int minMs;
    int maxMs;
};

class GeneratedEffect : public testing::TestWithParam<EffectCase> {};

TEST_P(GeneratedEffect, LoadsAsShortMono16BitWithinItsLength) {
    MikModSession session("nosound", "");
    ASSERT_TRUE(session.ok);
    SAMPLE* s = Sample_Load(const_cast<CHAR*>(GetParam().file));
    ASSERT_NE(s, nullptr) << GetParam().file << ": " << MikMod_strerror(MikMod_errno);
    EXPECT_TRUE(s->flags & SF_16BITS);
    EXPECT_FALSE(s->flags & SF_STEREO);
    const double ms = 1000.0 * s->length / s->speed;
    EXPECT_GE(ms, GetParam().minMs);
    EXPECT_LE(ms, GetParam().maxMs);
    Sample_Free(s);
}

// Rotation and touch-down are short; the row clears grow from one to four.
INSTANTIATE_TEST_SUITE_P(Files, GeneratedEffect,
                         testing::Values(EffectCase{"rotate_mono.wav", 20, 149},
                                         EffectCase{"touched_mono.wav", 40, 149},
                                         EffectCase{"1line_mono.wav", 200, 500},
                                         EffectCase{"2lines_mono.wav", 400, 800},
                                         EffectCase{"3lines_mono.wav", 600, 1100},
                                         EffectCase{"4lines_mono.wav", 900, 1500}));

}  // namespace
