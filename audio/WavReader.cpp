#include "audio/WavReader.h"

#include <cstring>

#include "catalogue/DataFile.h"

namespace {

uint32_t le32(const unsigned char* b) {
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

uint16_t le16(const unsigned char* b) {
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

// Format tags of the format chunk.
constexpr uint16_t kFormatPcm = 0x0001;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The plain format chunk is 16 bytes; the extensible one adds a 2-byte
// extension size, then 22 bytes: valid bits, channel mask, sub-format GUID.
constexpr uint32_t kPlainFormatSize = 16;
constexpr uint32_t kExtensibleFormatSize = 40;
constexpr uint16_t kExtensionSize = 22;
// KSDATAFORMAT_SUBTYPE_PCM, 00000001-0000-0010-8000-00aa00389b71, as stored.
constexpr unsigned char kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                             0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

}  // namespace

bool WavReader::read(const char* path) {
    pcm_.clear();
    rate_ = 0;
    bits_ = 0;
    std::FILE* file = catalogue::openDataFile(path);
    if (file == nullptr) {
        return false;
    }
    const bool ok = parse(file);
    std::fclose(file);
    if (!ok) {
        pcm_.clear();
        pcm_.shrink_to_fit();
        rate_ = 0;
        bits_ = 0;
    }
    return ok;
}

bool WavReader::parseFormat(std::FILE* file, uint32_t size) {
    unsigned char fmt[kExtensibleFormatSize];
    if (size < kPlainFormatSize || std::fread(fmt, 1, kPlainFormatSize, file) != kPlainFormatSize) {
        return false;
    }
    uint16_t format = le16(fmt);
    const uint16_t channels = le16(fmt + 2);
    const uint32_t rate = le32(fmt + 4);
    const uint16_t blockAlign = le16(fmt + 12);
    const uint16_t bits = le16(fmt + 14);
    if (format == kFormatExtensible) {
        // Audio editors write this form for plain PCM too; only the
        // sub-format says whether the samples are PCM.
        const size_t rest = kExtensibleFormatSize - kPlainFormatSize;
        if (size < kExtensibleFormatSize ||
            std::fread(fmt + kPlainFormatSize, 1, rest, file) != rest ||
            le16(fmt + 16) < kExtensionSize || le16(fmt + 18) > bits ||
            std::memcmp(fmt + 24, kPcmSubFormat, sizeof kPcmSubFormat) != 0) {
            return false;
        }
        format = kFormatPcm;
    }
    if (format != kFormatPcm || channels != 1 || (bits != 8 && bits != 16) ||
        blockAlign != bits / 8 || rate == 0) {
        return false;
    }
    rate_ = rate;
    bits_ = bits;
    return true;
}

bool WavReader::parse(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return false;
    }
    const long fileSize = std::ftell(file);
    std::rewind(file);
    unsigned char riff[12];
    if (fileSize < 12 || std::fread(riff, 1, 12, file) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool formatOk = false;
    for (;;) {
        unsigned char chunk[8];
        if (std::fread(chunk, 1, 8, file) != 8) {
            return false;  // no data chunk
        }
        const uint32_t size = le32(chunk + 4);
        const long start = std::ftell(file);
        if (start < 0 || size > static_cast<unsigned long>(fileSize - start)) {
            return false;  // the chunk runs past the end of the file
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            // A later format chunk replaces an earlier one, good or bad.
            rate_ = 0;
            bits_ = 0;
            formatOk = parseFormat(file, size);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!formatOk || size > kLargestData) {
                return false;
            }
            // A stray byte after the last whole 16-bit frame is no sound;
            // libmikmod would count zero frames for a lone one and then
            // hand out a handle that belongs to another sample.
            const uint32_t whole = size - size % (bits_ / 8);
            if (whole == 0) {
                return false;
            }
            pcm_.resize(whole);
            return std::fread(pcm_.data(), 1, whole, file) == whole;
        }
        // Chunks are padded to an even size.
        if (std::fseek(file, start + size + (size & 1), SEEK_SET) != 0) {
            return false;
        }
    }
}
