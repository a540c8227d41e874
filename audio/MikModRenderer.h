#pragma once
// The game's AudioRenderer: libmikmod plays the music modules and mixes the
// sound effects; the mixed sound goes out through SDL's audio queue
// (SdlQueueDriver), or nowhere when no sound device opens, so that the game
// runs silently on a machine without sound instead of crashing.
//
// Music runs on one thread of its own that keeps the mixer fed while a module
// plays. There is never more than one: playMusic and stopMusic end and join
// the running thread before anything else, and destruction does the same
// before libmikmod is shut down. All public operations belong to the main
// thread; libmikmod's own locking (MikMod_InitThreads) keeps them apart from
// the music thread.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioRenderer.h"

struct MODULE;
struct SAMPLE;

class MikModRenderer : public AudioRenderer {
public:
    MikModRenderer();
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

    // True when sound reaches a device; false when libmikmod runs on its
    // silent driver (no device) or could not start at all.
    bool hasDevice() const { return hasDevice_; }
    // Number of entries in the sample table (one per loadSample call).
    int sampleCount() const { return static_cast<int>(samples.size()); }
    // The libmikmod sample of entry `index`; null for a failed load or an
    // index outside the table.
    const SAMPLE* sampleAt(int index) const {
        return index >= 0 && index < sampleCount() ? samples[index] : nullptr;
    }

private:
    // A loaded module waiting for playMusic, then owned by the music thread.
    struct MusicJob {
        MODULE* module = nullptr;  // null when the file failed to load
        uint16_t position = 0;     // song position at which playback starts
    };

    void endMusicThread();
    void musicThread(MusicJob job);

    std::unique_ptr<MusicJob> musicJob;
    // Entry i is the i-th loadSample; null where the file failed to load.
    std::vector<SAMPLE*> samples;
    // Each file is loaded once; loading it again adds an entry sharing it,
    // so levels that reload their effects do not pile up sample memory.
    std::map<std::string, SAMPLE*> loadedSamples_;

    std::thread musicThread_;
    std::atomic<bool> stopRequested_{false};
    bool sdlAudio_ = false;  // this object holds a reference on SDL's audio subsystem
    bool ready_ = false;     // libmikmod is initialised, on some driver
    bool hasDevice_ = false;
};
