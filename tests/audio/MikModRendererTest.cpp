// MikModRenderer on SDL's dummy audio driver (it consumes sound in real time,
// as a device does) and with no device at all, which is what CI has.

#include "audio/MikModRenderer.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <mikmod.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kEffects[] = {"rotate_mono.wav", "1line_mono.wav",  "2lines_mono.wav",
                                "3lines_mono.wav", "4lines_mono.wav", "touched_mono.wav"};

std::set<int> threadIds() {
    std::set<int> ids;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] != '.')
                ids.insert(std::atoi(e->d_name));
        }
        closedir(dir);
    }
    return ids;
}

// User plus system CPU time of one thread of this process, in seconds.
double cpuSeconds(int tid) {
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
    FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr)
        return 0;
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
    const char* rest = read ? std::strrchr(line, ')') : nullptr;
    unsigned long utime = 0, stime = 0;
    if (rest == nullptr ||
        std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime,
                    &stime) != 2) {
        return 0;
    }
    return static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
}

class MikModRendererTest : public testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override { unsetenv("SDL_AUDIODRIVER"); }
};

TEST_F(MikModRendererTest, OpensTheDummyDevice) {
    MikModRenderer audio;
    EXPECT_TRUE(audio.hasDevice());
}

TEST_F(MikModRendererTest, MissingModulePlaysNothingAndLeavesNoThread) {
    MikModRenderer audio;
    const size_t before = threadIds().size();
    audio.loadMusic("no-such-module.mod");
    audio.playMusic(0);
    EXPECT_FALSE(Player_Active());
    EXPECT_EQ(threadIds().size(), before);
    audio.stopMusic();
}

TEST_F(MikModRendererTest, PlaysFromTheAskedPositionAndVoicesMove) {
    MikModRenderer audio;
    audio.loadMusic("three.mod");
    audio.playMusic(10);
    EXPECT_TRUE(Player_Active());
    EXPECT_EQ(Player_GetOrder(), 10);
    // The play screen's bands follow voices 0..3: some of them sound soon.
    uint32_t loudest = 0;
    for (int i = 0; i < 100 && loudest == 0; ++i) {
        for (int v = 0; v < 4; ++v)
            loudest = std::max(loudest, audio.voiceVolume(v));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GT(loudest, 0u);
    EXPECT_EQ(audio.voiceVolume(-1), 0u);
    EXPECT_EQ(audio.voiceVolume(1000), 0u);
    audio.stopMusic();
    EXPECT_FALSE(Player_Active());
}

TEST_F(MikModRendererTest, ReloadedEffectsKeepTheFirstSixIndicesAndAreCentred) {
    MikModRenderer audio;
    for (int round = 0; round < 2; ++round) {
        for (const char* file : kEffects)
            audio.loadSample(file);
    }
    ASSERT_EQ(audio.sampleCount(), 12);
    for (int i = 0; i < 6; ++i) {
        SAMPLE* fresh = Sample_Load(const_cast<CHAR*>(kEffects[i]));
        ASSERT_NE(fresh, nullptr);
        const SAMPLE* kept = audio.sampleAt(i);
        ASSERT_NE(kept, nullptr) << kEffects[i];
        EXPECT_EQ(kept->length, fresh->length) << "index " << i << " is not " << kEffects[i];
        EXPECT_EQ(kept->panning, PAN_CENTER) << kEffects[i] << " would play in one speaker";
        EXPECT_EQ(audio.sampleAt(i + 6), kept) << "a reload is the same sound";
        Sample_Free(fresh);
    }
}

TEST_F(MikModRendererTest, OutOfRangeAndFailedSamplesAreIgnored) {
    MikModRenderer audio;
    audio.loadSample("rotate_mono.wav");
    audio.loadSample("no-such-effect.wav");
    audio.loadSample("touched_mono.wav");
    EXPECT_EQ(audio.sampleCount(), 3);
    EXPECT_EQ(audio.sampleAt(1), nullptr);
    EXPECT_NE(audio.sampleAt(2), nullptr) << "a failed load still takes its index";
    // Effect voices exist once music plays; libmikmod would crash on a null sample then.
    audio.loadMusic("three.mod");
    audio.playMusic(0);
    for (int index : {1, 3, 12, -1, INT_MIN, INT_MAX})
        audio.playSample(index);
    audio.playSample(0);
    audio.playSample(2);
    audio.stopMusic();
}

TEST_F(MikModRendererTest, DamagedEffectFilesAreRefused) {
    // The generated effect, cut inside its data, with a lying data size, in
    // stereo, and as garbage: each would load into a sample libmikmod cannot
    // play or free safely.
    std::string good;
    {
        FILE* f = std::fopen("touched_mono.wav", "rb");
        ASSERT_NE(f, nullptr);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            good.append(buffer, n);
        std::fclose(f);
    }
    std::string cut = good.substr(0, 100);
    std::string lying = good;
    lying[good.find("data") + 7] = '\x7f';
    std::string stereo = good;
    stereo[22] = 2;
    const std::string garbage(3000, '\x5a');
    MikModRenderer audio;
    int index = 0;
    const std::string* const damaged[] = {&cut, &lying, &stereo, &garbage};
    for (const std::string* bytes : damaged) {
        FILE* f = std::fopen("damaged_test.wav", "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes->data(), 1, bytes->size(), f);
        std::fclose(f);
        audio.loadSample("damaged_test.wav");
        EXPECT_EQ(audio.sampleAt(index), nullptr) << "damaged file " << index;
        std::remove("damaged_test.wav");
        ++index;
    }
    audio.loadSample("touched_mono.wav");
    EXPECT_NE(audio.sampleAt(index), nullptr) << "the whole file still loads";
}

TEST_F(MikModRendererTest, AtMostOneMusicThreadAcrossManyLevels) {
    MikModRenderer audio;
    const size_t before = threadIds().size();
    size_t most = before;
    for (int level = 0; level < 50; ++level) {
        audio.setMusicVolume(127);
        audio.loadMusic("three.mod");
        audio.playMusic(10 * (level % 3));
        most = std::max(most, threadIds().size());
    }
    EXPECT_LE(most, before + 1);
    audio.stopMusic();
    EXPECT_EQ(threadIds().size(), before) << "stopMusic joins the music thread";
}

TEST_F(MikModRendererTest, StopLoadPlayCyclesKeepTheNewMusicPlaying) {
    MikModRenderer audio;
    for (int cycle = 0; cycle < 300; ++cycle) {
        audio.stopMusic();
        audio.loadMusic(cycle % 2 == 0 ? "three.mod" : "devils.mod");
        audio.playMusic(cycle % 2 == 0 ? 20 : 0);
        ASSERT_TRUE(Player_Active()) << "cycle " << cycle;
        ASSERT_NE(Player_GetModule(), nullptr) << "cycle " << cycle;
    }
    // The newest music outlives the previous thread's end.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(Player_Active());
}

TEST_F(MikModRendererTest, MusicThreadSleepsInsteadOfSpinning) {
    MikModRenderer audio;
    ASSERT_TRUE(audio.hasDevice());
    const std::set<int> before = threadIds();
    audio.loadMusic("three.mod");
    audio.playMusic(20);
    int musicTid = 0;
    for (int tid : threadIds()) {
        if (before.count(tid) == 0)
            musicTid = tid;
    }
    ASSERT_NE(musicTid, 0);

    // The main thread's per-frame calls meanwhile, as a play level makes them.
    const double cpuStart = cpuSeconds(musicTid);
    const auto start = Clock::now();
    Clock::duration longestCall{};
    while (Clock::now() - start < std::chrono::seconds(2)) {
        const auto t0 = Clock::now();
        audio.setMusicVolume(127);
        for (int v = 0; v < 4; ++v)
            audio.voiceVolume(v);
        longestCall = std::max(longestCall, Clock::now() - t0);
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double share = (cpuSeconds(musicTid) - cpuStart) / wall;
    std::printf("music thread CPU share %.1f%%, longest main-thread volume call %.2f ms\n",
                100 * share, std::chrono::duration<double, std::milli>(longestCall).count());
    // A spinning thread shows up as about 100%.
    EXPECT_LT(share, 0.5);
    audio.stopMusic();
}

TEST(MikModRendererWithoutDevice, RunsSilently) {
    setenv("SDL_AUDIODRIVER", "duobrik-no-such-driver", 1);
    {
        MikModRenderer audio;
        EXPECT_FALSE(audio.hasDevice());
        const size_t before = threadIds().size();
        audio.loadMusic("three.mod");
        audio.playMusic(10);
        for (const char* file : kEffects)
            audio.loadSample(file);
        for (int i = -1; i < 8; ++i)
            audio.playSample(i);
        audio.setMusicVolume(64);
        for (int v = 0; v < 4; ++v)
            EXPECT_EQ(audio.voiceVolume(v), 0u) << "silent voice " << v;
        EXPECT_LE(threadIds().size(), before + 1);
        audio.stopMusic();
        EXPECT_EQ(threadIds().size(), before);
    }
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
