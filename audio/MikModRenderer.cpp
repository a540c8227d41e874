#include "audio/MikModRenderer.h"

#include <SDL.h>
#include <mikmod.h>
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "audio/SdlQueueDriver.h"
#include "audio/WavCheck.h"

namespace {

// Up to 64 module channels, and no "curious" search for hidden patterns.
constexpr int kMaxModuleChannels = 64;
// Voices kept for sound effects, on top of the module's own voices.
constexpr int kEffectVoices = 6;
// The music thread tops the device queue up when less than this much sound
// is waiting: enough to ride over a late wake-up, short enough that effects
// mixed into the stream are still heard at once.
constexpr uint32_t kQueueAheadMs = 80;
// How long the music thread sleeps between looks at the queue.
constexpr auto kQueuePoll = std::chrono::milliseconds(5);
// libmikmod's player volume range.
constexpr int kMaxPlayerVolume = 128;
// Voice numbers are signed bytes in libmikmod.
constexpr int kMaxVoice = 127;

// Starts libmikmod on `alias`; true on success.
bool initOn(const char* alias) {
    const int device = MikMod_DriverFromAlias(const_cast<CHAR*>(alias));
    if (device == 0) {
        return false;
    }
    md_device = static_cast<UWORD>(device);
    return MikMod_Init(const_cast<CHAR*>("")) == 0;
}

}  // namespace

void MikModRenderer::registerLibmikmod() {
    static std::once_flag once;
    std::call_once(once, [] {
        MikMod_InitThreads();
        MikMod_RegisterAllDrivers();
        SdlQueueDriver::registerDriver();
        MikMod_RegisterAllLoaders();
    });
}

MikModRenderer::MikModRenderer() {
    registerLibmikmod();
    md_mode |= DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;

    // libmikmod's autodetection takes the first driver that claims a device
    // and gives up if that one then fails to open; every later Player_Load or
    // Sample_Load then crashes. So the driver is named, and when no device
    // opens, libmikmod's silent driver takes over.
    sdlAudio_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (sdlAudio_) {
        hasDevice_ = initOn(SdlQueueDriver::kAlias);
    }
    ready_ = hasDevice_ || initOn("nosound");
}

MikModRenderer::~MikModRenderer() {
    // A thread still joinable at exit would abort the process, and libmikmod
    // must not be shut down under a running player.
    stopMusic();
    if (musicJob && musicJob->module != nullptr) {
        Player_Free(musicJob->module);
    }
    musicJob.reset();
    if (ready_) {
        MikMod_DisableOutput();
        for (auto& [file, sample] : loadedSamples_) {
            Sample_Free(sample);
        }
        MikMod_Exit();
    }
    loadedSamples_.clear();
    samples.clear();
    if (sdlAudio_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void MikModRenderer::loadMusic(const char* file) {
    // A module loaded and never played is not needed any more.
    if (musicJob && musicJob->module != nullptr) {
        Player_Free(musicJob->module);
    }
    musicJob = std::make_unique<MusicJob>();
    // Without a device nothing would be heard: the music is left out.
    if (hasDevice_ && file != nullptr) {
        musicJob->module = Player_Load(const_cast<CHAR*>(file), kMaxModuleChannels, 0);
    }
    if (musicJob->module != nullptr) {
        // Play for ever: section ends jump back, and the song's end wraps.
        musicJob->module->loop = 1;
        musicJob->module->wrap = 1;
    }
}

void MikModRenderer::playMusic(int position) {
    // The previous music ends first, so that at most one thread drives the
    // player and an old thread cannot stop the newer music on its way out.
    endMusicThread();
    if (!musicJob) {
        return;  // each playMusic needs a loadMusic of its own
    }
    std::unique_ptr<MusicJob> job = std::move(musicJob);
    if (job->module == nullptr) {
        return;  // a missing module plays nothing
    }
    job->position = static_cast<uint16_t>(std::clamp(position, 0, 0xFFFF));
    MikMod_SetNumVoices(-1, kEffectVoices);
    MikMod_EnableOutput();
    Player_Start(job->module);
    Player_SetPosition(job->position);
    stopRequested_ = false;
    musicThread_ = std::thread(&MikModRenderer::musicThread, this, *job);
}

void MikModRenderer::stopMusic() {
    endMusicThread();
    if (ready_) {
        Player_Stop();
    }
}

void MikModRenderer::loadSample(const char* file) {
    SAMPLE* sample = nullptr;
    if (ready_ && file != nullptr) {
        auto found = loadedSamples_.find(file);
        if (found != loadedSamples_.end()) {
            sample = found->second;
        } else if (isCompleteMonoWav(file)) {
            sample = Sample_Load(const_cast<CHAR*>(file));
            if (sample != nullptr) {
                // The WAV loader leaves panning at 0, hard left.
                sample->panning = PAN_CENTER;
                loadedSamples_.emplace(file, sample);
            }
        }
    }
    samples.push_back(sample);
}

void MikModRenderer::playSample(int index) {
    // libmikmod dereferences the sample without a check.
    if (!hasDevice_ || index < 0 || index >= static_cast<int>(samples.size()) ||
        samples[index] == nullptr) {
        return;
    }
    Sample_Play(samples[index], 0, SFX_CRITICAL);
}

void MikModRenderer::setMusicVolume(int volume) {
    if (ready_) {
        Player_SetVolume(static_cast<SWORD>(std::clamp(volume, 0, kMaxPlayerVolume)));
    }
}

uint32_t MikModRenderer::voiceVolume(int voice) {
    if (!hasDevice_ || voice < 0 || voice > kMaxVoice) {
        return 0;
    }
    return static_cast<uint32_t>(Voice_RealVolume(static_cast<SBYTE>(voice)));
}

void MikModRenderer::endMusicThread() {
    if (musicThread_.joinable()) {
        stopRequested_ = true;
        musicThread_.join();
    }
}

void MikModRenderer::musicThread(MusicJob job) {
    // Named, so that a profiler or `top -H` tells it from the library's threads.
    pthread_setname_np(pthread_self(), "duobrik-music");
    while (!stopRequested_ && Player_Active()) {
        MikMod_Update();
        // Sleep while the device has enough to play; MikMod_Update itself
        // returns at once, so a loop without this would spin a core and keep
        // the main thread waiting for libmikmod's lock.
        while (!stopRequested_ && SdlQueueDriver::queuedMs() > kQueueAheadMs) {
            std::this_thread::sleep_for(kQueuePoll);
        }
    }
    // Stop the player only if it still plays this thread's module.
    if (Player_GetModule() == job.module) {
        Player_Stop();
    }
    Player_Free(job.module);
}
