#pragma once
// The picture file "BrikResource.dat", read and written in one place: the
// game loads it into its textures, the picture generator writes it, and the
// tests and tools read it back, all through this header.
//
// Format, no header: records of width and height (int32 little-endian)
// followed by height rows of width pixels, top row first, 4 bytes per pixel
// in the order blue, green, red, alpha.
//
// A file may be damaged or hostile. Reading stops at the first record that
// cannot be right, and nothing after it is trusted: a negative size, a side
// larger than any picture could need, a record past the table's 300, or a
// record that would take the file's pictures past a budget of memory. The
// budget counts what the game holds, each picture padded to powers of two
// as its texture is, so that a small file of large empty pictures cannot
// make the game hold gigabytes. A record cut short is the last.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "catalogue/DataFile.h"

namespace catalogue::picturefile {

// The texture table's size: records after it are never read.
inline constexpr int kMostRecords = 300;
// The game's largest picture is the 320x480 title screen; a side beyond this
// can only come from damage.
inline constexpr int32_t kLargestSide = 4096;
// Every picture of a file together, as padded textures.
inline constexpr uint64_t kMostBytes = uint64_t{256} << 20;

// The power of two a texture of `size` pixels needs (0 for 0 or less).
constexpr int32_t paddedSize(int32_t size) {
    int32_t padded = size > 0 ? 1 : 0;
    while (padded > 0 && padded < size) {
        padded *= 2;
    }
    return padded;
}

constexpr uint64_t paddedBytes(int32_t width, int32_t height) {
    return uint64_t{4} * static_cast<uint64_t>(paddedSize(width)) *
           static_cast<uint64_t>(paddedSize(height));
}

// Reads the records of an open picture file in turn.
class Reader {
public:
    // Reads from `file`, which stays the caller's.
    explicit Reader(std::FILE* file) : file_(file) {}

    // The next record's size, or false at the end of the file or at damage
    // (see above); sides beyond `largestSide` count as damage too. After a
    // true answer, call readRows or skipRows before the next call.
    bool next(int32_t& width, int32_t& height, int32_t largestSide = kLargestSide) {
        unsigned char header[8];
        if (ended_ || count_ == kMostRecords ||
            std::fread(header, 1, sizeof header, file_) != sizeof header) {
            ended_ = true;
            return false;
        }
        width = int32At(header);
        height = int32At(header + 4);
        const int32_t largest = largestSide < kLargestSide ? largestSide : kLargestSide;
        if (width < 0 || height < 0 || width > largest || height > largest ||
            paddedBytes(width, height) > kMostBytes - bytes_) {
            ended_ = true;
            return false;
        }
        bytes_ += paddedBytes(width, height);
        width_ = width;
        height_ = height;
        ++count_;
        return true;
    }

    // Reads the record's rows into `dest`, `stride` bytes from one row's
    // start to the next. False when the file ends inside them: what was read
    // stays, and the record is the last.
    bool readRows(uint8_t* dest, size_t stride) {
        const size_t row = static_cast<size_t>(width_) * 4;
        for (int32_t y = 0; y < height_; ++y) {
            if (std::fread(dest + static_cast<size_t>(y) * stride, 1, row, file_) != row) {
                ended_ = true;
                return false;
            }
        }
        return true;
    }

    // Passes over the record's rows. False when the file ends inside them.
    bool skipRows() {
        const auto bytes = static_cast<long>(static_cast<size_t>(width_) * height_ * 4);
        if (std::fseek(file_, bytes, SEEK_CUR) != 0) {
            ended_ = true;
            return false;
        }
        return true;
    }

    // Records read so far.
    int count() const { return count_; }

private:
    static int32_t int32At(const unsigned char* b) {
        return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                    static_cast<uint32_t>(b[2]) << 16 |
                                    static_cast<uint32_t>(b[3]) << 24);
    }

    std::FILE* file_;
    bool ended_ = false;
    int count_ = 0;
    uint64_t bytes_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// Appends one record of `width` x `height` pixels, BGRA rows top first, to
// the bytes of a picture file.
inline void appendRecord(std::vector<uint8_t>& file, int32_t width, int32_t height,
                         const uint8_t* bgra) {
    for (const int32_t v : {width, height}) {
        const auto u = static_cast<uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) {
            file.push_back(static_cast<uint8_t>((u >> shift) & 0xFFu));
        }
    }
    file.insert(file.end(), bgra, bgra + static_cast<size_t>(width) * height * 4);
}

}  // namespace catalogue::picturefile
