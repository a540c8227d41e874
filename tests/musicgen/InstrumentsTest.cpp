// The synthesised instruments as they go into the modules, and the sound
// effects: levels that use the range without clamping, no DC, seamless loops,
// and effects that rise with the rows cleared.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tools/musicgen/ModuleLayout.h"
#include "tools/musicgen/Songs.h"
#include "tools/musicgen/SoundEffects.h"

namespace {

// Every sample of both modules, with the module it came from.
struct Sampled {
    const char* module;
    ModWriter::Sample sample;
};

std::vector<Sampled> allSamples() {
    std::vector<Sampled> out;
    for (const auto& [module, song] :
         {std::pair{"devils.mod", songs::title()}, {"three.mod", songs::play()}}) {
        const ModWriter mod = ModuleLayout::write(song);
        for (const ModWriter::Sample& s : mod.samples()) {
            out.push_back({module, s});
        }
    }
    return out;
}

const std::vector<Sampled>& samples() {
    static const std::vector<Sampled> kSamples = allSamples();
    return kSamples;
}

int peakOf(const std::vector<int8_t>& data, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < to; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(data[i])));
    }
    return peak;
}

TEST(Instruments, PeakNearFullScaleWithoutClamping) {
    for (const auto& [module, s] : samples()) {
        const int peak = peakOf(s.data, 0, s.data.size());
        EXPECT_GE(peak, 110) << module << " " << s.name << " wastes its range";
        EXPECT_LE(peak, 126) << module << " " << s.name << " reaches the rail";
        // A clamped wave sits at its extreme for long stretches; a wave
        // touches its peak only now and then.
        const auto atPeak = std::count_if(s.data.begin(), s.data.end(),
                                          [&](int8_t v) { return std::abs(v) >= peak - 1; });
        EXPECT_LT(atPeak, static_cast<long>(s.data.size() / 50))
            << module << " " << s.name << ": " << atPeak << " of " << s.data.size()
            << " samples at the peak";
    }
}

TEST(Instruments, NoDcOffset) {
    for (const auto& [module, s] : samples()) {
        // Over the loop for tonal instruments (what is held), else the whole.
        const size_t from = s.loopLength > 0 ? s.loopStart : 0;
        const size_t to = s.loopLength > 0 ? s.loopStart + s.loopLength : s.data.size();
        double sum = 0;
        for (size_t i = from; i < to; ++i) {
            sum += s.data[i];
        }
        const double mean = sum / static_cast<double>(to - from);
        EXPECT_LE(std::fabs(mean), 0.01 * peakOf(s.data, from, to))
            << module << " " << s.name << ": mean " << mean;
    }
}

TEST(Instruments, LoopsJoinWithoutAJump) {
    for (const auto& [module, s] : samples()) {
        if (s.loopLength == 0) {
            continue;
        }
        const size_t end = s.loopStart + s.loopLength;
        int largestStep = 0;
        for (size_t i = s.loopStart + 1; i < end; ++i) {
            largestStep = std::max(largestStep, std::abs(s.data[i] - s.data[i - 1]));
        }
        const int seam = std::abs(s.data[s.loopStart] - s.data[end - 1]);
        EXPECT_LE(seam, largestStep) << module << " " << s.name << ": the loop's seam jumps by "
                                     << seam << ", steps inside it by up to " << largestStep;
    }
}

TEST(Instruments, StartAtZero) {
    for (const auto& [module, s] : samples()) {
        EXPECT_LE(std::abs(s.data.front()), 1) << module << " " << s.name << " clicks as it starts";
    }
}

TEST(SoundEffects, StartAndEndAtZeroAndStayUnclipped) {
    std::vector<std::vector<int16_t>> all = {effects::rotate(), effects::touchDown()};
    for (int rows = 1; rows <= 4; ++rows) {
        all.push_back(effects::rowsCleared(rows));
    }
    for (size_t i = 0; i < all.size(); ++i) {
        const std::vector<int16_t>& e = all[i];
        ASSERT_FALSE(e.empty()) << "effect " << i;
        EXPECT_LE(std::abs(e.front()), 16) << "effect " << i << " clicks as it starts";
        EXPECT_LE(std::abs(e.back()), 16) << "effect " << i << " clicks as it stops";
        const int peak = std::abs(*std::max_element(
            e.begin(), e.end(), [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); }));
        EXPECT_LT(peak, 32767) << "effect " << i << " reaches full scale";
    }
}

TEST(SoundEffects, RowClearsRiseByADecibelAStep) {
    double previous = effects::loudestDb(effects::rowsCleared(1));
    for (int rows = 2; rows <= 4; ++rows) {
        const double level = effects::loudestDb(effects::rowsCleared(rows));
        EXPECT_GE(level - previous, 1.0)
            << rows << " rows: " << level << " dBFS after " << previous;
        previous = level;
    }
}

TEST(SoundEffects, OutOfRangeRowCountsGiveTheNearestEffect) {
    EXPECT_EQ(effects::rowsCleared(0), effects::rowsCleared(1));
    EXPECT_EQ(effects::rowsCleared(9), effects::rowsCleared(4));
}

}  // namespace
