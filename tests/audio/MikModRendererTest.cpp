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
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "audio/SdlCallbackDriver.h"
#include "audio/WavReader.h"

namespace {

// WAV files put together byte by byte, as audio editors write them and as a
// player's damaged or hostile replacement of an effect might look, each with
// what the game must make of it: play it (and how many frames) or refuse it.
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

const char* const kEffects[] = {"rotate_mono.wav", "1line_mono.wav",  "2lines_mono.wav",
                                "3lines_mono.wav", "4lines_mono.wav", "touched_mono.wav"};

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
        if (ids.count(id) == 0)
            names.insert(fileBytes("/proc/self/task/" + std::to_string(id) + "/comm"));
    }
    return names;
}

// Ends the test program when a test outlives its deadline: a deadlock fails
// with its name instead of hanging the suite.
class Watchdog {
public:
    explicit Watchdog(const char* what)
        : thread_([this, what] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(120), [this] { return over_; })) {
                  std::fprintf(stderr, "deadlock: %s did not finish within 120 s\n", what);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            over_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool over_ = false;
    std::thread thread_;
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
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    static void TearDownTestSuite() { unsetenv("SDL_AUDIODRIVER"); }
    void SetUp() override { ASSERT_TRUE(audio.hasDevice()); }

    // A file name of this test process's own: CTest runs tests side by side.
    static std::string scratchFile(const std::string& name) {
        return testing::TempDir() + "duobrik-" + std::to_string(getpid()) + "-" + name + ".wav";
    }
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

// Each crafted file as an effect: the ones the game refuses take their index
// and stay silent, the others all sound at once, and nothing crashes (the
// sanitizer build runs this too).
TEST_F(MikModRendererTest, CraftedEffectsPlayOrAreRefusedAndTheOthersStillSound) {
    const std::vector<CraftedWav> table = craftedWavs();
    int playable = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        const std::string file = scratchFile("crafted-" + std::to_string(i));
        std::ofstream(file, std::ios::binary) << table[i].bytes;
        audio.loadSample(file.c_str());
        std::remove(file.c_str());
        const SAMPLE* sample = audio.sampleAt(static_cast<int>(i));
        ASSERT_EQ(sample != nullptr, table[i].plays) << table[i].name;
        if (sample != nullptr) {
            EXPECT_EQ(sample->length, table[i].frames) << table[i].name;
            EXPECT_GE(sample->handle, 0) << table[i].name;
            ++playable;
        }
    }
    for (int i = 0; i < audio.sampleCount(); ++i)
        audio.playSample(i);
    // Each lasts two seconds: long enough for a busy machine to see them all.
    int most = 0;
    EXPECT_TRUE(eventually([&] { return (most = std::max(most, soundingVoices())) >= playable; }))
        << "only " << most << " of " << playable << " effects sounded";
    EXPECT_LE(most, playable) << "more voices sound than effects were accepted";
}

// libmikmod's mixer has 384 sample slots; a load past them comes back with
// handle -1, which would crash the mixer when played and Sample_Free when freed.
TEST_F(MikModRendererTest, EffectsPastTheMixersLastSlotAreRefused) {
    const std::string bytes =
        riff(chunk("fmt ", format(1, 1, kToneRate, 8)) + chunk("data", tone(100, 8)));
    constexpr int kFiles = 400;
    for (int i = 0; i < kFiles; ++i) {
        const std::string file = scratchFile("slot-" + std::to_string(i));
        std::ofstream(file, std::ios::binary) << bytes;
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
    const std::string tone = scratchFile("tone");
    std::ofstream(tone, std::ios::binary) << craftedWavs()[0].bytes;
    audio.loadSample(tone.c_str());
    std::remove(tone.c_str());
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
    const Watchdog watchdog("music and effects changed while mixing");
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
