// duobrik-musicgen: writes the game's music modules and sound effects into
// the folder given as its argument, under the names the game loads them by.
// The output depends on nothing but this code, so every build writes the
// same bytes.

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/Sound.h"
#include "tools/musicgen/ModuleLayout.h"
#include "tools/musicgen/Songs.h"
#include "tools/musicgen/SoundEffects.h"

namespace {

namespace sound = catalogue::sound;

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "duobrik-musicgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: duobrik-musicgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = writeFile(dir + sound::kTitleMusic, ModuleLayout::write(songs::title()).bytes());
    ok = writeFile(dir + sound::kPlayMusic, ModuleLayout::write(songs::play()).bytes()) && ok;
    for (int e = 0; e < sound::kEffectCount; ++e) {
        const auto pcm = effects::effect(static_cast<sound::Effect>(e));
        ok = writeFile(dir + sound::kEffectFiles[e], effects::wavFile(pcm)) && ok;
    }
    return ok ? 0 : 1;
}
