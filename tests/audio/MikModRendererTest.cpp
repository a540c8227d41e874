// MikModRenderer on SDL's dummy audio driver (it consumes sound in real time,
// as a device does) and with no device at all, which is what CI has. What
// sounds is read from libmikmod's voices while SDL's audio callback mixes
// them.

#include "audio/MikModRenderer.h"

#include <gtest/gtest.h>
#include <mikmod.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "audio/SdlCallbackDriver.h"
#include "audio/WavReader.h"

namespace {

const char* const kEffects[] = {"rotate_mono.wav", "1line_mono.wav",  "2lines_mono.wav",
                                "3lines_mono.wav", "4lines_mono.wav", "touched_mono.wav"};

std::set<int> threadIds() {
    std::set<int> ids;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ids.insert(std::stoi(task.path().filename().string()));
    return ids;
}

// Names of the threads of this process that `ids` does not hold.
std::multiset<std::string> threadsBesides(const std::set<int>& ids) {
    std::multiset<std::string> names;
    for (int id : threadIds()) {
        std::string name;
        if (ids.count(id) == 0 &&
            std::ifstream("/proc/self/task/" + std::to_string(id) + "/comm") >> name)
            names.insert(name);
    }
    return names;
}

// Ends the test program (SIGALRM) when a test outlives 120 s: a deadlock
// fails instead of hanging the suite.
struct Deadline {
    Deadline() { alarm(120); }
    ~Deadline() { alarm(0); }
};

// libmikmod voices with sound under their play position: music or effects.
int soundingVoices() {
    int count = 0;
    for (int v = 0; v < 128; ++v)
        count += Voice_RealVolume(static_cast<SBYTE>(v)) > 0 ? 1 : 0;
    return count;
}

// The play screen's four bands: the loudness of the first four music voices.
uint32_t bands(MikModRenderer& audio) {
    return audio.voiceVolume(0) + audio.voiceVolume(1) + audio.voiceVolume(2) +
           audio.voiceVolume(3);
}

// SDL's audio driver for the life of a test: "dummy" plays in real time into
// nothing; an unknown name leaves the game without a device.
struct AudioDriver {
    explicit AudioDriver(const char* name) { setenv("SDL_AUDIODRIVER", name, 1); }
    ~AudioDriver() { unsetenv("SDL_AUDIODRIVER"); }
};

// Polls `done` until it holds or a minute has passed (CI machines are busy).
bool eventually(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class MikModRendererTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audio.hasDevice()); }

    const AudioDriver driver{"dummy"};
    MikModRenderer audio;
};

TEST_F(MikModRendererTest, ReloadedEffectsKeepTheFirstSixIndicesAndAreCentred) {
    for (int i = 0; i < 12; ++i)
        audio.loadSample(kEffects[i % 6]);
    ASSERT_EQ(audio.sampleCount(), 12);
    for (int i = 0; i < 6; ++i) {
        WavReader file;
        const SAMPLE* kept = audio.sampleAt(i);
        ASSERT_TRUE(file.read(kEffects[i]) && kept != nullptr) << kEffects[i];
        EXPECT_EQ(kept->length, file.frames()) << "index " << i << " is not " << kEffects[i];
        EXPECT_EQ(kept->speed, file.rate()) << kEffects[i];
        EXPECT_EQ(kept->panning, PAN_CENTER) << kEffects[i] << " would play in one speaker";
        EXPECT_EQ(audio.sampleAt(i + 6), kept) << "a reload is the same sound";
    }
}

TEST_F(MikModRendererTest, OutOfRangeAndFailedSamplesAreIgnored) {
    for (const char* file : {"rotate_mono.wav", "no-such-effect.wav", "touched_mono.wav"})
        audio.loadSample(file);
    EXPECT_EQ(audio.sampleCount(), 3);
    EXPECT_EQ(audio.sampleAt(1), nullptr);
    EXPECT_NE(audio.sampleAt(2), nullptr) << "a failed load still takes its index";
    audio.loadMusic("three.mod");
    audio.playMusic(10);
    EXPECT_EQ(Player_GetOrder(), 10);
    // libmikmod would crash on a null sample.
    for (int index : {1, 3, 12, -1, INT_MIN, INT_MAX, 0, 2})
        audio.playSample(index);
    EXPECT_EQ(audio.voiceVolume(-1) + audio.voiceVolume(8) + audio.voiceVolume(1000), 0u)
        << "the module has voices 0 to 7 only";
}

// libmikmod's mixer has 384 sample slots; a load past them comes back with
// handle -1, which would crash the mixer when played and Sample_Free when freed.
TEST_F(MikModRendererTest, EffectsPastTheMixersLastSlotAreRefused) {
    constexpr int kFiles = 400;
    for (int i = 0; i < kFiles; ++i) {
        // A file of its own each time, as a reload of one name is the same
        // sample; named after this process, as CTest runs tests side by side.
        const std::string file = testing::TempDir() + "duobrik-" + std::to_string(getpid()) + "-" +
                                 std::to_string(i) + ".wav";
        std::filesystem::copy_file("rotate_mono.wav", file);
        audio.loadSample(file.c_str());
        std::remove(file.c_str());
    }
    EXPECT_NE(audio.sampleAt(0), nullptr);
    EXPECT_EQ(audio.sampleAt(kFiles - 1), nullptr) << "more effects than the mixer has slots";
    for (int i = 0; i < kFiles; ++i) {
        const SAMPLE* sample = audio.sampleAt(i);
        ASSERT_TRUE(sample == nullptr || sample->handle >= 0) << "entry " << i;
        audio.playSample(i);
    }
}

TEST_F(MikModRendererTest, EffectsSoundWithoutMusicAndLeaveTheBandsDark) {
    // As in a game whose music modules are gone.
    audio.loadMusic("no-such-module.mod");
    audio.playMusic(0);
    // The longest effect, 1.5 s: a busy machine still sees it sound.
    audio.loadSample("4lines_mono.wav");
    audio.playSample(0);
    uint32_t shown = 0;
    EXPECT_TRUE(eventually([&] {
        shown = bands(audio);
        return soundingVoices() > 0;
    })) << "no music: the effect was never mixed";
    EXPECT_EQ(shown, 0u) << "the bands follow the music voices only";
}

// The device asks for each block; no thread of ours mixes, and none is left
// behind once the renderer is gone.
TEST(MikModRendererThreads, OnlySdlsAudioThreadFromStartToEnd) {
    const AudioDriver driver("dummy");
    const std::set<int> before = threadIds();
    {
        MikModRenderer audio;
        audio.loadMusic("three.mod");
        audio.playMusic(0);
        ASSERT_TRUE(eventually([&] { return bands(audio) > 0; }));
        // SDL names its playback thread "SDLAudioP" and the device's number.
        const std::multiset<std::string> added = threadsBesides(before);
        ASSERT_EQ(added.size(), 1u) << "threads besides SDL's audio thread";
        EXPECT_EQ(added.begin()->rfind("SDLAudioP", 0), 0u) << *added.begin();
        audio.stopMusic();
        EXPECT_EQ(soundingVoices(), 0) << "the stopped module's instruments drone on";
    }
    EXPECT_EQ(threadIds(), before) << "the device is closed";
}

// The callback holds SDL's device lock and takes libmikmod's; the main
// thread's calls take libmikmod's lock and, to start music, the device lock
// first. A call that asked for the device lock inside libmikmod's (a module
// load stops and starts the output) would hang here.
TEST(MikModRendererLockOrder, MainThreadCallsWhileTheCallbackMixes) {
    const AudioDriver driver("dummy");
    const Deadline deadline;
    MikModRenderer audio;
    audio.loadSample("rotate_mono.wav");
    audio.loadMusic("no-such-module.mod");
    audio.playMusic(0);
    EXPECT_FALSE(Player_Active());
    const uint64_t blocks = SdlCallbackDriver::blocksFilled();
    for (int cycle = 0; cycle < 300; ++cycle) {
        if (cycle % 2 == 0)
            audio.stopMusic();
        audio.loadMusic(cycle % 3 == 0 ? "devils.mod" : "three.mod");
        audio.playMusic(10 * (cycle % 3));
        ASSERT_TRUE(Player_Active() && Player_GetModule() != nullptr) << "cycle " << cycle;
        audio.playSample(0);
        audio.setMusicVolume(cycle % 128);
        bands(audio);
    }
    EXPECT_GT(SdlCallbackDriver::blocksFilled(), blocks + 10) << "the callback hardly ran";
}

TEST(MikModRendererWithoutDevice, RunsSilentlyWithoutAThread) {
    const AudioDriver driver("duobrik-no-such-driver");
    const std::set<int> before = threadIds();
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
    EXPECT_EQ(threadIds(), before);
}

}  // namespace
