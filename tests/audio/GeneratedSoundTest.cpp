// The generated modules and effects, checked through libmikmod itself: they
// load, have the shape the game relies on, and sound (rendered through
// libmikmod's WAV disk writer).

#include "audio/MikModRenderer.h"

#include <gtest/gtest.h>
#include <mikmod.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

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

// Three seconds of `file` from song position `position`, through the WAV
// writer, as 16-bit stereo samples (zeros where the writer wrote nothing).
std::vector<int16_t> render(const char* file, int position) {
    // The temporary folder is shared with other tests and other checkouts' tests.
    const std::string out =
        testing::TempDir() + "duobrik-render-" + std::to_string(getpid()) + ".wav";
    {
        MikModSession session("wav", "file=" + out);
        MODULE* module = load(file);
        EXPECT_TRUE(session.ok && module != nullptr) << file;
        if (module == nullptr)
            return {};
        module->loop = module->wrap = 1;
        Player_Start(module);
        Player_SetPosition(static_cast<UWORD>(position));  // where the song's sections start
        EXPECT_EQ(Player_GetOrder(), position) << file;
        // The writer mixes 32 KiB (8192 stereo frames) per update.
        for (int i = 0; i < 3 * 44100 / 8192 + 1; ++i)
            MikMod_Update();
        Player_Stop();
        Player_Free(module);
    }
    std::ifstream in(out, std::ios::binary);
    in.seekg(44);  // the writer's canonical header
    std::vector<int16_t> pcm(3 * 44100 * 2);
    in.read(reinterpret_cast<char*>(pcm.data()), static_cast<std::streamsize>(pcm.size() * 2));
    std::remove(out.c_str());
    return pcm;
}

TEST(GeneratedMusic, LoadsWithEightChannelsAndEnoughPositions) {
    MikModSession session("nosound", "");
    ASSERT_TRUE(session.ok);
    for (const auto& [file, minPositions] : {std::pair{"devils.mod", 1}, {"three.mod", 30}}) {
        MODULE* module = load(file);
        ASSERT_NE(module, nullptr) << file << ": " << MikMod_strerror(MikMod_errno);
        EXPECT_EQ(module->numchn, 8) << file;
        EXPECT_GE(module->numpos, minPositions) << file;
        Player_Free(module);
    }
}

TEST(GeneratedMusic, SectionsPlayFromTheirPositionsUnclippedAndDiffer) {
    std::vector<std::vector<int16_t>> three;
    for (const auto& [file, position] :
         {std::pair{"devils.mod", 0}, {"three.mod", 0}, {"three.mod", 10}, {"three.mod", 20}}) {
        const std::vector<int16_t> pcm = render(file, position);
        double sum = 0, peak = 0;
        for (int16_t s : pcm) {
            sum += (s / 32768.0) * (s / 32768.0);
            peak = std::max(peak, std::abs(s / 32768.0));
        }
        const double rmsDb = 10 * std::log10(sum / pcm.size() + 1e-20);
        const double peakDb = 20 * std::log10(peak + 1e-10);
        std::printf("%s from %d: peak %.1f dBFS, RMS %.1f dBFS\n", file, position, peakDb, rmsDb);
        EXPECT_GT(rmsDb, -30.0) << file << " from " << position << " is (nearly) silent";
        EXPECT_LT(peakDb, -1.0) << file << " from " << position << " peaks near clipping";
        if (file == std::string("three.mod"))
            three.push_back(pcm);
    }
    // The sections differ sample by sample, not just by a little.
    for (int a = 0; a < 3; ++a) {
        for (int b = a + 1; b < 3; ++b) {
            double diff = 0;
            for (size_t i = 0; i < three[a].size(); ++i)
                diff += std::abs(three[a][i] - three[b][i]);
            EXPECT_GT(diff / three[a].size(), 500.0) << "sections " << a << ", " << b << " alike";
        }
    }
}

TEST(GeneratedEffects, LoadAsMono16BitWithinTheirLengths) {
    MikModSession session("nosound", "");
    ASSERT_TRUE(session.ok);
    // Rotation and touch-down are short; the row clears grow from one to four.
    const struct {
        const char* file;
        int minMs, maxMs;
    } kEffects[] = {{"rotate_mono.wav", 20, 149},   {"touched_mono.wav", 40, 199},
                    {"1line_mono.wav", 200, 599},   {"2lines_mono.wav", 400, 800},
                    {"3lines_mono.wav", 600, 1100}, {"4lines_mono.wav", 900, 1500}};
    for (const auto& e : kEffects) {
        SAMPLE* s = MikModRenderer::loadEffect(e.file);
        ASSERT_NE(s, nullptr) << e.file;
        EXPECT_TRUE((s->flags & SF_16BITS) && !(s->flags & SF_STEREO)) << e.file;
        const double ms = 1000.0 * s->length / s->speed;
        EXPECT_TRUE(ms >= e.minMs && ms <= e.maxMs) << e.file << ": " << ms << " ms";
        MikModRenderer::freeEffect(s);
    }
}

}  // namespace
