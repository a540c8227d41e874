#pragma once
// The one reader of sound-effect files. Players replace the WAV files beside
// the game, so they are untrusted input: this reader decides what a file
// holds, and libmikmod is handed only the PCM it found, never the file. Two
// parsers that disagree about a file (libmikmod's loader does not skip the
// pad byte after an odd-sized chunk, for one) can then no longer turn a
// harmless file into a sample that crashes the mixer.
//
// Accepted: RIFF/WAVE with a format chunk for mono PCM of 8 bits (unsigned)
// or 16 bits (signed), plain or WAVE_FORMAT_EXTENSIBLE with the PCM
// sub-format, any positive rate, and a data chunk after it of at least one
// whole frame and at most kLargestData bytes that lies inside the file.
// Chunks are walked with their pad bytes, as RIFF lays them out; the first
// data chunk is the sound.
//
// Usage: WavReader wav; if (wav.read(path)) use wav.pcm(), rate(), bits().

#include <cstdint>
#include <cstdio>
#include <vector>

class WavReader {
public:
    // An effect is a few seconds at most; a data chunk beyond this is not one.
    static constexpr uint32_t kLargestData = 16u << 20;

    // Reads the file at `path`; true when it holds a sound the game plays.
    // On false pcm() is empty and rate() and bits() are 0.
    bool read(const char* path);

    // The sample data: whole frames only, as stored in the file.
    const std::vector<uint8_t>& pcm() const { return pcm_; }
    // Frames per second, above 0 once read() succeeded.
    uint32_t rate() const { return rate_; }
    // 8 (unsigned bytes) or 16 (signed, little-endian) once read() succeeded.
    uint16_t bits() const { return bits_; }
    // Number of frames in pcm().
    uint32_t frames() const {
        return bits_ == 0 ? 0 : static_cast<uint32_t>(pcm_.size() / (bits_ / 8u));
    }

private:
    bool parse(std::FILE* file);
    // Reads a format chunk of `size` bytes; false when it is not one we play.
    bool parseFormat(std::FILE* file, uint32_t size);

    std::vector<uint8_t> pcm_;
    uint32_t rate_ = 0;
    uint16_t bits_ = 0;
};
