#pragma once
// Builds a ProTracker-style module in memory and writes it out: "M.K." for
// four channels, "6CHN" or "8CHN" for six or eight, which libmikmod reads as
// the same format with more channels.
//
// The layout follows what libmikmod's MOD loader reads: sample lengths and
// repeat fields big-endian in 2-byte words (odd sample data padded), a repeat
// length of 1 word for "no loop", all 128 order entries present (unused ones
// 0), notes only at the exact periods of the extended ProTracker table (seven
// octaves, C-0 to B-6; libmikmod maps a period back to its note by exact
// match), signed 8-bit sample data.

#include <cstdint>
#include <string>
#include <vector>

class ModWriter {
public:
    static constexpr int kRows = 64;
    static constexpr int kMaxSamples = 31;
    static constexpr int kMaxPatterns = 128;
    static constexpr int kOrderEntries = 128;
    static constexpr int kNotes = 84;  // C-0 .. B-6
    // Note C-0 plays a sample at this many samples per second in libmikmod
    // (8363 Hz at C-2, halved per octave down); each semitone up multiplies
    // it by 2^(1/12).
    static constexpr double kRateAtNote0 = 8363.0 / 4.0;

    // The effects the songs use (ProTracker effect numbers).
    enum Effect : uint8_t {
        kArpeggio = 0x0,
        kTonePortamento = 0x3,
        kVibrato = 0x4,
        kVibratoVolumeSlide = 0x6,
        kPanning = 0x8,
        kVolumeSlide = 0xA,
        kPositionJump = 0xB,
        kSetVolume = 0xC,
        kExtended = 0xE,  // high nibble of the parameter picks the command
        kSpeed = 0xF,     // below 0x20 ticks per row, from 0x20 on beats per minute
    };
    // Commands of kExtended, already shifted into the parameter's high nibble.
    enum Extended : uint8_t {
        kFineVolumeUp = 0xA0,
        kFineVolumeDown = 0xB0,
        kNoteCut = 0xC0,
    };

    struct Cell {
        int note = -1;   // 0..83 for C-0..B-6, -1 for none
        int sample = 0;  // 1..31, 0 for none
        uint8_t effect = 0;
        uint8_t param = 0;
        bool hasEffect() const { return effect != 0 || param != 0; }
    };

    struct Sample {
        std::string name;
        std::vector<int8_t> data;
        int volume;         // 0..64
        size_t loopStart;   // bytes
        size_t loopLength;  // bytes; 0 for no loop
    };

    ModWriter(std::string title, int channels);

    int channels() const { return channels_; }
    // Adds a sample and returns its number (1..31).
    int addSample(Sample sample);
    // Adds an empty pattern and returns its index.
    int addPattern();
    int patternCount() const { return static_cast<int>(patterns_.size()); }
    Cell& cell(int pattern, int row, int channel);
    const Cell& cell(int pattern, int row, int channel) const;
    // Song position `position` plays `pattern`; positions left unset play
    // pattern 0 (and are never reached).
    void setOrder(int position, int pattern);
    int orderCount() const { return static_cast<int>(orders_.size()); }
    int order(int position) const { return orders_[position]; }
    const std::vector<Sample>& samples() const { return samples_; }

    std::vector<uint8_t> bytes() const;

    // The period of note 0..83 in the extended ProTracker table (finetune 0).
    static int period(int note);

private:
    std::string title_;
    int channels_;
    std::vector<Sample> samples_;
    std::vector<std::vector<Cell>> patterns_;
    std::vector<int> orders_;
};
