// Writes pictures of a picture file as PAM images (RGBA), so that the
// end-to-end tests can compare regions of a screenshot with what the game
// should have drawn there, straight from the data file the game read.
//
//   duobrik-e2e-picture FILE OUTDIR INDEX...   writes OUTDIR/t<INDEX>.pam each
//
// Exit code 1 if any picture is missing or damaged (the others are written).

#include "render/TextureTable.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool writePam(const std::string& path, const std::vector<uint8_t>& bgra, int32_t width,
              int32_t height) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 width, height);
    // The file keeps blue first; PAM wants red first.
    std::vector<uint8_t> rgba(bgra);
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 2] = bgra[i];
    }
    const bool written = std::fwrite(rgba.data(), 1, rgba.size(), out) == rgba.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE OUTDIR INDEX...\n", argv[0]);
        return 2;
    }
    int status = 0;
    for (int a = 3; a < argc; ++a) {
        const int index = std::atoi(argv[a]);
        Picture p;
        if (!readPicture(argv[1], index, p) || p.width == 0 || p.height == 0 ||
            !writePam(std::string(argv[2]) + "/t" + std::to_string(index) + ".pam", p.bgra, p.width,
                      p.height)) {
            std::fprintf(stderr, "picture %d: missing or damaged\n", index);
            status = 1;
        }
    }
    return status;
}
