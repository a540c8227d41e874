// MikModRenderer on SDL's dummy audio driver (it consumes sound in real time,
// as a device does) and with no device at all, which is what CI has.

#include "audio/MikModRenderer.h"

#include <gtest/gtest.h>
#include <mikmod.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

const char* const kEffects[] = {"rotate_mono.wav", "1line_mono.wav",  "2lines_mono.wav",
                                "3lines_mono.wav", "4lines_mono.wav", "touched_mono.wav"};

std::set<int> threadIds() {
    std::set<int> ids;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ids.insert(std::stoi(task.path().filename().string()));
    return ids;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// User plus system CPU time of one thread of this process, in seconds.
double cpuSeconds(int tid) {
    const std::string stat = fileBytes("/proc/self/task/" + std::to_string(tid) + "/stat");
    // After the parenthesised name: state is field 3, utime 14, stime 15.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string skipped[11];
    for (std::string& field : skipped)
        fields >> field;
    unsigned long utime = 0, stime = 0;
    fields >> utime >> stime;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class MikModRendererTest : public testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    static void TearDownTestSuite() { unsetenv("SDL_AUDIODRIVER"); }
    MikModRenderer audio;
};

TEST_F(MikModRendererTest, ReloadedEffectsKeepTheFirstSixIndicesAndAreCentred) {
    for (int i = 0; i < 12; ++i)
        audio.loadSample(kEffects[i % 6]);
    ASSERT_EQ(audio.sampleCount(), 12);
    for (int i = 0; i < 6; ++i) {
        SAMPLE* fresh = Sample_Load(const_cast<CHAR*>(kEffects[i]));
        const SAMPLE* kept = audio.sampleAt(i);
        ASSERT_TRUE(fresh != nullptr && kept != nullptr) << kEffects[i];
        EXPECT_EQ(kept->length, fresh->length) << "index " << i << " is not " << kEffects[i];
        EXPECT_EQ(kept->panning, PAN_CENTER) << kEffects[i] << " would play in one speaker";
        EXPECT_EQ(audio.sampleAt(i + 6), kept) << "a reload is the same sound";
        Sample_Free(fresh);
    }
}

TEST_F(MikModRendererTest, OutOfRangeAndFailedSamplesAreIgnored) {
    for (const char* file : {"rotate_mono.wav", "no-such-effect.wav", "touched_mono.wav"})
        audio.loadSample(file);
    EXPECT_EQ(audio.sampleCount(), 3);
    EXPECT_EQ(audio.sampleAt(1), nullptr);
    EXPECT_NE(audio.sampleAt(2), nullptr) << "a failed load still takes its index";
    // Effect voices exist once music plays; libmikmod would crash on a null sample then.
    audio.loadMusic("three.mod");
    audio.playMusic(10);
    EXPECT_EQ(Player_GetOrder(), 10);
    for (int index : {1, 3, 12, -1, INT_MIN, INT_MAX, 0, 2})
        audio.playSample(index);
    EXPECT_EQ(audio.voiceVolume(-1) + audio.voiceVolume(1000), 0u);
}

TEST_F(MikModRendererTest, DamagedEffectFilesAreRefused) {
    // The generated effect, cut inside its data, with a lying data size, in
    // stereo, and as garbage: each would load into a sample libmikmod cannot
    // play or free safely.
    const std::string good = fileBytes("touched_mono.wav");
    ASSERT_GT(good.size(), 100u);
    std::string lying = good, stereo = good;
    lying[good.find("data") + 7] = '\x7f';
    stereo[22] = 2;
    int index = 0;
    for (const std::string& bytes : {good.substr(0, 100), lying, stereo, std::string(3000, 'Z')}) {
        std::ofstream("damaged_test.wav", std::ios::binary) << bytes;
        audio.loadSample("damaged_test.wav");
        EXPECT_EQ(audio.sampleAt(index++), nullptr) << "damaged file " << index;
    }
    std::remove("damaged_test.wav");
    audio.loadSample("touched_mono.wav");
    EXPECT_NE(audio.sampleAt(index), nullptr) << "the whole file still loads";
}

TEST_F(MikModRendererTest, MissingModuleMakesNoThreadAndLaterOnesAtMostOne) {
    const size_t before = threadIds().size();
    audio.loadMusic("no-such-module.mod");
    audio.playMusic(0);
    EXPECT_FALSE(Player_Active());
    EXPECT_EQ(threadIds().size(), before) << "a missing module leaves no thread";
    size_t most = before;
    for (int level = 0; level < 50; ++level) {
        audio.loadMusic("three.mod");
        audio.playMusic(10 * (level % 3));
        most = std::max(most, threadIds().size());
    }
    EXPECT_LE(most, before + 1);
    for (int cycle = 0; cycle < 300; ++cycle) {
        audio.stopMusic();
        audio.loadMusic(cycle % 2 == 0 ? "three.mod" : "devils.mod");
        audio.playMusic(cycle % 2 == 0 ? 20 : 0);
        ASSERT_TRUE(Player_Active() && Player_GetModule() != nullptr) << "cycle " << cycle;
    }
    // The newest music outlives the previous thread's end.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(Player_Active());
    audio.stopMusic();
    EXPECT_EQ(threadIds().size(), before) << "stopMusic joins the music thread";
}

// A spinning music thread would use about as much CPU time as wall time.
TEST_F(MikModRendererTest, MusicThreadSleepsInsteadOfSpinning) {
    ASSERT_TRUE(audio.hasDevice());
    const std::set<int> before = threadIds();
    audio.loadMusic("three.mod");
    audio.playMusic(20);
    int musicTid = 0;
    for (int tid : threadIds())
        musicTid = before.count(tid) == 0 ? tid : musicTid;
    ASSERT_NE(musicTid, 0);
    // The main thread's per-frame calls meanwhile, as a play level makes them;
    // some voice sounds soon, for the play screen's bands.
    const double cpuStart = cpuSeconds(musicTid);
    const auto start = std::chrono::steady_clock::now();
    uint32_t loudest = 0;
    for (int frame = 0; frame < 120; ++frame) {
        audio.setMusicVolume(127);
        for (int v = 0; v < 4; ++v)
            loudest = std::max(loudest, audio.voiceVolume(v));
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double share = (cpuSeconds(musicTid) - cpuStart) / wall.count();
    std::printf("music thread CPU share %.1f%%\n", 100 * share);
    EXPECT_LT(share, 0.5);
    EXPECT_GT(loudest, 0u);
}

TEST(MikModRendererWithoutDevice, RunsSilently) {
    setenv("SDL_AUDIODRIVER", "duobrik-no-such-driver", 1);
    const size_t before = threadIds().size();
    {
        MikModRenderer audio;
        EXPECT_FALSE(audio.hasDevice());
        audio.loadMusic("three.mod");
        audio.playMusic(10);
        audio.setMusicVolume(64);
        for (int i = 0; i < 8; ++i) {
            audio.loadSample(kEffects[i % 6]);
            audio.playSample(i - 1);
            EXPECT_EQ(audio.voiceVolume(i % 4), 0u) << "silent voice " << i % 4;
        }
        EXPECT_LE(threadIds().size(), before + 1);
    }
    unsetenv("SDL_AUDIODRIVER");
    EXPECT_EQ(threadIds().size(), before);
}

}  // namespace
