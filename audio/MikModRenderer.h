#pragma once
// The game's AudioRenderer: libmikmod plays the music modules and mixes the
// sound effects; the mixed sound goes out through SDL's audio queue
// (SdlQueueDriver), or nowhere when no sound device opens, so that the game
// runs silently on a machine without sound instead of crashing.
//
// While the device is open, one mixer thread of our own keeps the device
// queue fed, whether a module plays or not: effects must be heard when the
// music is missing. Music start and stop only change what libmikmod's player
// does. The thread sleeps while the queue holds enough, and waits without
// waking at all while nothing sounds (no music, every effect voice done);
// playMusic and playSample wake it. It is started by the constructor and
// joined by the destructor before libmikmod is shut down. All public
// operations belong to the main thread; libmikmod's own locking
// (MikMod_InitThreads) keeps them apart from the mixer thread.
//
// Where the program may not start threads (a web page), the renderer is
// made with Mixing::Pumped instead: there is no mixer thread, and the main
// loop calls pump() once per frame to top the queue up.
//
// Effect files are read by WavReader, and libmikmod gets only the PCM it
// found. A sample that libmikmod fails to take (a negative handle or no
// frames) is released without a call into the driver and never played.

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioRenderer.h"

struct MODULE;
struct SAMPLE;

class MikModRenderer : public AudioRenderer {
public:
    // Who keeps the device queue fed: the renderer's own mixer thread, or
    // the main loop through pump().
    enum class Mixing { OwnThread, Pumped };

    explicit MikModRenderer(Mixing mixing = Mixing::OwnThread);
    ~MikModRenderer() override;

    MikModRenderer(const MikModRenderer&) = delete;
    MikModRenderer& operator=(const MikModRenderer&) = delete;

    void loadMusic(const char* file) override;
    void playMusic(int position) override;
    void stopMusic() override;
    void loadSample(const char* file) override;
    void playSample(int index) override;
    void setMusicVolume(int volume) override;
    uint32_t voiceVolume(int voice) override;

    // Registers libmikmod's drivers and loaders and SdlQueueDriver, once per
    // process: libmikmod links a loader registered twice into a cycle and
    // then loops for ever, so everything in the process that starts
    // libmikmod registers through here.
    static void registerLibmikmod();

    // Reads the WAV file `file` and hands its PCM to libmikmod, which must be
    // initialised with software sound effects. Null when the file is refused
    // or libmikmod could not take the sound. Free the result with freeEffect.
    static SAMPLE* loadEffect(const char* file);
    // Frees a sample from loadEffect (null is allowed). No voice may still
    // play it, and nothing may mix meanwhile: libmikmod frees sample memory
    // without taking its lock.
    static void freeEffect(SAMPLE* sample);

    // With Mixing::Pumped, mixes until the device has sound queued for a
    // few frames (nothing more while it has); call it once per frame. Does
    // nothing with Mixing::OwnThread or without a device.
    void pump();

    // True when sound reaches a device; false when libmikmod runs on its
    // silent driver (no device) or could not start at all.
    bool hasDevice() const { return hasDevice_; }
    // True while the mixer thread waits for something to play (false when
    // there is no mixer thread).
    bool mixerIdle() const { return mixerIdle_; }
    // Number of entries in the sample table (one per loadSample call).
    int sampleCount() const { return static_cast<int>(samples.size()); }
    // The libmikmod sample of entry `index`; null for a refused or failed
    // load or an index outside the table.
    const SAMPLE* sampleAt(int index) const {
        return index >= 0 && index < sampleCount() ? samples[index] : nullptr;
    }

private:
    // libmikmod's voice numbers are signed bytes.
    static constexpr int kVoiceCount = 128;

    // A loaded module waiting for playMusic.
    struct MusicJob {
        MODULE* module = nullptr;  // null when the file failed to load
    };

    void mixerThread();
    // Mixes until the device has more than its lead queued (a bounded
    // number of blocks).
    void topUp();
    // Makes the mixer look again at what plays (after a play or a stop).
    void wakeMixer();
    void endMixerThread();
    // Stops the player and the voices of its module, and frees the module.
    void endMusic();

    std::unique_ptr<MusicJob> musicJob;
    MODULE* playing_ = nullptr;  // the module the player plays, owned here
    // Entry i is the i-th loadSample; null where the file was refused or failed.
    std::vector<SAMPLE*> samples;
    // Each file is loaded once; loading it again adds an entry sharing it,
    // so levels that reload their effects do not pile up sample memory.
    std::map<std::string, SAMPLE*> loadedSamples_;

    Mixing mixing_;
    std::thread mixerThread_;
    std::mutex mixerMutex_;
    // Held around each mix, and by playMusic from starting the player to
    // moving it to its position. Taken before libmikmod's own lock.
    std::mutex updateMutex_;
    std::condition_variable mixerWake_;
    // Guarded by mixerMutex_: every wake-up counts, so that one between the
    // mixer's look at the voices and its wait is not lost.
    uint64_t wakeups_ = 0;
    // Guarded by mixerMutex_: the voices effects were started on.
    std::bitset<kVoiceCount> effectVoices_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> musicPlaying_{false};
    std::atomic<bool> mixerIdle_{false};
    bool sdlAudio_ = false;  // this object holds a reference on SDL's audio subsystem
    bool ready_ = false;     // libmikmod is initialised, on some driver
    bool hasDevice_ = false;
};
