#include "tools/musicgen/ModWriter.h"

#include <algorithm>

#include "tools/musicgen/Refuse.h"

namespace {

// ProTracker's periods for finetune 0 over the seven octaves that libmikmod
// reads, C-0 to B-6.
constexpr int kPeriods[ModWriter::kNotes] = {
    1712, 1616, 1524, 1440, 1356, 1280, 1208, 1140, 1076, 1016, 960, 906,  // octave 0
    856,  808,  762,  720,  678,  640,  604,  570,  538,  508,  480, 453,  // octave 1
    428,  404,  381,  360,  339,  320,  302,  285,  269,  254,  240, 226,  // octave 2
    214,  202,  190,  180,  170,  160,  151,  143,  135,  127,  120, 113,  // octave 3
    107,  101,  95,   90,   85,   80,   75,   71,   67,   63,   60,  56,   // octave 4
    53,   50,   47,   45,   42,   40,   37,   35,   33,   31,   30,  28,   // octave 5
    27,   25,   24,   22,   21,   20,   19,   18,   17,   16,   15,  14,   // octave 6
};

constexpr size_t kTitleBytes = 20;
constexpr size_t kSampleNameBytes = 22;
// Restart byte; 127 is what ProTracker itself writes.
constexpr uint8_t kRestart = 127;
// Largest sample a MOD can describe: 65535 words.
constexpr size_t kMaxSampleBytes = 2 * 65535;

void putText(std::vector<uint8_t>& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
}

void putWordsBigEndian(std::vector<uint8_t>& out, size_t bytes) {
    const size_t words = bytes / 2;
    out.push_back(static_cast<uint8_t>(words >> 8));
    out.push_back(static_cast<uint8_t>(words & 0xFF));
}

}  // namespace

ModWriter::ModWriter(std::string title, int channels)
    : title_(std::move(title)), channels_(channels) {
    if (channels != 4 && channels != 6 && channels != 8) {
        refuse("a module has 4, 6 or 8 channels");
    }
}

int ModWriter::period(int note) {
    if (note < 0 || note >= kNotes) {
        refuse("note outside C-0..B-6");
    }
    return kPeriods[note];
}

int ModWriter::addSample(Sample sample) {
    if (samples_.size() >= kMaxSamples) {
        refuse("too many samples");
    }
    if (sample.data.size() % 2 != 0) {
        sample.data.push_back(0);  // lengths are counted in words
    }
    if (sample.data.size() > kMaxSampleBytes || sample.loopStart % 2 != 0 ||
        sample.loopLength % 2 != 0 || sample.loopStart + sample.loopLength > sample.data.size() ||
        sample.volume < 0 || sample.volume > 64) {
        refuse("bad sample layout");
    }
    samples_.push_back(std::move(sample));
    return static_cast<int>(samples_.size());
}

int ModWriter::addPattern() {
    if (patterns_.size() >= kMaxPatterns) {
        refuse("too many patterns");
    }
    patterns_.emplace_back(static_cast<size_t>(kRows * channels_));
    return static_cast<int>(patterns_.size()) - 1;
}

ModWriter::Cell& ModWriter::cell(int pattern, int row, int channel) {
    return patterns_.at(pattern).at(static_cast<size_t>(row) * channels_ + channel);
}

const ModWriter::Cell& ModWriter::cell(int pattern, int row, int channel) const {
    return patterns_.at(pattern).at(static_cast<size_t>(row) * channels_ + channel);
}

void ModWriter::setOrder(int position, int pattern) {
    if (position < 0 || position >= kOrderEntries) {
        refuse("song position outside the order table");
    }
    if (static_cast<int>(orders_.size()) <= position) {
        orders_.resize(position + 1, 0);
    }
    orders_[position] = pattern;
}

std::vector<uint8_t> ModWriter::bytes() const {
    if (orders_.empty()) {
        refuse("no song positions");
    }
    // The loader counts the patterns from the order table: one left out
    // would shift the sample data.
    int highest = 0;
    for (int p : orders_) {
        highest = std::max(highest, p);
    }
    if (highest + 1 != patternCount()) {
        refuse("a pattern that no song position plays");
    }
    std::vector<uint8_t> out;
    putText(out, title_, kTitleBytes);
    for (size_t i = 0; i < kMaxSamples; ++i) {
        if (i >= samples_.size()) {
            putText(out, "", kSampleNameBytes);
            out.insert(out.end(), {0, 0, 0, 0, 0, 0, 0, 1});  // empty, repeat length 1 word
            continue;
        }
        const Sample& s = samples_[i];
        putText(out, s.name, kSampleNameBytes);
        putWordsBigEndian(out, s.data.size());
        out.push_back(0);  // finetune
        out.push_back(static_cast<uint8_t>(s.volume));
        if (s.loopLength > 2) {
            putWordsBigEndian(out, s.loopStart);
            putWordsBigEndian(out, s.loopLength);
        } else {
            out.insert(out.end(), {0, 0, 0, 1});  // no loop
        }
    }
    out.push_back(static_cast<uint8_t>(orders_.size()));
    out.push_back(kRestart);
    for (size_t i = 0; i < kOrderEntries; ++i) {
        out.push_back(i < orders_.size() ? static_cast<uint8_t>(orders_[i]) : 0);
    }
    putText(out, channels_ == 4 ? "M.K." : std::to_string(channels_) + "CHN", 4);
    for (const auto& p : patterns_) {
        for (const Cell& c : p) {
            const int per = c.note >= 0 ? period(c.note) : 0;
            out.push_back(static_cast<uint8_t>((c.sample & 0xF0) | (per >> 8)));
            out.push_back(static_cast<uint8_t>(per & 0xFF));
            out.push_back(static_cast<uint8_t>(((c.sample & 0x0F) << 4) | (c.effect & 0x0F)));
            out.push_back(c.param);
        }
    }
    for (const Sample& s : samples_) {
        for (int8_t v : s.data) {
            out.push_back(static_cast<uint8_t>(v));
        }
    }
    return out;
}
