#pragma once
// A libmikmod output driver that hands the mixed sound to SDL2's audio queue.
//
// libmikmod stays the module player and the software mixer; this driver only
// moves its output. Each MikMod_Update mixes one short block with
// VC_WriteBytes and appends it with SDL_QueueAudio, so there is no SDL audio
// callback and hence no second lock that could be taken in the opposite order
// to libmikmod's own (the fault of libmikmod's bundled SDL driver). The queue
// also tells the mixer thread how much sound lies ahead, so that it can sleep
// instead of spinning. SDL then reaches PulseAudio/PipeWire, ALSA or, in
// tests, its "dummy" driver.
//
// Usage: SDL's audio subsystem is initialised by the caller; registerDriver() once,
// select the driver with md_device = MikMod_DriverFromAlias(kAlias), then
// MikMod_Init. There is one libmikmod per process, so the state is static.

#include <cstdint>

class SdlQueueDriver {
public:
    static constexpr const char* kAlias = "duobrik-sdl";

    // Adds the driver to libmikmod's list; safe to call more than once.
    static void registerDriver();
    // Milliseconds of mixed sound waiting in SDL's queue (0 when closed).
    static uint32_t queuedMs();
};
