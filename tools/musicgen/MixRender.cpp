// duobrik-mixrender: plays the generated music and sound effects through
// libmikmod with the game's own settings (software mixing at libmikmod's
// defaults, effects centred on six voices of their own) and writes what the
// mixer makes to WAV files, for the mix report and for people to listen to.
//
//   duobrik-mixrender DATA_FOLDER OUTPUT_FOLDER [--solos] [--effects-over]
//
// For each tune it writes TUNE.wav, played from the song position the game
// starts it at for one pass (until the song comes back there) or the first
// 150 s, whichever is longer, and TUNE.txt: the pass's length, the positions
// it plays, and for every 16-row bar played, when it starts and which drum
// bar it is (the same number for the same drums; 0 for none). --solos adds
// TUNE.chN.wav, each channel on its own; --effects-over adds TUNE+fx.wav,
// the music with all six effects started together every 1.7 s. Each effect
// is written alone as fx-NAME.wav.

#include <mikmod.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "catalogue/Sound.h"
#include "tools/musicgen/ModuleLayout.h"
#include "tools/musicgen/Songs.h"
#include "tools/musicgen/SoundEffects.h"

namespace {

namespace sound = catalogue::sound;

constexpr int kRate = 44100;
// Frames mixed per update: small, so that effects start close to their frame.
constexpr ULONG kBlockFrames = 256;
constexpr ULONG kBytesPerFrame = 4;  // 16-bit stereo
// What the game asks of libmikmod: a module of at most 64 channels, six
// voices for effects.
constexpr int kMaxModuleChannels = 64;
constexpr int kEffectVoices = 6;
// Levels are judged over the first this many seconds of a tune.
constexpr double kMeasuredSeconds = 150;
// A tune that never comes back to its start is cut off here.
constexpr double kLongestPassSeconds = 600;
// How often the six effects are started together over the music.
constexpr double kEffectsEverySeconds = 1.7;
constexpr int kRowsPerBar = 16;
// The drums' channels (SongPlan.h).
constexpr int kDrumChannels[] = {kKit, kHats, kPerc};

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
    SongPlan (*song)();
};

// The intro plays at the player's initial volume (128); play levels set
// theirs.
const Tune kTunes[] = {
    {"title", sound::kTitleMusic, 0, 128, songs::title},
    {"calm", sound::kPlayMusic, sound::sectionPosition(0), sound::kFullVolume, songs::play},
    {"bright", sound::kPlayMusic, sound::sectionPosition(1), sound::kFullVolume, songs::play},
    {"driving", sound::kPlayMusic, sound::sectionPosition(2), sound::kFullVolume, songs::play},
};

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
    for (const char* file : sound::kEffectFiles) {
        SAMPLE* s = Sample_Load(const_cast<CHAR*>((data + file).c_str()));
        if (s != nullptr) {
            s->panning = PAN_CENTER;
        }
        out.push_back(s);
    }
    return out;
}

// Numbers the drum bars of a module by what their drum channels play.
class DrumBars {
public:
    explicit DrumBars(const SongPlan& song) : mod_(ModuleLayout::write(song)) {}
    // The number of bar `bar` of song position `position`: 0 without drums.
    int at(int position, int bar) {
        std::string key;
        const int pattern = mod_.order(position);
        for (int r = bar * kRowsPerBar; r < (bar + 1) * kRowsPerBar; ++r) {
            for (int ch : kDrumChannels) {
                const ModWriter::Cell& c = mod_.cell(pattern, r, ch);
                if (c.note >= 0 && c.sample > 0) {
                    key += std::to_string(r % kRowsPerBar) + ":" + std::to_string(ch) + ":" +
                           std::to_string(c.sample) + ":" + std::to_string(c.note) + " ";
                }
            }
        }
        if (key.empty()) {
            return 0;
        }
        return known_.emplace(key, static_cast<int>(known_.size()) + 1).first->second;
    }

private:
    ModWriter mod_;
    std::map<std::string, int> known_;
};

struct Bar {
    size_t frame;
    int drums;
};

struct Pass {
    std::vector<int> positions;
    size_t passFrames = 0;
    size_t frames = 0;  // all that was played: the pass or kMeasuredSeconds
    std::vector<Bar> bars;
};

// Starts the effects together every kEffectsEverySeconds.
void startEffects(const std::vector<SAMPLE*>& effects, size_t& next) {
    if (frames() < next) {
        return;
    }
    for (SAMPLE* s : effects) {
        if (s != nullptr) {
            Sample_Play(s, 0, SFX_CRITICAL);
        }
    }
    next += static_cast<size_t>(kEffectsEverySeconds * kRate);
}

// Plays `tune` from its position for a pass or kMeasuredSeconds, whichever
// is longer; `solo` mutes all other channels (-1: none); `effects` are
// started over it when given. With `known` given, plays as many frames.
Pass play(const std::string& data, const Tune& tune, int solo, const std::vector<SAMPLE*>* effects,
          const Pass* known, DrumBars* drums) {
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
    for (int c = 0; solo >= 0 && c < module->numchn; ++c) {
        if (c != solo) {
            Player_Mute(c);
        }
    }
    size_t nextEffects = 0;
    size_t limit =
        known != nullptr ? known->frames : static_cast<size_t>(kLongestPassSeconds * kRate);
    int lastOrder = -1, lastBar = -1;
    while (frames() < limit) {
        const int order = Player_GetOrder();
        const int bar = Player_GetRow() / kRowsPerBar;
        if (known == nullptr && order != lastOrder) {
            if (order == tune.position && !pass.positions.empty() && pass.passFrames == 0) {
                pass.passFrames = frames();
                limit = std::max(frames(), static_cast<size_t>(kMeasuredSeconds * kRate));
            }
            if (pass.passFrames == 0) {
                pass.positions.push_back(order);
            }
        }
        if (drums != nullptr && (order != lastOrder || bar != lastBar)) {
            pass.bars.push_back({frames(), drums->at(order, bar)});
        }
        lastOrder = order;
        lastBar = bar;
        if (effects != nullptr) {
            startEffects(*effects, nextEffects);
        }
        MikMod_Update();
    }
    Player_Stop();
    Player_Free(module);
    MikMod_DisableOutput();
    gMixed.resize(limit * 2);
    if (known != nullptr) {
        return *known;
    }
    pass.frames = limit;
    pass.passFrames = pass.passFrames > 0 ? pass.passFrames : limit;
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

bool writeInfo(const std::string& path, const Pass& pass) {
    FILE* info = std::fopen(path.c_str(), "w");
    if (info == nullptr) {
        return false;
    }
    std::fprintf(info, "pass %.3f\nseconds %.3f\npositions",
                 static_cast<double>(pass.passFrames) / kRate,
                 static_cast<double>(pass.frames) / kRate);
    for (int p : pass.positions) {
        std::fprintf(info, " %d", p);
    }
    std::fprintf(info, "\nbars");
    for (const Bar& b : pass.bars) {
        std::fprintf(info, " %.3f:%d", static_cast<double>(b.frame) / kRate, b.drums);
    }
    std::fprintf(info, "\n");
    return std::fclose(info) == 0;
}

// Everything written for one tune.
bool renderTune(const std::string& data, const std::string& out, const Tune& tune, bool solos,
                const std::vector<SAMPLE*>* effects) {
    DrumBars drums(tune.song());
    const Pass pass = play(data, tune, -1, nullptr, nullptr, &drums);
    if (pass.frames == 0) {
        return false;
    }
    bool ok = writeWav(out + tune.name + ".wav", gMixed);
    ok = writeInfo(out + tune.name + ".txt", pass) && ok;
    for (int c = 0; solos && c < kChannels; ++c) {
        play(data, tune, c, nullptr, &pass, nullptr);
        ok = writeWav(out + tune.name + ".ch" + std::to_string(c) + ".wav", gMixed) && ok;
    }
    // Effects play in levels only.
    if (effects != nullptr && std::strcmp(tune.file, sound::kPlayMusic) == 0) {
        play(data, tune, -1, effects, &pass, nullptr);
        ok = writeWav(out + tune.name + "+fx.wav", gMixed) && ok;
    }
    return ok;
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
        std::string stem = sound::kEffectFiles[i];
        if (fx[i] == nullptr) {
            std::fprintf(stderr, "duobrik-mixrender: cannot load %s\n", stem.c_str());
            return 1;
        }
        stem = stem.substr(0, stem.find("_mono"));
        ok = writeWav(out + "fx-" + stem + ".wav", playEffect(fx[i])) && ok;
    }
    for (const Tune& tune : kTunes) {
        ok = renderTune(data, out, tune, solos, over ? &fx : nullptr) && ok;
    }
    for (SAMPLE* s : fx) {
        Sample_Free(s);
    }
    MikMod_Exit();
    return ok ? 0 : 1;
}
