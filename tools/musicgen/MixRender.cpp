// duobrik-mixrender: plays the generated music and sound effects through
// libmikmod with the game's own settings (software mixing at libmikmod's
// defaults, effects centred on six voices of their own) and writes what the
// mixer makes to WAV files, for the mix report and for people to listen to.
//
//   duobrik-mixrender DATA_FOLDER OUTPUT_FOLDER [--solos] [--effects-over]
//
// For each tune it writes TUNE.wav, one pass through the tune from its start
// position until the song comes back there, and TUNE.txt with the positions
// played and the pass's length. --solos adds TUNE.chN.wav, each channel on its
// own; --effects-over adds TUNE+fx.wav, the pass with all six effects started
// together every 1.7 s. Each effect is written alone as fx-NAME.wav.

#include <mikmod.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/musicgen/SoundEffects.h"

namespace {

constexpr int kRate = 44100;
// Frames mixed per update: small, so that effects start close to their frame.
constexpr ULONG kBlockFrames = 256;
constexpr ULONG kBytesPerFrame = 4;  // 16-bit stereo
// What the game asks of libmikmod: a module of at most 64 channels, six
// voices for effects, play levels at player volume 127.
constexpr int kMaxModuleChannels = 64;
constexpr int kEffectVoices = 6;
constexpr int kPlayVolume = 127;
// A tune that never comes back to its start is cut off here.
constexpr double kLongestPassSeconds = 600;
// How often the six effects are started together over the music.
constexpr double kEffectsEverySeconds = 1.7;

std::vector<int16_t> gMixed;
SBYTE gBlock[kBlockFrames * kBytesPerFrame];

BOOL isPresent() {
    return 1;
}

int init() {
    md_mode = (md_mode | DMODE_16BITS | DMODE_STEREO) & ~DMODE_FLOAT;
    return VC_Init();
}

void update() {
    const ULONG bytes = VC_WriteBytes(gBlock, sizeof gBlock);
    const auto* s = reinterpret_cast<const int16_t*>(gBlock);
    gMixed.insert(gMixed.end(), s, s + bytes / 2);
}

// Collects the mixer's output in memory, as the game's SDL driver queues it.
MDRIVER gDriver = {
    nullptr,
    "Duobrik memory",
    "Duobrik memory driver v1.0",
    0,
    255,
    "duobrik-memory",
    nullptr,
    nullptr,
    isPresent,
    VC_SampleLoad,
    VC_SampleUnload,
    VC_SampleSpace,
    VC_SampleLength,
    init,
    VC_Exit,
    nullptr,
    VC_SetNumVoices,
    VC_PlayStart,
    VC_PlayStop,
    update,
    nullptr,
    VC_VoiceSetVolume,
    VC_VoiceGetVolume,
    VC_VoiceSetFrequency,
    VC_VoiceGetFrequency,
    VC_VoiceSetPanning,
    VC_VoiceGetPanning,
    VC_VoicePlay,
    VC_VoiceStop,
    VC_VoiceStopped,
    VC_VoiceGetPosition,
    VC_VoiceRealVolume,
};

struct Tune {
    const char* name;
    const char* file;
    int position;
    int volume;
};

// The intro plays at the player's initial volume; play levels set 127.
constexpr Tune kTunes[] = {
    {"title", "devils.mod", 0, 128},
    {"calm", "three.mod", 0, kPlayVolume},
    {"bright", "three.mod", 10, kPlayVolume},
    {"driving", "three.mod", 20, kPlayVolume},
};

constexpr const char* kEffectFiles[] = {"rotate_mono.wav", "1line_mono.wav",  "2lines_mono.wav",
                                        "3lines_mono.wav", "4lines_mono.wav", "touched_mono.wav"};

bool writeWav(const std::string& path, const std::vector<int16_t>& stereo) {
    std::vector<uint8_t> bytes = effects::wavFile(stereo, 2);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "duobrik-mixrender: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

size_t frames() {
    return gMixed.size() / 2;
}

// The samples the game plays, centred as the game centres them.
std::vector<SAMPLE*> loadEffects(const std::string& data) {
    std::vector<SAMPLE*> out;
    for (const char* file : kEffectFiles) {
        SAMPLE* s = Sample_Load(const_cast<CHAR*>((data + file).c_str()));
        if (s != nullptr) {
            s->panning = PAN_CENTER;
        }
        out.push_back(s);
    }
    return out;
}

struct Pass {
    std::vector<int> positions;
    size_t frames = 0;
};

// Plays `tune` from its position until it comes back there; `solo` mutes
// all other channels (-1: none); `effects` are started together every
// kEffectsEverySeconds when given. With `pass` known, plays that many frames.
Pass play(const std::string& data, const Tune& tune, int solo, const std::vector<SAMPLE*>* effects,
          const Pass* known) {
    Pass pass;
    gMixed.clear();
    MODULE* module =
        Player_Load(const_cast<CHAR*>((data + tune.file).c_str()), kMaxModuleChannels, 0);
    if (module == nullptr) {
        std::fprintf(stderr, "duobrik-mixrender: %s: %s\n", tune.file,
                     MikMod_strerror(MikMod_errno));
        return pass;
    }
    module->loop = 1;
    module->wrap = 1;
    MikMod_SetNumVoices(-1, kEffectVoices);
    MikMod_EnableOutput();
    Player_Start(module);
    Player_SetPosition(static_cast<UWORD>(tune.position));
    Player_SetVolume(static_cast<SWORD>(tune.volume));
    if (solo >= 0) {
        for (int c = 0; c < module->numchn; ++c) {
            if (c != solo) {
                Player_Mute(c);
            }
        }
    }
    bool left = false;
    size_t nextEffects = 0;
    const auto limit = static_cast<size_t>(kLongestPassSeconds * kRate);
    while (frames() < limit) {
        const int order = Player_GetOrder();
        if (known != nullptr) {
            if (frames() >= known->frames) {
                break;
            }
        } else {
            if (pass.positions.empty() || pass.positions.back() != order) {
                if (order == tune.position && left) {
                    break;
                }
                pass.positions.push_back(order);
            }
            left = left || order != tune.position;
        }
        if (effects != nullptr && frames() >= nextEffects) {
            for (SAMPLE* s : *effects) {
                if (s != nullptr) {
                    Sample_Play(s, 0, SFX_CRITICAL);
                }
            }
            nextEffects += static_cast<size_t>(kEffectsEverySeconds * kRate);
        }
        MikMod_Update();
    }
    Player_Stop();
    Player_Free(module);
    MikMod_DisableOutput();
    pass.frames = frames();
    if (known != nullptr) {
        gMixed.resize(known->frames * 2);
        pass.positions = known->positions;
        pass.frames = known->frames;
    }
    return pass;
}

// One effect alone through the mixer, with 50 ms of its release after it.
std::vector<int16_t> playEffect(SAMPLE* s) {
    gMixed.clear();
    MikMod_SetNumVoices(0, kEffectVoices);
    MikMod_EnableOutput();
    Sample_Play(s, 0, SFX_CRITICAL);
    const size_t length = static_cast<size_t>(s->length) + kRate / 20;
    while (frames() < length) {
        MikMod_Update();
    }
    MikMod_DisableOutput();
    gMixed.resize(length * 2);
    return gMixed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: duobrik-mixrender DATA_FOLDER OUTPUT_FOLDER [--solos] "
                     "[--effects-over]\n");
        return 2;
    }
    const std::string data = std::string(argv[1]) + "/";
    const std::string out = std::string(argv[2]) + "/";
    bool solos = false, over = false;
    for (int i = 3; i < argc; ++i) {
        solos = solos || std::strcmp(argv[i], "--solos") == 0;
        over = over || std::strcmp(argv[i], "--effects-over") == 0;
    }

    MikMod_InitThreads();
    MikMod_RegisterDriver(&gDriver);
    MikMod_RegisterAllLoaders();
    // The game's own settings: software mixing of music and effects, every
    // other setting at libmikmod's default.
    md_mode |= DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;
    md_device = static_cast<UWORD>(MikMod_DriverFromAlias(const_cast<CHAR*>("duobrik-memory")));
    if (MikMod_Init(const_cast<CHAR*>("")) != 0) {
        std::fprintf(stderr, "duobrik-mixrender: %s\n", MikMod_strerror(MikMod_errno));
        return 1;
    }
    bool ok = true;
    std::vector<SAMPLE*> fx = loadEffects(data);
    for (size_t i = 0; i < fx.size(); ++i) {
        if (fx[i] == nullptr) {
            std::fprintf(stderr, "duobrik-mixrender: cannot load %s\n", kEffectFiles[i]);
            return 1;
        }
        std::string stem = kEffectFiles[i];
        stem = stem.substr(0, stem.find("_mono"));
        ok = writeWav(out + "fx-" + stem + ".wav", playEffect(fx[i])) && ok;
    }
    for (const Tune& tune : kTunes) {
        const Pass pass = play(data, tune, -1, nullptr, nullptr);
        if (pass.frames == 0) {
            return 1;
        }
        ok = writeWav(out + tune.name + ".wav", gMixed) && ok;
        FILE* info = std::fopen((out + tune.name + ".txt").c_str(), "w");
        if (info != nullptr) {
            std::fprintf(info, "seconds %.3f\npositions", static_cast<double>(pass.frames) / kRate);
            for (int p : pass.positions) {
                std::fprintf(info, " %d", p);
            }
            std::fprintf(info, "\n");
            std::fclose(info);
        }
        if (solos) {
            MODULE* m =
                Player_Load(const_cast<CHAR*>((data + tune.file).c_str()), kMaxModuleChannels, 0);
            const int channels = m != nullptr ? m->numchn : 0;
            if (m != nullptr) {
                Player_Free(m);
            }
            for (int c = 0; c < channels; ++c) {
                play(data, tune, c, nullptr, &pass);
                ok = writeWav(out + tune.name + ".ch" + std::to_string(c) + ".wav", gMixed) && ok;
            }
        }
        if (over && std::strcmp(tune.file, "three.mod") == 0) {  // effects play in levels only
            play(data, tune, -1, &fx, &pass);
            ok = writeWav(out + tune.name + "+fx.wav", gMixed) && ok;
        }
    }
    for (SAMPLE* s : fx) {
        Sample_Free(s);
    }
    MikMod_Exit();
    return ok ? 0 : 1;
}
