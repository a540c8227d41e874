#include "tools/musicgen/ModWriter.h"

#include <cstdio>
#include <cstdlib>

namespace {

// ProTracker's periods for finetune 0, C-1 to B-3. libmikmod maps a note
// back from its period by exact match, so no other value may appear.
constexpr int kPeriods[ModWriter::kNotes] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  // octave 1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  // octave 2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  // octave 3
};

constexpr size_t kTitleBytes = 20;
constexpr size_t kSampleNameBytes = 22;
constexpr size_t kOrderEntries = 128;
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

void fail(const char* what) {
    std::fprintf(stderr, "duobrik-musicgen: %s\n", what);
    std::exit(1);
}

}  // namespace

ModWriter::ModWriter(std::string title) : title_(std::move(title)) {}

int ModWriter::period(int note) {
    if (note < 0 || note >= kNotes) {
        fail("note outside C-1..B-3");
    }
    return kPeriods[note];
}

int ModWriter::addSample(const std::string& name, std::vector<int8_t> data, int volume,
                         size_t loopStart, size_t loopLength) {
    if (samples_.size() >= kMaxSamples) {
        fail("too many samples");
    }
    if (data.size() % 2 != 0) {
        data.push_back(0);  // lengths are counted in words
    }
    if (data.size() > kMaxSampleBytes || loopStart % 2 != 0 || loopLength % 2 != 0 ||
        loopStart + loopLength > data.size()) {
        fail("bad sample layout");
    }
    samples_.push_back({name, std::move(data), volume, loopStart, loopLength});
    return static_cast<int>(samples_.size());
}

int ModWriter::addPattern() {
    patterns_.emplace_back();
    return static_cast<int>(patterns_.size()) - 1;
}

std::vector<uint8_t> ModWriter::bytes() const {
    if (orders_.empty() || orders_.size() > kOrderEntries) {
        fail("bad order count");
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
    putText(out, "M.K.", 4);
    for (const Pattern& p : patterns_) {
        for (const auto& row : p) {
            for (const Cell& c : row) {
                const int per = c.note >= 0 ? period(c.note) : 0;
                out.push_back(static_cast<uint8_t>((c.sample & 0xF0) | (per >> 8)));
                out.push_back(static_cast<uint8_t>(per & 0xFF));
                out.push_back(static_cast<uint8_t>(((c.sample & 0x0F) << 4) | (c.effect & 0x0F)));
                out.push_back(c.param);
            }
        }
    }
    for (const Sample& s : samples_) {
        for (int8_t v : s.data) {
            out.push_back(static_cast<uint8_t>(v));
        }
    }
    return out;
}
