#include "audio/MikModRenderer.h"

#include <SDL.h>
#include <mikmod.h>

#include <algorithm>
#include <mutex>

#include "audio/SdlCallbackDriver.h"
#include "audio/WavReader.h"
#include "catalogue/DataFile.h"
#include "catalogue/Sound.h"

namespace {

// Up to 64 module channels, and no "curious" search for hidden patterns.
constexpr int kMaxModuleChannels = 64;
// Voices kept for sound effects, on top of the module's own voices.
constexpr int kEffectVoices = 6;
// libmikmod's voice numbers are signed bytes.
constexpr int kVoiceCount = 128;

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
        SdlCallbackDriver::registerDriver();
        MikMod_RegisterAllLoaders();
    });
}

SAMPLE* MikModRenderer::loadEffect(const char* file) {
    WavReader wav;
    if (!wav.read(file)) {
        return nullptr;
    }
    // WAV keeps 8-bit samples unsigned and 16-bit ones signed, little-endian
    // (libmikmod's default byte order).
    const ULONG flags = wav.bits() == 16 ? SF_16BITS | SF_SIGNED : 0;
    SAMPLE* sample = Sample_LoadRawMem(reinterpret_cast<const char*>(wav.pcm().data()),
                                       static_cast<int>(wav.pcm().size()), wav.rate(), 0, flags);
    if (sample == nullptr) {
        return nullptr;
    }
    // A load the driver refused leaves handle -1, and one of no frames never
    // reaches the driver and keeps handle 0, which names another sample:
    // playing either reads outside the mixer's table, and Sample_Free would
    // unload memory that is not theirs. Only the structure is ours to free.
    if (sample->handle < 0 || sample->length == 0) {
        MikMod_free(sample);
        return nullptr;
    }
    sample->panning = PAN_CENTER;
    return sample;
}

void MikModRenderer::freeEffect(SAMPLE* sample) {
    if (sample != nullptr) {
        Sample_Free(sample);
    }
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
        hasDevice_ = initOn(SdlCallbackDriver::kAlias);
    }
    ready_ = hasDevice_ || initOn("nosound");
    if (!ready_) {
        return;
    }
    // The effect voices exist from the start, not only once a module has
    // loaded: without them libmikmod mixes nothing, and a game without its
    // music would play no effect either. Each Player_Load sets the music
    // voices and keeps these.
    if (MikMod_SetNumVoices(-1, kEffectVoices) != 0) {
        ready_ = hasDevice_ = false;  // libmikmod has shut itself down
        SdlCallbackDriver::close();
        return;
    }
    MikMod_EnableOutput();
    if (hasDevice_) {
        SdlCallbackDriver::start();
    }
}

MikModRenderer::~MikModRenderer() {
    // libmikmod must not be shut down, nor samples freed, while the device
    // mixes; closing it waits for a callback under way, which may need
    // libmikmod's lock, so it comes first and outside that lock.
    SdlCallbackDriver::close();
    endMusic();
    if (musicJob && musicJob->module != nullptr) {
        Player_Free(musicJob->module);
    }
    musicJob.reset();
    if (ready_) {
        MikMod_DisableOutput();
        for (auto& [file, sample] : loadedSamples_) {
            freeEffect(sample);
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
    std::FILE* opened = hasDevice_ ? catalogue::openDataFile(file) : nullptr;
    if (opened != nullptr) {
        musicJob->module = Player_LoadFP(opened, kMaxModuleChannels, 0);
        std::fclose(opened);
    }
    if (musicJob->module != nullptr) {
        // Play for ever: section ends jump back, and the song's end wraps.
        musicJob->module->loop = 1;
        musicJob->module->wrap = 1;
    }
}

void MikModRenderer::playMusic(int position) {
    // The previous music ends first, whatever follows.
    endMusic();
    if (!musicJob) {
        return;  // each playMusic needs a loadMusic of its own
    }
    std::unique_ptr<MusicJob> job = std::move(musicJob);
    if (job->module == nullptr) {
        return;  // a missing module plays nothing
    }
    playing_ = job->module;
    // No block of the song's first position may be mixed in between. The
    // device lock comes first, as it does for the callback.
    SdlCallbackDriver::holdMixing();
    Player_Start(playing_);
    Player_SetPosition(static_cast<UWORD>(std::clamp(position, 0, 0xFFFF)));
    SdlCallbackDriver::releaseMixing();
}

void MikModRenderer::stopMusic() {
    endMusic();
    if (ready_) {
        Player_Stop();
    }
}

void MikModRenderer::endMusic() {
    if (playing_ == nullptr) {
        return;
    }
    Player_Stop();
    // A stopped player leaves its voices playing, and freeing the module
    // frees the samples under them: the mixer notices only at its next
    // block, and Voice_RealVolume reads a freed sample without a check.
    for (int voice = 0; voice < playing_->numvoices && voice < kVoiceCount; ++voice) {
        Voice_Stop(static_cast<SBYTE>(voice));
    }
    Player_Free(playing_);
    playing_ = nullptr;
}

void MikModRenderer::loadSample(const char* file) {
    SAMPLE* sample = nullptr;
    if (ready_ && file != nullptr) {
        auto found = loadedSamples_.find(file);
        if (found != loadedSamples_.end()) {
            sample = found->second;
        } else {
            sample = loadEffect(file);
            if (sample != nullptr) {
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
        Player_SetVolume(static_cast<SWORD>(std::clamp(volume, 0, catalogue::sound::kFullVolume)));
    }
}

uint32_t MikModRenderer::voiceVolume(int voice) {
    // Only the module's own voices count; the effect voices follow them.
    if (!hasDevice_ || playing_ == nullptr || voice < 0 || voice >= playing_->numvoices) {
        return 0;
    }
    return static_cast<uint32_t>(Voice_RealVolume(static_cast<SBYTE>(voice)));
}
