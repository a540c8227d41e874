#pragma once
// The game's AudioRenderer: libmikmod plays the music modules and mixes the
// sound effects; the mixed sound goes out through SDL's audio callback
// (SdlCallbackDriver), or nowhere when no sound device opens, so that the
// game runs silently on a machine without sound instead of crashing.
//
// While the device is open, libmikmod mixes each block inside SDL's audio
// callback, whether a module plays or not: effects must be heard when the
// music is missing. There is no thread of ours: SDL's audio thread on the
// desktop, and the page's audio processing in a browser, call for each
// block when the device needs it. Music start and stop only change what
// libmikmod's player does. All public operations belong to the main thread;
// libmikmod's own locking (MikMod_InitThreads) keeps them apart from the
// callback. The destructor closes the device before libmikmod is shut down.
//
// Effect files are read by WavReader, and libmikmod gets only the PCM it
// found. A sample that libmikmod fails to take (a negative handle or no
// frames) is released without a call into the driver and never played.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
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

    // Registers libmikmod's drivers and loaders and SdlCallbackDriver, once per
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

    // True when sound reaches a device; false when libmikmod runs on its
    // silent driver (no device) or could not start at all.
    bool hasDevice() const { return hasDevice_; }
    // Number of entries in the sample table (one per loadSample call).
    int sampleCount() const { return static_cast<int>(samples.size()); }
    // The libmikmod sample of entry `index`; null for a refused or failed
    // load or an index outside the table.
    const SAMPLE* sampleAt(int index) const {
        return index >= 0 && index < sampleCount() ? samples[index] : nullptr;
    }

private:
    // A loaded module waiting for playMusic.
    struct MusicJob {
        MODULE* module = nullptr;  // null when the file failed to load
    };

    // Stops the player and the voices of its module, and frees the module.
    void endMusic();

    std::unique_ptr<MusicJob> musicJob;
    MODULE* playing_ = nullptr;  // the module the player plays, owned here
    // Entry i is the i-th loadSample; null where the file was refused or failed.
    std::vector<SAMPLE*> samples;
    // Each file is loaded once; loading it again adds an entry sharing it,
    // so levels that reload their effects do not pile up sample memory.
    std::map<std::string, SAMPLE*> loadedSamples_;

    bool sdlAudio_ = false;  // this object holds a reference on SDL's audio subsystem
    bool ready_ = false;     // libmikmod is initialised, on some driver
    bool hasDevice_ = false;
};
