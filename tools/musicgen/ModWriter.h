#pragma once
// Builds a 4-channel ProTracker module ("M.K.") in memory and writes it out.
//
// The layout follows what libmikmod's MOD loader reads: sample lengths and
// repeat fields big-endian in 2-byte words (odd sample data padded), a repeat
// length of 1 word for "no loop", all 128 order entries present (unused ones
// 0), notes only at the exact periods of the ProTracker table, signed 8-bit
// sample data.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class ModWriter {
public:
    static constexpr int kChannels = 4;
    static constexpr int kRows = 64;
    static constexpr int kMaxSamples = 31;
    static constexpr int kNotes = 36;  // C-1 .. B-3

    // Effects used by the songs (ProTracker effect numbers).
    enum Effect : uint8_t {
        kArpeggio = 0x0,
        kVibrato = 0x4,
        kVolumeSlide = 0xA,
        kPositionJump = 0xB,
        kSetVolume = 0xC,
        kSpeed = 0xF,  // below 0x20 ticks per row, from 0x20 on beats per minute
    };

    struct Cell {
        int note = -1;   // 0..35 for C-1..B-3, -1 for none
        int sample = 0;  // 1..31, 0 for none
        uint8_t effect = 0;
        uint8_t param = 0;
    };
    using Pattern = std::array<std::array<Cell, kChannels>, kRows>;

    explicit ModWriter(std::string title);

    // Adds a sample and returns its number (1..31). loopStart/loopLength are
    // in bytes; a loopLength of 0 means the sample does not loop.
    int addSample(const std::string& name, std::vector<int8_t> data, int volume,
                  size_t loopStart = 0, size_t loopLength = 0);
    // Adds an empty pattern and returns its index.
    int addPattern();
    Pattern& pattern(int index) { return patterns_[index]; }
    void appendOrder(int pattern) { orders_.push_back(pattern); }
    int orderCount() const { return static_cast<int>(orders_.size()); }

    std::vector<uint8_t> bytes() const;

    // The period of note 0..35 in ProTracker's table (finetune 0).
    static int period(int note);

private:
    struct Sample {
        std::string name;
        std::vector<int8_t> data;
        int volume;
        size_t loopStart;
        size_t loopLength;
    };
    std::string title_;
    std::vector<Sample> samples_;
    std::vector<Pattern> patterns_;
    std::vector<int> orders_;
};
