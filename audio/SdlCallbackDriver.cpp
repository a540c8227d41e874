#include "audio/SdlCallbackDriver.h"

#include <SDL.h>
#include <mikmod.h>

#include <atomic>
#include <cstring>

namespace {

// One block: 512 frames are 11.6 ms at 44.1 kHz. An effect started just
// after a callback waits up to one block to be mixed, and the device plays
// a block after the one it holds: at most two blocks from playSample to the
// speaker, which keeps a key's click under the 30 ms beyond which it is
// heard apart from the key. 1024 frames would halve the wake-ups and break
// that.
constexpr uint16_t kBlockFrames = 512;

SDL_AudioDeviceID gDevice = 0;
// Set by PlayStart and PlayStop, which libmikmod calls with its lock held;
// read by the callback, which then mixes or writes silence.
std::atomic<bool> gOutputOn{false};
std::atomic<uint64_t> gBlocks{0};
// The callback's buffer, for the Update that MikMod_Update calls on the same
// thread; null anywhere else, so that an update from another thread mixes
// nothing.
thread_local Uint8* tTarget = nullptr;
thread_local int tTargetBytes = 0;

void fill(void* /*userdata*/, Uint8* stream, int bytes) {
    bool mixed = false;
    if (gOutputOn) {
        tTarget = stream;
        tTargetBytes = bytes;
        MikMod_Update();  // takes libmikmod's lock: the device lock is held already
        mixed = tTarget == nullptr;
        tTarget = nullptr;
    }
    if (!mixed) {
        // Output off, or libmikmod was not playing when its lock came free.
        std::memset(stream, 0, static_cast<size_t>(bytes));
    }
    gBlocks.fetch_add(1, std::memory_order_relaxed);
}

BOOL isPresent() {
    return SDL_WasInit(SDL_INIT_AUDIO) != 0;
}

int init() {
    // Signed 16-bit stereo; integer output keeps the mixer's clipping in
    // libmikmod instead of at the device.
    md_mode = (md_mode | DMODE_16BITS | DMODE_STEREO) & ~DMODE_FLOAT;
    SDL_AudioSpec want{};
    want.freq = md_mixfreq;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBlockFrames;
    want.callback = fill;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to whatever the device takes, so the
    // mixer's format above stays true. The device opens paused, so the
    // callback cannot run yet and closing it here cannot wait on our lock.
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (gDevice == 0) {
        return 1;
    }
    if (VC_Init() != 0) {
        SDL_CloseAudioDevice(gDevice);
        gDevice = 0;
        return 1;
    }
    return 0;
}

void exitDriver() {
    // The device stays open: its callback may be waiting for the lock that
    // libmikmod holds here, and closing waits for the callback. With the
    // output off it mixes nothing, and SdlCallbackDriver::close() ends it.
    gOutputOn = false;
    VC_Exit();
}

int playStart() {
    if (VC_PlayStart() != 0) {
        return 1;
    }
    gOutputOn = true;
    return 0;
}

void playStop() {
    gOutputOn = false;
    VC_PlayStop();
}

void update() {
    if (tTarget == nullptr) {
        return;
    }
    const ULONG bytes =
        VC_WriteBytes(reinterpret_cast<SBYTE*>(tTarget), static_cast<ULONG>(tTargetBytes));
    std::memset(tTarget + bytes, 0, static_cast<size_t>(tTargetBytes) - bytes);
    tTarget = nullptr;
}

MDRIVER gDriver = {
    .next = nullptr,
    .Name = "Duobrik SDL callback",
    .Version = "Duobrik SDL audio callback driver v2.0",
    .HardVoiceLimit = 0,    // no hardware voices
    .SoftVoiceLimit = 255,  // the software mixer's limit
    .Alias = SdlCallbackDriver::kAlias,
    .CmdLineHelp = nullptr,
    .CommandLine = nullptr,
    .IsPresent = isPresent,
    .SampleLoad = VC_SampleLoad,
    .SampleUnload = VC_SampleUnload,
    .FreeSampleSpace = VC_SampleSpace,
    .RealSampleLength = VC_SampleLength,
    .Init = init,
    .Exit = exitDriver,
    .Reset = nullptr,  // libmikmod then does a full Exit and Init
    .SetNumVoices = VC_SetNumVoices,
    .PlayStart = playStart,
    .PlayStop = playStop,
    .Update = update,
    .Pause = nullptr,
    .VoiceSetVolume = VC_VoiceSetVolume,
    .VoiceGetVolume = VC_VoiceGetVolume,
    .VoiceSetFrequency = VC_VoiceSetFrequency,
    .VoiceGetFrequency = VC_VoiceGetFrequency,
    .VoiceSetPanning = VC_VoiceSetPanning,
    .VoiceGetPanning = VC_VoiceGetPanning,
    .VoicePlay = VC_VoicePlay,
    .VoiceStop = VC_VoiceStop,
    .VoiceStopped = VC_VoiceStopped,
    .VoiceGetPosition = VC_VoiceGetPosition,
    .VoiceRealVolume = VC_VoiceRealVolume,
};

}  // namespace

void SdlCallbackDriver::registerDriver() {
    // libmikmod ignores a driver that is already in its list.
    MikMod_RegisterDriver(&gDriver);
}

void SdlCallbackDriver::start() {
    if (gDevice != 0) {
        SDL_PauseAudioDevice(gDevice, 0);
    }
}

void SdlCallbackDriver::holdMixing() {
    if (gDevice != 0) {
        SDL_LockAudioDevice(gDevice);
    }
}

void SdlCallbackDriver::releaseMixing() {
    if (gDevice != 0) {
        SDL_UnlockAudioDevice(gDevice);
    }
}

void SdlCallbackDriver::close() {
    if (gDevice != 0) {
        SDL_CloseAudioDevice(gDevice);
        gDevice = 0;
    }
}

uint64_t SdlCallbackDriver::blocksFilled() {
    return gBlocks.load(std::memory_order_relaxed);
}
