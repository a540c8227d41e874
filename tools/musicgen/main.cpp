// duobrik-musicgen: writes the game's music modules and sound effects into
// the folder given as its argument. The output depends on nothing but this
// code, so every build writes the same bytes.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/musicgen/SongWriter.h"
#include "tools/musicgen/Songs.h"
#include "tools/musicgen/SoundEffects.h"

namespace {

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
    bool ok = writeFile(dir + "devils.mod", SongWriter::write(songs::title()).bytes());
    ok = writeFile(dir + "three.mod", SongWriter::write(songs::play()).bytes()) && ok;
    ok = writeFile(dir + "rotate_mono.wav", effects::wavFile(effects::rotate())) && ok;
    ok = writeFile(dir + "touched_mono.wav", effects::wavFile(effects::touchDown())) && ok;
    const char* rowFiles[] = {"1line_mono.wav", "2lines_mono.wav", "3lines_mono.wav",
                              "4lines_mono.wav"};
    for (int rows = 1; rows <= 4; ++rows) {
        ok =
            writeFile(dir + rowFiles[rows - 1], effects::wavFile(effects::rowsCleared(rows))) && ok;
    }
    return ok ? 0 : 1;
}
