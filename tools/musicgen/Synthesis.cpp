#include "tools/musicgen/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Noise = Synthesis::Noise;
using LowPass = Synthesis::LowPass;
using HighPass = Synthesis::HighPass;
constexpr double kPi = Synthesis::kPi;
// Peak of the 8-bit data: the whole range, one step short of the rails.
constexpr double kPeak = 126.0;
// Harmonics stay below this at the highest note an instrument plays. The
// images the mixer's sample-and-hold makes of a looped cycle are harmonics
// of it; only those past the output's 22 kHz fold back out of tune, and
// they come from the top harmonics, weakened by the hold's own roll-off.
constexpr double kTopHarmonicHz = 14000.0;

// Scales to the 8-bit range on the largest magnitude, so that neither a
// positive nor a negative extreme is clamped.
std::vector<int8_t> toBytes(const std::vector<double>& v) {
    double peak = 0;
    for (double x : v) {
        peak = std::max(peak, std::fabs(x));
    }
    std::vector<int8_t> out;
    out.reserve(v.size());
    for (double x : v) {
        out.push_back(static_cast<int8_t>(std::lround(peak > 0 ? x / peak * kPeak : 0.0)));
    }
    return out;
}

int midiAtNote0(int samplesPerCycle) {
    // C-0 plays a cycle of 32 samples at 65.3 Hz, MIDI 36 (C2) less 1.8 cents.
    return 36 - 12 * static_cast<int>(std::lround(std::log2(samplesPerCycle / 32.0)));
}

// The sample of `tone` with its harmonics started at `phaseOf`.
std::vector<double> synthesise(const Tone& tone, int harmonics, int attackCycles,
                               const std::vector<double>& phaseOf) {
    const int n = tone.samplesPerCycle;
    const int cycles = attackCycles + tone.loopCycles;
    const double loopTime = attackCycles / tone.referenceHz;
    const double spread = tone.loopCycles > 0 ? 1.0 / tone.loopCycles : 0.0;
    Noise noise(0x9E3779B9u ^ static_cast<uint32_t>(n * 131 + attackCycles));
    LowPass soften(4000.0, tone.referenceHz * n);
    // A 4 ms fade-in, since the spread phases do not start at zero.
    const double fadeIn = 0.004 * tone.referenceHz * n;
    std::vector<double> v(static_cast<size_t>(cycles) * n);
    std::vector<double> amp(harmonics + 1);
    for (size_t i = 0; i < v.size(); ++i) {
        const double phase = static_cast<double>(i) / n;  // in cycles of the main voice
        const double t = std::min(phase / tone.referenceHz, loopTime);
        // The spectrum changes slowly: once per cycle is enough.
        if (i % n == 0) {
            for (int h = 1; h <= harmonics; ++h) {
                amp[h] = tone.spectrum(h, t);
            }
        }
        double x = 0;
        for (int h = 1; h <= harmonics; ++h) {
            // The beating voices get wave shapes of their own (other phase
            // spreads), so that the three never line up into one peak.
            const double p = phaseOf[h];
            const double up = p + 0.5 * kPi * h * h;
            const double down = p - 0.5 * kPi * h * h + 0.5 * kPi * h;
            x += amp[h] * (std::sin(2 * kPi * h * phase + p) +
                           0.5 * tone.chorus *
                               (std::sin(2 * kPi * h * phase * (1 + spread) + up) +
                                std::sin(2 * kPi * h * phase * (1 - spread) + down)));
        }
        x *= tone.level(t) * std::min(1.0, static_cast<double>(i) / fadeIn);
        if (tone.breath && phase / tone.referenceHz < loopTime) {
            x += tone.breath(phase / tone.referenceHz) * soften(noise.next());
        }
        v[i] = x;
    }
    return v;
}

}  // namespace

Synthesis::LowPass::LowPass(double cutoffHz, double rate)
    : k_(1.0 - std::exp(-2 * kPi * cutoffHz / rate)) {}

Instrument Synthesis::tonal(const Tone& tone) {
    const int n = tone.samplesPerCycle;
    const int attackCycles =
        std::max(1, static_cast<int>(std::lround(tone.attackSeconds * tone.referenceHz)));
    const int harmonics = std::min(n / 2 - 1, static_cast<int>(kTopHarmonicHz / tone.topHz));
    // Harmonics in sine phase pile up into one sharp spike per cycle, and a
    // wave whose peaks lean to one side wastes half the range. Spreading the
    // phases (Schroeder's choice, turned further by amounts drawn from the
    // instrument's name) gives the same sound; of a few such choices the one
    // with the lowest peak against its level, evenly on both sides, is kept.
    // Different instruments then also differ in shape, so that notes struck
    // together in octaves do not line up into one peak in the mix.
    uint32_t hash = 2166136261u;
    for (const char* c = tone.name; *c != 0; ++c) {
        hash = (hash ^ static_cast<uint8_t>(*c)) * 16777619u;
    }
    constexpr int kChoices = 8;
    std::vector<double> best;
    double bestScore = 0;
    for (int choice = 0; choice < kChoices; ++choice) {
        Noise turn((hash + 0x9E3779B9u * static_cast<uint32_t>(choice)) | 1u);
        std::vector<double> phaseOf(harmonics + 1);
        for (int h = 1; h <= harmonics; ++h) {
            phaseOf[h] = kPi * h * (h - 1) / harmonics + kPi * turn.next();
        }
        std::vector<double> v = synthesise(tone, harmonics, attackCycles, phaseOf);
        double high = 0, low = 0, power = 0;
        for (double x : v) {
            high = std::max(high, x);
            low = std::min(low, x);
            power += x * x;
        }
        const double rms = std::sqrt(power / static_cast<double>(v.size()));
        const double score =
            std::max(high, -low) / rms * (1.0 + std::fabs(high + low) / (high - low));
        if (best.empty() || score < bestScore) {
            best = std::move(v);
            bestScore = score;
        }
    }
    Instrument in;
    in.name = tone.name;
    in.data = toBytes(best);
    in.loopStart = static_cast<size_t>(attackCycles) * n;
    in.loopLength = static_cast<size_t>(tone.loopCycles) * n;
    in.midiAtNote0 = midiAtNote0(n);
    return in;
}

// A one-shot drum of `seconds`; `voice` gives the value at time t. The DC is
// taken out and short fades keep both ends at zero.
Instrument Synthesis::drum(const char* name, double seconds,
                           const std::function<double(double t)>& voice) {
    const size_t count = static_cast<size_t>(kDrumRate * seconds) & ~size_t{1};
    const double fadeIn = 0.0005 * kDrumRate;
    const double fadeOut = 0.01 * kDrumRate;
    HighPass dcBlock(20.0, kDrumRate);
    std::vector<double> v(count);
    for (size_t i = 0; i < count; ++i) {
        const double x = dcBlock(voice(i / kDrumRate));
        const double edge = std::min(1.0, i / fadeIn) * std::min(1.0, (count - 1 - i) / fadeOut);
        v[i] = x * edge;
    }
    // What the high-pass leaves of a slow offset, to well under 1% of the peak.
    double mean = 0;
    for (double x : v) {
        mean += x;
    }
    mean /= static_cast<double>(count);
    for (size_t i = 0; i < count; ++i) {
        const double edge = std::min(1.0, i / fadeIn) * std::min(1.0, (count - 1 - i) / fadeOut);
        v[i] -= mean * edge;
    }
    Instrument in;
    in.name = name;
    in.data = toBytes(v);
    in.midiAtNote0 = instruments::kDrumMidi - instruments::kDrumNote;
    return in;
}

double Synthesis::smoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}
