#include "tools/musicgen/Instruments.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Amiga clock / 2: a sample played at period p runs at kPaulaRate / p per second.
constexpr double kPaulaRate = 3546895.0;
// Periods of the notes the drums are played at.
constexpr double kPeriodC2 = 428.0;
constexpr double kPeriodC3 = 214.0;
constexpr double kPeriodB3 = 113.0;
// Peak of the 8-bit data; a little headroom below 127 for the mixer's
// interpolation overshoot.
constexpr double kPeak = 112.0;

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

int8_t toByte(double v) {
    return static_cast<int8_t>(std::lround(std::clamp(v, -1.0, 1.0) * kPeak));
}

// One wave cycle of `length` bytes from `shape` (phase 0..1 to -1..1),
// smoothed by a circular one-pole low-pass so that the loop has no seam.
std::vector<double> cycle(int length, const std::function<double(double)>& shape,
                          double smoothing) {
    std::vector<double> c(length);
    for (int i = 0; i < length; ++i) {
        c[i] = shape(static_cast<double>(i) / length);
    }
    double state = c[length - 1];
    for (int pass = 0; pass < 3; ++pass) {  // settle the filter around the circle
        for (int i = 0; i < length; ++i) {
            state += (c[i] - state) * smoothing;
            if (pass == 2) {
                c[i] = state;
            }
        }
    }
    const double peak = std::max(
        1e-9, *std::max_element(c.begin(), c.end(),
                                [](double a, double b) { return std::fabs(a) < std::fabs(b); }));
    for (double& v : c) {
        v /= std::fabs(peak);
    }
    return c;
}

// A tonal instrument: attack over `attack` cycles, decay towards `sustain`
// over `decay` cycles, then `loop` cycles held at the sustain level.
Instrument tonal(const std::vector<double>& wave, int attack, int decay, double sustain, int loop) {
    const size_t length = wave.size();
    const int cycles = attack + decay + loop;
    Instrument in;
    in.data.reserve(length * cycles);
    for (int n = 0; n < cycles; ++n) {
        for (size_t i = 0; i < length; ++i) {
            const double t = n + static_cast<double>(i) / length;  // in cycles
            double env;
            if (t < attack) {
                env = t / attack;
            } else if (t < attack + decay) {
                const double d = (t - attack) / decay;
                env = sustain + (1.0 - sustain) * std::pow(1.0 - d, 2.0);
            } else {
                env = sustain;
            }
            in.data.push_back(toByte(wave[i] * env));
        }
    }
    in.loopStart = length * (attack + decay);
    in.loopLength = length * loop;
    return in;
}

// A one-shot drum of `seconds` at `rate` samples per second; `voice` gives
// the value at time t. A short fade at each end keeps both ends at zero.
Instrument drum(double rate, double seconds, const std::function<double(double)>& voice) {
    const size_t count = static_cast<size_t>(rate * seconds) & ~size_t{1};
    const double fade = 0.002 * rate;  // 2 ms
    Instrument in;
    for (size_t i = 0; i < count; ++i) {
        const double t = i / rate;
        double v = voice(t);
        v *= std::min(1.0, i / fade) * std::min(1.0, (count - 1 - i) / fade);
        in.data.push_back(toByte(v));
    }
    return in;
}

}  // namespace

namespace instruments {

Instrument lead() {
    auto wave = cycle(
        32, [](double p) { return p < 0.25 ? 1.0 : -0.6; }, 0.55);
    return tonal(wave, 2, 90, 0.6, 8);
}

Instrument chord() {
    auto wave = cycle(
        32, [](double p) { return p < 0.5 ? 1.0 : -1.0; }, 0.35);
    return tonal(wave, 1, 140, 0.3, 8);
}

Instrument bass() {
    auto wave = cycle(
        64,
        [](double p) {
            const double tri = p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
            const double saw = 1 - 2 * p;
            return 0.75 * tri + 0.25 * saw;
        },
        0.6);
    return tonal(wave, 1, 50, 0.65, 4);
}

Instrument kick() {
    return drum(kPaulaRate / kPeriodC2, 0.32, [](double t) {
        // Pitch falls from about 160 Hz to 50 Hz; the phase is the integral.
        const double phase = 2 * kPi * (50 * t + 110 * 0.03 * (1 - std::exp(-t / 0.03)));
        return std::sin(phase) * std::exp(-t / 0.11);
    });
}

Instrument snare() {
    Noise noise(0x5EED1234u);
    double low = 0;
    return drum(kPaulaRate / kPeriodC3, 0.2, [noise, low](double t) mutable {
        low += (noise.next() - low) * 0.6;  // take the hiss off the top
        const double body = std::sin(2 * kPi * 185 * t) * std::exp(-t / 0.035);
        return 0.75 * low * std::exp(-t / 0.055) + 0.5 * body;
    });
}

Instrument closedHat() {
    Noise noise(0xCAFEF00Du);
    double previous = 0;
    return drum(kPaulaRate / kPeriodB3, 0.06, [noise, previous](double t) mutable {
        const double n = noise.next();
        const double high = n - previous;  // first difference: a simple high-pass
        previous = n;
        return 0.6 * high * std::exp(-t / 0.014);
    });
}

Instrument openHat() {
    Noise noise(0xBEEF5EEDu);
    double previous = 0;
    return drum(kPaulaRate / kPeriodB3, 0.3, [noise, previous](double t) mutable {
        const double n = noise.next();
        const double high = n - previous;
        previous = n;
        return 0.5 * high * std::exp(-t / 0.07);
    });
}

}  // namespace instruments
