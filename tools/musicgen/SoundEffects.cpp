#include "tools/musicgen/SoundEffects.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace effects {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Rounding off starts gently here (-2 dBFS) and never reaches full scale; a
// soft bend makes few and low overtones where a hard one would fizz.
constexpr double kKnee = 0.8;
constexpr double kCeiling = 0.999;
// Fades at the ends, so that no effect clicks when it starts or stops.
constexpr double kFadeIn = 0.001;
constexpr double kFadeOut = 0.008;
constexpr double kWindow = 0.05;  // seconds: the "loudest 50 ms"
// The touch-down's thump against its knock.
constexpr double kThud = 0.45;

using Buffer = std::vector<double>;

// Note frequencies (equal temperament, A4 = 440 Hz), only of notes that
// every tune's key holds.
constexpr double kG3 = 196.00, kG4 = 392.00, kB4 = 493.88, kD5 = 587.33, kG5 = 783.99, kB5 = 987.77,
                 kD6 = 1174.66, kE6 = 1318.51, kG6 = 1567.98, kB6 = 1975.53;

Buffer silence(double seconds) {
    return Buffer(static_cast<size_t>(seconds * kRate), 0.0);
}

double at(size_t i) {
    return static_cast<double>(i) / kRate;
}

class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_;
};

// A struck note: a sine with a few whole harmonics, which keeps its pitch in
// the key, a quick attack and an exponential ring of `ring` seconds.
void chime(Buffer& b, double start, double freq, double ring, double gain) {
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < b.size(); ++i) {
        const double t = at(i - first);
        const double attack = std::min(1.0, t / 0.004);
        const double v = std::sin(2 * kPi * freq * t) +
                         0.3 * std::sin(2 * kPi * 2 * freq * t) * std::exp(-t / (ring * 0.4)) +
                         0.12 * std::sin(2 * kPi * 3 * freq * t) * std::exp(-t / (ring * 0.2));
        b[i] += gain * attack * std::exp(-t / ring) * v;
    }
}

// One to three rows: chimes up the G major chord, each richer and longer
// than the last. The first notes come as a touch-down's knock fades, and
// each effect's loudest note at a time of its own (150, 230, 330 ms; the
// fanfare's chord at 490 ms), so that effects that meet, as a touch-down
// and a clear do, do not pile their peaks on one another.
struct Chime {
    double at;  // seconds
    double hz;
    double ring;  // seconds
    double gain;
};
struct RowChimes {
    double seconds;
    Chime chimes[6];
};
constexpr RowChimes kRowChimes[3] = {
    // A fifth: G5 lightly, then D6 rings out.
    {0.5, {{0.05, kG5, 0.07, 0.22}, {0.15, kD6, 0.08, 1.0}}},
    // Up the chord to a G6 that rings out.
    {0.7,
     {{0.05, kG5, 0.06, 0.18},
      {0.13, kB5, 0.06, 0.3},
      {0.23, kG6, 0.085, 1.0},
      {0.23, kD6, 0.085, 0.3}}},
    // Further up, to a B6 over the chord.
    {0.95,
     {{0.05, kG5, 0.05, 0.15},
      {0.13, kB5, 0.05, 0.22},
      {0.21, kD6, 0.05, 0.3},
      {0.33, kB6, 0.11, 1.0},
      {0.33, kG6, 0.11, 0.45},
      {0.33, kD6, 0.11, 0.35}}},
};

// The brass envelope: an attack that opens over 20 ms, held for `length`
// and released over 80 ms. `voice(n, t, attack)` gives the wave at sample n
// of the note (t seconds in), which may brighten as the attack opens.
template <class Voice>
void brassEnvelope(Buffer& b, double start, double length, double gain, Voice voice) {
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < b.size(); ++i) {
        const double t = at(i - first);
        const double attack = std::min(1.0, t / 0.02);
        const double release = t < length ? 1.0 : std::exp(-(t - length) / 0.08);
        if (release < 1e-4) {
            break;
        }
        b[i] += gain * attack * release * voice(i - first, t, attack);
    }
}

// A brass note: harmonics falling off like a soft saw, under the brass
// envelope.
void brass(Buffer& b, double start, double length, double freq, double gain) {
    brassEnvelope(b, start, length, gain, [freq](size_t, double t, double attack) {
        double v = 0;
        for (int h = 1; h <= 7; ++h) {
            v += std::sin(2 * kPi * h * freq * t) / (h * (1.0 + 0.3 * h * (1.0 - attack)));
        }
        return v;
    });
}

// One period of `period` samples holding harmonics 1..kBand with amplitudes
// `a` and phases `p` (index 0 unused).
constexpr int kBand = 32;  // harmonics of the root kept: up to 6.3 kHz on G3
using Harmonics = std::vector<double>;

Buffer periodWave(const Harmonics& a, const Harmonics& p, int period) {
    Buffer wave(period);
    for (int k = 0; k < period; ++k) {
        for (int m = 1; m <= kBand; ++m) {
            wave[k] += a[m] * std::sin(2 * kPi * m * k / period + p[m]);
        }
    }
    return wave;
}

double crestOf(const Buffer& wave) {
    double peak = 0, power = 0;
    for (double v : wave) {
        peak = std::max(peak, std::fabs(v));
        power += v * v;
    }
    return peak / std::sqrt(power / static_cast<double>(wave.size()));
}

// Of a few spread choices of phases for the amplitudes `a`, the period with
// the lowest peak against its level.
Buffer lowestCrest(const Harmonics& a, int period) {
    Buffer best;
    double bestCrest = 1e9;
    for (uint32_t choice = 1; choice <= 32; ++choice) {
        Noise turn(choice * 2654435761u);
        Harmonics p(kBand + 1);
        for (int m = 1; m <= kBand; ++m) {
            p[m] = kPi * m * m / kBand + kPi * turn.next();
        }
        Buffer w = periodWave(a, p, period);
        if (crestOf(w) < bestCrest) {
            bestCrest = crestOf(w);
            best = w;
        }
    }
    return best;
}

// Clips the period's peaks at `clip` of the largest and drops the
// harmonics above kBand again: a discrete Fourier transform of the one
// period, and the sum again.
Buffer clipBandLimited(const Buffer& wave, double clip) {
    const int period = static_cast<int>(wave.size());
    double peak = 0;
    for (double v : wave) {
        peak = std::max(peak, std::fabs(v));
    }
    Buffer clipped = wave;
    for (double& v : clipped) {
        v = std::clamp(v, -clip * peak, clip * peak);
    }
    Harmonics a(kBand + 1), p(kBand + 1);
    for (int m = 1; m <= kBand; ++m) {
        double re = 0, im = 0;
        for (int k = 0; k < period; ++k) {
            re += clipped[k] * std::sin(2 * kPi * m * k / period);
            im += clipped[k] * std::cos(2 * kPi * m * k / period);
        }
        a[m] = 2 * std::hypot(re, im) / period;
        p[m] = std::atan2(im, re);
    }
    return periodWave(a, p, period);
}

// A brass chord whose notes are all harmonics of `root` (`notes` holds
// their multiples), so that it is one periodic wave, a whole number of
// samples long. Its harmonics take the phases that give the lowest peak;
// then its peaks are clipped and the harmonics above kBand dropped again, a
// few times over, which leaves a wave with little more peak than level and
// nothing high: loud without the fizz a limiter would add. Attack, hold and
// release as brass().
void brassChord(Buffer& b, double start, double length, double root, const std::vector<int>& notes,
                double gain) {
    constexpr int kHarmonics = 5;  // of each note
    constexpr double kClip = 0.6;  // of the peak
    const int period = static_cast<int>(std::lround(kRate / root));
    Harmonics amp(kBand + 1, 0.0);
    for (int n : notes) {
        for (int h = 1; h <= kHarmonics && n * h <= kBand; ++h) {
            amp[n * h] += 1.0 / h;
        }
    }
    Buffer wave = lowestCrest(amp, period);
    for (int pass = 0; pass < 4; ++pass) {
        wave = clipBandLimited(wave, kClip);
    }
    brassEnvelope(b, start, length, gain, [&wave, period](size_t n, double, double) {
        return wave[n % static_cast<size_t>(period)];
    });
}

double loudest(const Buffer& b) {
    const size_t n = static_cast<size_t>(kWindow * kRate);
    double sum = 0, best = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        sum += b[i] * b[i];
        if (i >= n) {
            sum -= b[i - n] * b[i - n];
        }
        best = std::max(best, sum);
    }
    return std::sqrt(best / static_cast<double>(n));
}

// Fades the ends, sets the loudest 50 ms to `targetDb` and rounds off what
// rises above the knee; the rounding lowers the loudest window a little, so
// the level is found again until it holds.
std::vector<int16_t> finish(Buffer b, double targetDb) {
    const size_t fadeIn = static_cast<size_t>(kFadeIn * kRate);
    const size_t fadeOut = static_cast<size_t>(kFadeOut * kRate);
    for (size_t i = 0; i < b.size(); ++i) {
        double g = 1.0;
        if (i < fadeIn) {
            g = static_cast<double>(i) / fadeIn;
        }
        const size_t left = b.size() - 1 - i;
        if (left < fadeOut) {
            g *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(left) / fadeOut);
        }
        b[i] *= g;
    }
    const double target = std::pow(10.0, targetDb / 20.0);
    auto shaped = [](double x) {
        const double a = std::fabs(x);
        if (a <= kKnee) {
            return x;
        }
        const double room = kCeiling - kKnee;
        return std::copysign(kKnee + room * std::tanh((a - kKnee) / room), x);
    };
    double gain = target / std::max(1e-12, loudest(b));
    Buffer out(b.size());
    for (int pass = 0; pass < 16; ++pass) {
        for (size_t i = 0; i < b.size(); ++i) {
            out[i] = shaped(b[i] * gain);
        }
        gain *= target / std::max(1e-12, loudest(out));
    }
    std::vector<int16_t> pcm;
    pcm.reserve(out.size());
    for (double v : out) {
        pcm.push_back(static_cast<int16_t>(std::lround(v * 32767.0)));
    }
    return pcm;
}

}  // namespace

std::vector<int16_t> rotate() {
    // A wooden tick on E6 with its twelfth, a breath of noise at the strike.
    // It is over by 40 ms, before a touch-down's knock, so that the two meet
    // without piling up.
    Buffer b = silence(0.07);
    Noise noise(0x1234567u);
    double low = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = at(i);
        const double envelope =
            std::min(1.0, t / 0.002) * (t < 0.014 ? 1.0 : std::exp(-(t - 0.014) / 0.009));
        low += (noise.next() - low) * 0.15;
        b[i] = envelope * (std::sin(2 * kPi * kE6 * t) + 0.25 * std::sin(2 * kPi * 3 * kE6 * t)) +
               0.7 * low * std::exp(-t / 0.004);
    }
    return finish(b, kRotateDb);
}

std::vector<int16_t> touchDown() {
    // The knock: three wooden resonances (G4, D5, B5) and a burst of noise
    // between 200 Hz and 2 kHz, where a laptop's or a phone's speaker still
    // plays. It starts as a rotation's tick dies away. The thump, falling
    // from 130 to 65 Hz, swells in behind it and carries the weight on
    // speakers that reach that low.
    constexpr double kKnockAt = 0.022;
    Buffer b = silence(0.17);
    Noise noise(0x89ABCDEu);
    double low = 0, lower = 0, high = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = at(i);
        const double n = noise.next();
        low += (n - low) * 0.2;  // two poles at about 1.6 kHz
        lower += (low - lower) * 0.2;
        high += (lower - high) * 0.03;  // what the knock leaves out, below 200 Hz
        const double k = t - kKnockAt;
        double knock = 0;
        if (k >= 0) {
            const double attack = std::min(1.0, k / 0.001);
            knock = attack * (1.6 * (lower - high) * std::exp(-k / 0.008) +
                              std::sin(2 * kPi * kG4 * k) * std::exp(-k / 0.03) +
                              0.8 * std::sin(2 * kPi * kD5 * k) * std::exp(-k / 0.022) +
                              0.45 * std::sin(2 * kPi * kB5 * k) * std::exp(-k / 0.014));
        }
        const double d = t - 0.045;
        double thud = 0;
        if (d >= 0) {
            const double phase = 65 * d + 65 * 0.03 * (1 - std::exp(-d / 0.03));
            const double swell = 0.5 - 0.5 * std::cos(kPi * std::min(1.0, d / 0.025));
            thud = std::sin(2 * kPi * phase) * swell * std::exp(-std::max(0.0, d - 0.025) / 0.04);
        }
        b[i] = knock + kThud * thud;
    }
    return finish(b, kTouchDownDb);
}

std::vector<int16_t> rowsCleared(int rows) {
    rows = std::clamp(rows, 1, 4);
    const double level = kRowsDb[rows - 1];
    if (rows < 4) {
        const RowChimes& r = kRowChimes[rows - 1];
        Buffer b = silence(r.seconds);
        for (const Chime& c : r.chimes) {
            if (c.gain > 0) {
                chime(b, c.at, c.hz, c.ring, c.gain);
            }
        }
        return finish(b, level);
    }
    // A fanfare: three brass pickups up the G major chord, then G, D and G
    // above (harmonics 2, 3, 4 and 6 of G3) held as one brass chord, with
    // bells on top as it fades.
    Buffer b = silence(1.46);
    brass(b, 0.03, 0.08, kG4, 0.07);
    brass(b, 0.19, 0.08, kB4, 0.09);
    brass(b, 0.33, 0.08, kD5, 0.11);
    brassChord(b, 0.49, 0.6, kG3, {2, 3, 4, 6}, 0.5);
    chime(b, 0.79, kB5, 0.22, 0.2);
    chime(b, 0.89, kD6, 0.22, 0.18);
    chime(b, 0.99, kG6, 0.22, 0.18);
    return finish(b, level);
}

std::vector<int16_t> effect(catalogue::sound::Effect e) {
    switch (e) {
        case catalogue::sound::kRotate:
            return rotate();
        case catalogue::sound::kTouchDown:
            return touchDown();
        default:
            return rowsCleared(e - catalogue::sound::kOneRow + 1);
    }
}

double loudestDb(const std::vector<int16_t>& samples) {
    Buffer b;
    b.reserve(samples.size());
    for (int16_t v : samples) {
        b.push_back(v / 32768.0);
    }
    return 20 * std::log10(std::max(1e-12, loudest(b)));
}

std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples, int channels) {
    std::vector<uint8_t> out;
    auto text = [&](const char* s) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(s[i]));
    };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out.reserve(44 + dataBytes);
    text("RIFF");
    u32(36 + dataBytes);
    text("WAVE");
    text("fmt ");
    u32(16);  // PCM format chunk size
    u16(1);   // PCM
    u16(static_cast<uint16_t>(channels));
    u32(kRate);
    u32(static_cast<uint32_t>(kRate * 2 * channels));  // bytes per second
    u16(static_cast<uint16_t>(2 * channels));          // block align: one frame
    u16(16);                                           // bits per sample
    text("data");
    u32(dataBytes);
    for (int16_t v : samples)
        u16(static_cast<uint16_t>(v));
    return out;
}

}  // namespace effects
