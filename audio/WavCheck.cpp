#include "audio/WavCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

uint32_t le32(const unsigned char* b) {
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

uint16_t le16(const unsigned char* b) {
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

// An effect is a few seconds at most; anything near this is not one of ours.
constexpr long kLargestData = 16L << 20;

bool check(FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) {
        return false;
    }
    const long fileSize = std::ftell(f);
    std::rewind(f);
    unsigned char riff[12];
    if (fileSize < 12 || std::fread(riff, 1, 12, f) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool formatOk = false;
    for (;;) {
        unsigned char chunk[8];
        if (std::fread(chunk, 1, 8, f) != 8) {
            return false;  // no data chunk
        }
        const uint32_t size = le32(chunk + 4);
        const long start = std::ftell(f);
        if (start < 0 || size > static_cast<uint32_t>(fileSize - start)) {
            return false;  // the chunk runs past the end of the file
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < 16 || std::fread(fmt, 1, 16, f) != 16) {
                return false;
            }
            const uint16_t format = le16(fmt);
            const uint16_t channels = le16(fmt + 2);
            const uint16_t blockAlign = le16(fmt + 12);
            const uint16_t bits = le16(fmt + 14);
            formatOk = format == 1 && channels == 1 && (bits == 8 || bits == 16) &&
                       blockAlign == bits / 8 && le32(fmt + 4) > 0;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            return formatOk && size > 0 && size <= kLargestData;
        }
        // Chunks are padded to an even size.
        if (std::fseek(f, start + size + (size & 1), SEEK_SET) != 0) {
            return false;
        }
    }
}

}  // namespace

bool isCompleteMonoWav(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = check(f);
    std::fclose(f);
    return ok;
}
