// Any bytes as a sound-effect file, through the game's own path: the WAV
// reader decides, and whatever it accepts is loaded into libmikmod (on its
// silent driver, which still mixes), played on an effect voice, mixed to its
// end or for a while, and freed. Nothing may crash, read or write out of
// bounds or leak; a file the reader accepts must load, with the reader's
// frame count and a handle of its own.

#include <mikmod.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/MikModRenderer.h"
#include "audio/WavReader.h"

namespace {

// The silent driver mixes 8192 frames per update; a few are enough to reach
// the end of any effect this short input can hold at a common rate.
constexpr int kUpdates = 8;

bool startLibmikmod() {
    MikModRenderer::registerLibmikmod();
    md_mode |= DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;
    md_device = static_cast<UWORD>(MikMod_DriverFromAlias(const_cast<CHAR*>("nosound")));
    return MikMod_Init(const_cast<CHAR*>("")) == 0 && MikMod_SetNumVoices(-1, 6) == 0 &&
           MikMod_EnableOutput() == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = startLibmikmod();
    static const std::string path = "/tmp/duobrik_fuzz_" + std::to_string(getpid()) + ".wav";
    if (!started) {
        std::abort();
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    WavReader reader;
    const bool accepted = reader.read(path.c_str());
    SAMPLE* sample = MikModRenderer::loadEffect(path.c_str());
    std::remove(path.c_str());
    if (accepted != (sample != nullptr)) {
        std::abort();  // the reader's verdict is not what the game did
    }
    if (sample == nullptr) {
        return 0;
    }
    if (sample->handle < 0 || sample->length != reader.frames()) {
        std::abort();
    }
    const SBYTE voice = Sample_Play(sample, 0, SFX_CRITICAL);
    // A voice reads as stopped until the first mix has started it.
    for (int i = 0; i < kUpdates && voice >= 0; ++i) {
        MikMod_Update();
        if (Voice_Stopped(voice)) {
            break;
        }
    }
    Voice_Stop(voice);
    MikModRenderer::freeEffect(sample);
    return 0;
}
