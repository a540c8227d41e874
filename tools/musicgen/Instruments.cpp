#include "tools/musicgen/Instruments.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;
// libmikmod plays module note C-0 at 8363 / 4 samples per second.
constexpr double kRateAtNote0 = 8363.0 / 4.0;
// The rate drums are made at: that of note C-4 (kDrumNote).
constexpr double kDrumRate = kRateAtNote0 * 16.0;
// Peak of the 8-bit data: the whole range, one step short of the rails.
constexpr double kPeak = 126.0;
// Harmonics stay below this at the highest note an instrument plays, so that
// the mixer's sample-and-hold makes only faint images.
constexpr double kTopHarmonicHz = 12000.0;

// A deterministic noise source (32-bit xorshift), so that the data is the
// same on every build.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_;
};

// One-pole filters, for noise.
class LowPass {
public:
    LowPass(double cutoffHz, double rate) : k_(1.0 - std::exp(-2 * kPi * cutoffHz / rate)) {}
    double operator()(double x) { return y_ += (x - y_) * k_; }

private:
    double k_;
    double y_ = 0;
};

class HighPass {
public:
    HighPass(double cutoffHz, double rate) : low_(cutoffHz, rate) {}
    double operator()(double x) { return x - low_(x); }

private:
    LowPass low_;
};

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

// A tonal instrument built from harmonics.
struct Tone {
    const char* name;
    int samplesPerCycle;   // a power of two, 32..256
    double referenceHz;    // the pitch at which the times below hold
    double topHz;          // the highest note the songs give it
    double attackSeconds;  // the evolving start before the loop
    int loopCycles;        // cycles in the seamless loop
    // Amplitude of harmonic h (1..) at time t; held at its value at the
    // loop's start through the loop.
    std::function<double(int h, double t)> spectrum;
    // Overall level at time t, held likewise.
    std::function<double(double t)> level;
    // Two more voices, one cycle faster and one slower per loop, together at
    // this level relative to the first: they beat slowly against it without
    // pulling its pitch either way (0: none).
    double chorus = 0;
    // Noise added during the attack (breath, a pick's scrape), fading out
    // before the loop; its level at time t (nullptr: none).
    std::function<double(double t)> breath = nullptr;
};

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

Instrument tonal(const Tone& tone) {
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
Instrument drum(const char* name, double seconds, const std::function<double(double t)>& voice) {
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

// Six square waves at unrelated frequencies: the metal of a hi-hat.
double metal(double t) {
    constexpr double kHz[] = {296.0, 443.0, 531.0, 619.0, 809.0, 1177.0};
    double x = 0;
    for (double f : kHz) {
        x += std::sin(2 * kPi * f * 3.1 * t) >= 0 ? 1.0 : -1.0;
    }
    return x / 6.0;
}

double smoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

}  // namespace

namespace instruments {

Instrument kick() {
    Noise noise(0x5EEDCAFEu);
    HighPass click(2000.0, kDrumRate);
    return drum("kick", 0.42, [noise, click](double t) mutable {
        // Pitch falls from 155 Hz to 45 Hz; the phase is the integral.
        const double phase = 45 * t + 110 * 0.035 * (1 - std::exp(-t / 0.035));
        const double body = std::sin(2 * kPi * phase) * std::exp(-t / 0.16);
        const double tick = click(noise.next()) * std::exp(-t / 0.003);
        return std::tanh(1.6 * (body + 0.5 * tick));
    });
}

Instrument snare() {
    Noise noise(0x5EED1234u);
    HighPass high(1200.0, kDrumRate);
    LowPass low(7000.0, kDrumRate);
    return drum("snare", 0.26, [noise, high, low](double t) mutable {
        const double body = (std::sin(2 * kPi * 185 * t) + 0.5 * std::sin(2 * kPi * 330 * t)) *
                            std::exp(-t / 0.045);
        const double hiss = low(high(noise.next())) * std::exp(-t / 0.07);
        return 0.6 * body + 1.2 * hiss;
    });
}

Instrument closedHat() {
    Noise noise(0xCAFEF00Du);
    HighPass high(7000.0, kDrumRate);
    return drum("closed hat", 0.09, [noise, high](double t) mutable {
        return high(0.7 * metal(t) + 0.5 * noise.next()) * std::exp(-t / 0.018);
    });
}

Instrument openHat() {
    Noise noise(0xBEEF5EEDu);
    HighPass high(6500.0, kDrumRate);
    return drum("open hat", 0.5, [noise, high](double t) mutable {
        return high(0.7 * metal(t) + 0.5 * noise.next()) * std::exp(-t / 0.14);
    });
}

Instrument shaker() {
    Noise noise(0x51AC3E12u);
    HighPass high(4500.0, kDrumRate);
    LowPass low(11000.0, kDrumRate);
    return drum("shaker", 0.14, [noise, high, low](double t) mutable {
        const double envelope = smoothStep(t / 0.025) * std::exp(-std::max(0.0, t - 0.025) / 0.035);
        return low(high(noise.next())) * envelope;
    });
}

Instrument clap() {
    Noise noise(0xC1A9C1A9u);
    HighPass high(900.0, kDrumRate);
    LowPass low(3200.0, kDrumRate);
    return drum("clap", 0.3, [noise, high, low](double t) mutable {
        // Three hands a few milliseconds apart, then the room.
        double envelope = 0;
        for (double start : {0.0, 0.011, 0.022}) {
            if (t >= start) {
                envelope += std::exp(-(t - start) / 0.004);
            }
        }
        if (t >= 0.022) {
            envelope += 0.5 * std::exp(-(t - 0.022) / 0.07);
        }
        return low(high(noise.next())) * envelope;
    });
}

Instrument tom() {
    Noise noise(0x70A70A70u);
    LowPass low(2500.0, kDrumRate);
    return drum("tom", 0.45, [noise, low](double t) mutable {
        // Sounds C3 at its own rate, starting a fifth higher.
        const double phase = 130.81 * t + 65 * 0.02 * (1 - std::exp(-t / 0.02));
        const double body = std::sin(2 * kPi * phase) * std::exp(-t / 0.2);
        return std::tanh(1.3 * body) + 0.3 * low(noise.next()) * std::exp(-t / 0.01);
    });
}

Instrument bass() {
    return tonal({
        .name = "bass",
        .samplesPerCycle = 256,
        .referenceHz = 82.4,  // E2
        .topHz = 220.0,
        .attackSeconds = 0.15,
        .loopCycles = 1,
        // A bright pluck settling into a warm tone.
        .spectrum =
            [](int h, double t) {
                const double warm = h == 1 ? 1.0 : (h == 2 ? 0.55 : 0.6 / std::pow(h, 1.6));
                return warm * (0.55 + 0.45 * std::exp(-t * h / 0.12)) * (h == 1 ? 2.0 : 1.0);
            },
        .level = [](double t) { return 0.8 + 0.12 * std::exp(-t / 0.05); },
    });
}

Instrument acidBass() {
    return tonal({
        .name = "acid bass",
        .samplesPerCycle = 256,
        .referenceHz = 82.4,
        .topHz = 250.0,
        .attackSeconds = 0.22,
        .loopCycles = 1,
        // A saw through a two-pole low-pass (Q 4) whose cutoff falls from
        // 14 to 2.5 times the note.
        .spectrum =
            [](int h, double t) {
                const double cutoff = 2.5 + 11.5 * std::exp(-t / 0.06);
                const double x = h / cutoff;
                const double q = 4.0;
                return (1.0 / h) / std::sqrt((1 - x * x) * (1 - x * x) + (x / q) * (x / q));
            },
        .level = [](double t) { return 0.8 + 0.2 * std::exp(-t / 0.08); },
    });
}

Instrument glassPad() {
    return tonal({
        .name = "glass pad",
        .samplesPerCycle = 128,
        .referenceHz = 261.6,  // C4
        .topHz = 700.0,
        .attackSeconds = 0.3,
        .loopCycles = 64,
        .spectrum =
            [](int h, double) {
                constexpr double kAmp[] = {0, 1.0, 0.45, 0.3, 0.18, 0.14, 0.08, 0.07, 0.04};
                return h < 9 ? kAmp[h] : 0.3 / (h * h);
            },
        .level = [](double t) { return smoothStep(t / 0.3); },
        .chorus = 0.4,
    });
}

Instrument stringPad() {
    return tonal({
        .name = "string pad",
        .samplesPerCycle = 128,
        .referenceHz = 261.6,
        .topHz = 700.0,
        .attackSeconds = 0.25,
        .loopCycles = 48,
        .spectrum = [](int h, double) { return (1.0 / h) / (1.0 + std::pow(h / 7.0, 2.0)); },
        .level = [](double t) { return smoothStep(t / 0.25); },
        .chorus = 0.45,
    });
}

Instrument celesta() {
    return tonal({
        .name = "celesta",
        .samplesPerCycle = 32,
        .referenceHz = 880.0,  // A5
        .topHz = 1400.0,
        .attackSeconds = 0.45,
        .loopCycles = 1,
        .spectrum =
            [](int h, double t) {
                switch (h) {
                    case 1:
                        return 1.0;
                    case 2:
                        return 0.2 * std::exp(-t / 0.3);
                    case 3:
                        return 0.25 * std::exp(-t / 0.12);
                    case 4:
                        return 0.45 * std::exp(-t / 0.05);
                    case 6:
                        return 0.2 * std::exp(-t / 0.03);
                    default:
                        return 0.0;
                }
            },
        .level = [](double t) { return 0.6 + 0.4 * std::exp(-t / 0.2); },
    });
}

Instrument flute() {
    return tonal({
        .name = "flute",
        .samplesPerCycle = 32,
        .referenceHz = 587.3,  // D5
        .topHz = 1200.0,
        .attackSeconds = 0.12,
        .loopCycles = 1,
        .spectrum =
            [](int h, double t) {
                constexpr double kAmp[] = {0, 1.0, 0.32, 0.12, 0.05, 0.03, 0.015};
                // The upper harmonics come in a little after the breath.
                const double bloom = h == 1 ? 1.0 : smoothStep(t / 0.06);
                return h < 7 ? kAmp[h] * bloom : 0.0;
            },
        .level = [](double t) { return smoothStep(t / 0.04) * (1.0 + 0.1 * std::exp(-t / 0.05)); },
        .breath = [](double t) { return 0.35 * smoothStep(t / 0.01) * std::exp(-t / 0.025); },
    });
}

Instrument electricPiano() {
    return tonal({
        .name = "electric piano",
        .samplesPerCycle = 64,
        .referenceHz = 261.6,
        .topHz = 700.0,
        .attackSeconds = 0.5,
        .loopCycles = 128,
        // Carrier and modulator at the same pitch: harmonic k carries
        // J(k-1) - (-1)^k J(k+1) of the modulation index, which falls from
        // 2.5 to 0.5 after the strike; a bright "tine" at harmonic 7 rings
        // only briefly.
        .spectrum =
            [](int h, double t) {
                const double index = 0.5 + 2.0 * std::exp(-t / 0.12);
                const double sign = h % 2 == 0 ? 1.0 : -1.0;
                double a = std::cyl_bessel_j(h - 1, index) - sign * std::cyl_bessel_j(h + 1, index);
                if (h == 7) {
                    a += 0.25 * std::exp(-t / 0.02);
                }
                return a;
            },
        .level = [](double t) { return 0.6 + 0.4 * std::exp(-t / 0.2); },
        .chorus = 0.2,
    });
}

Instrument pulseLead() {
    return tonal({
        .name = "pulse lead",
        .samplesPerCycle = 32,
        .referenceHz = 784.0,  // G5
        .topHz = 1400.0,
        .attackSeconds = 0.2,
        .loopCycles = 128,
        // A pulse whose duty widens from 15% to 30%; Lanczos factors keep
        // the band-limited edges from ringing.
        .spectrum =
            [](int h, double t) {
                const double duty = 0.3 - 0.15 * std::exp(-t / 0.06);
                const double sigma = h == 1 ? 1.0 : std::sin(kPi * h / 9.0) / (kPi * h / 9.0);
                return std::fabs(std::sin(kPi * h * duty)) / h * std::max(0.0, sigma);
            },
        .level = [](double t) { return 0.85 + 0.15 * std::exp(-t / 0.05); },
        .chorus = 0.45,
    });
}

Instrument pluck() {
    return tonal({
        .name = "pluck",
        .samplesPerCycle = 64,
        .referenceHz = 523.3,  // C5
        .topHz = 1100.0,
        .attackSeconds = 0.3,
        .loopCycles = 1,
        .spectrum =
            [](int h, double t) {
                return std::pow(h, -0.8) * std::exp(-t * (1.5 + 1.2 * std::pow(h, 1.5)));
            },
        .level = [](double) { return 1.0; },
    });
}

Instrument sawLead() {
    return tonal({
        .name = "saw lead",
        .samplesPerCycle = 32,
        .referenceHz = 659.3,  // E5
        .topHz = 1400.0,
        .attackSeconds = 0.1,
        .loopCycles = 96,
        // The filter opens to 8 times the note at the attack, then settles at 5.
        .spectrum =
            [](int h, double t) {
                const double cutoff = 5.0 + 3.0 * std::exp(-t / 0.04) * smoothStep(t / 0.01);
                return (1.0 / h) / (1.0 + std::pow(h / cutoff, 4.0));
            },
        .level = [](double t) { return 0.9 + 0.1 * std::exp(-t / 0.04); },
        .chorus = 0.6,
    });
}

}  // namespace instruments
