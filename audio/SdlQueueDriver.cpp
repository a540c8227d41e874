#include "audio/SdlQueueDriver.h"

#include <SDL.h>
#include <mikmod.h>

#include <atomic>
#include <cstring>

namespace {

// One mixed block: 512 frames are 11.6 ms at 44.1 kHz, short enough that an
// update holds libmikmod's lock only briefly (the main thread's volume calls
// wait on it) and that sound effects start soon after they are triggered.
constexpr uint32_t kBlockFrames = 512;
// 16-bit stereo, which is what the mixer is told to make in init().
constexpr uint32_t kBytesPerFrame = 4;
// An update never lets the queue grow beyond this, whoever calls it and how
// often: a caller that spins cannot pile up latency.
constexpr uint32_t kMaxQueuedMs = 150;

SDL_AudioDeviceID gDevice = 0;
std::atomic<uint32_t> gBytesPerSecond{0};
SBYTE gBlock[kBlockFrames * kBytesPerFrame];

BOOL isPresent() {
    return SDL_WasInit(SDL_INIT_AUDIO) != 0;
}

int init() {
    // The queue carries signed 16-bit stereo; integer output keeps the
    // mixer's clipping in libmikmod instead of at the device.
    md_mode = (md_mode | DMODE_16BITS | DMODE_STEREO) & ~DMODE_FLOAT;
    SDL_AudioSpec want{};
    want.freq = md_mixfreq;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBlockFrames;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to whatever the device takes, so the
    // mixer's format above stays true.
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (gDevice == 0) {
        return 1;
    }
    gBytesPerSecond = static_cast<uint32_t>(md_mixfreq) * kBytesPerFrame;
    if (VC_Init() != 0) {
        SDL_CloseAudioDevice(gDevice);
        gDevice = 0;
        return 1;
    }
    return 0;
}

void exitDriver() {
    VC_Exit();
    if (gDevice != 0) {
        SDL_CloseAudioDevice(gDevice);
        gDevice = 0;
    }
    gBytesPerSecond = 0;
}

int playStart() {
    if (VC_PlayStart() != 0) {
        return 1;
    }
    SDL_PauseAudioDevice(gDevice, 0);
    return 0;
}

void playStop() {
    // Output off means silence now, not after what is still queued.
    SDL_PauseAudioDevice(gDevice, 1);
    SDL_ClearQueuedAudio(gDevice);
    VC_PlayStop();
}

uint32_t queuedMsNow() {
    const uint32_t rate = gBytesPerSecond;
    if (gDevice == 0 || rate == 0) {
        return 0;
    }
    return static_cast<uint32_t>(uint64_t{SDL_GetQueuedAudioSize(gDevice)} * 1000 / rate);
}

void update() {
    if (gDevice == 0 || queuedMsNow() >= kMaxQueuedMs) {
        return;
    }
    const ULONG bytes = VC_WriteBytes(gBlock, sizeof gBlock);
    SDL_QueueAudio(gDevice, gBlock, bytes);
}

MDRIVER gDriver = {
    .next = nullptr,
    .Name = "Duobrik SDL queue",
    .Version = "Duobrik SDL audio queue driver v1.0",
    .HardVoiceLimit = 0,    // no hardware voices
    .SoftVoiceLimit = 255,  // the software mixer's limit
    .Alias = SdlQueueDriver::kAlias,
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

void SdlQueueDriver::registerDriver() {
    // libmikmod ignores a driver that is already in its list.
    MikMod_RegisterDriver(&gDriver);
}

uint32_t SdlQueueDriver::queuedMs() {
    return queuedMsNow();
}
