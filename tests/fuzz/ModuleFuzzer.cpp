// Any bytes as a music module, through every loader the game registers: a
// player may drop any module libmikmod knows in place of the game's own. What
// libmikmod accepts is started as the game starts its music (looping and
// wrapping), mixed for two seconds from its start and two more from one of
// the play music's section positions, on the silent driver, which still runs
// the player and the mixer, then freed. Nothing may crash, read or write out
// of bounds, or leak.
//
// The work per input is bounded: the mix is a fixed number of blocks, so a
// song that never ends cannot hold the fuzzer up, and a load or a block that
// takes long runs into libFuzzer's time limit (scripts/fuzz) as a hang.

#include <mikmod.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/MikModRenderer.h"
#include "catalogue/Sound.h"

namespace {

// The game's module settings: up to 64 channels, no "curious" search for
// hidden patterns (audio/MikModRenderer.cpp).
constexpr int kMaxModuleChannels = 64;
constexpr BOOL kCurious = 0;
// The silent driver mixes 8192 frames per update: 22 updates are about four
// seconds at 44.1 kHz, enough for a few dozen rows at any tempo; half of it
// from each start.
constexpr int kUpdates = 22;

// The song positions the game starts the play music's sections at. Each
// input is played from its start (the title tune's position) and then from
// one of these, picked by its length, so that a module shorter than a
// section is also moved past its end, as the game would move it.
constexpr std::array<int, catalogue::sound::kSectionCount> kSectionPositions = {
    catalogue::sound::sectionPosition(0), catalogue::sound::sectionPosition(1),
    catalogue::sound::sectionPosition(2)};

void mix(int updates) {
    for (int i = 0; i < updates && Player_Active(); ++i) {
        MikMod_Update();
    }
}

bool startLibmikmod() {
    MikModRenderer::registerLibmikmod();
    // The game's output: 16-bit stereo, mixed in software.
    md_mode = (md_mode | DMODE_16BITS | DMODE_STEREO | DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX) &
              ~DMODE_FLOAT;
    md_device = static_cast<UWORD>(MikMod_DriverFromAlias(const_cast<CHAR*>("nosound")));
    return MikMod_Init(const_cast<CHAR*>("")) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = startLibmikmod();
    if (!started) {
        std::abort();
    }
    MODULE* module = Player_LoadMem(reinterpret_cast<const char*>(data), static_cast<int>(size),
                                    kMaxModuleChannels, kCurious);
    if (module == nullptr) {
        return 0;
    }
    module->loop = 1;
    module->wrap = 1;
    MikMod_EnableOutput();
    Player_Start(module);
    Player_SetPosition(0);
    mix(kUpdates / 2);
    Player_SetPosition(static_cast<UWORD>(kSectionPositions[size % kSectionPositions.size()]));
    mix(kUpdates / 2);
    MikMod_DisableOutput();
    Player_Stop();
    Player_Free(module);
    return 0;
}
