#include "tools/musicgen/Instruments.h"

#include <algorithm>
#include <cmath>

#include "tools/musicgen/Synthesis.h"

namespace {

using Noise = Synthesis::Noise;
using LowPass = Synthesis::LowPass;
using HighPass = Synthesis::HighPass;
constexpr double kPi = Synthesis::kPi;
constexpr double kDrumRate = Synthesis::kDrumRate;

// Noise of the same colour with its peaks rounded off: a drum's brightness
// then comes from its energy, not from a few spikes that would add to the
// mix's peaks.
double hiss(double x) {
    return std::tanh(3.0 * x);
}

// The rise of a struck sound over `seconds`: a few milliseconds take the
// spike off a strike, which would add to the mix's peaks, and leave its
// snap.
double strike(double t, double seconds) {
    return Synthesis::smoothStep(t / seconds);
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

}  // namespace

namespace instruments {

Instrument kick() {
    Noise noise(0x5EEDCAFEu);
    HighPass click(2000.0, kDrumRate);
    return Synthesis::drum("kick", 0.42, [noise, click](double t) mutable {
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
    LowPass low(12000.0, kDrumRate);
    return Synthesis::drum("snare", 0.28, [noise, high, low](double t) mutable {
        const double body = (std::sin(2 * kPi * 185 * t) + 0.5 * std::sin(2 * kPi * 330 * t)) *
                            std::exp(-t / 0.045);
        // The wires: bright noise that outlasts the body.
        const double wires = hiss(low(high(noise.next()))) * std::exp(-t / 0.085);
        return 0.55 * body + 1.4 * wires;
    });
}

Instrument closedHat() {
    Noise noise(0xCAFEF00Du);
    HighPass high(6000.0, kDrumRate);
    HighPass higher(5000.0, kDrumRate);
    return Synthesis::drum("closed hat", 0.12, [noise, high, higher](double t) mutable {
        return higher(hiss(high(0.5 * metal(t) + 0.8 * noise.next()))) * strike(t, 0.003) *
               std::exp(-t / 0.04);
    });
}

Instrument openHat() {
    Noise noise(0xBEEF5EEDu);
    HighPass high(5500.0, kDrumRate);
    HighPass higher(4500.0, kDrumRate);
    return Synthesis::drum("open hat", 0.5, [noise, high, higher](double t) mutable {
        return higher(hiss(high(0.6 * metal(t) + 0.7 * noise.next()))) * strike(t, 0.004) *
               std::exp(-t / 0.14);
    });
}

Instrument ride() {
    Noise noise(0x41D341D3u);
    HighPass high(3500.0, kDrumRate);
    return Synthesis::drum("ride", 0.7, [noise, high](double t) mutable {
        // A ping of metal over a long wash, and a bell that rings through it.
        const double metallic = hiss(high(metal(1.4 * t) + 0.8 * noise.next()));
        const double ping = metallic * std::exp(-t / 0.02);
        const double wash = metallic * std::exp(-t / 0.3);
        const double bell = std::sin(2 * kPi * 2637 * t) * std::exp(-t / 0.15);  // E7
        return 0.8 * ping + 0.5 * wash + 0.12 * bell;
    });
}

Instrument shaker() {
    Noise noise(0x51AC3E12u);
    HighPass high(4500.0, kDrumRate);
    LowPass low(13000.0, kDrumRate);
    return Synthesis::drum("shaker", 0.14, [noise, high, low](double t) mutable {
        const double envelope =
            Synthesis::smoothStep(t / 0.02) * std::exp(-std::max(0.0, t - 0.02) / 0.04);
        return hiss(low(high(noise.next()))) * envelope;
    });
}

Instrument tambourine() {
    Noise noise(0x7A3B0121u);
    HighPass high(5000.0, kDrumRate);
    return Synthesis::drum("tambourine", 0.3, [noise, high](double t) mutable {
        // The jingles strike a few milliseconds apart and ring on a little.
        double envelope = 0;
        for (double start : {0.0, 0.006, 0.014, 0.023}) {
            if (t >= start) {
                envelope += strike(t - start, 0.002) * std::exp(-(t - start) / 0.012);
            }
        }
        envelope += 0.6 * strike(t, 0.004) * std::exp(-t / 0.09);
        return hiss(high(0.5 * metal(2.3 * t) + noise.next())) * envelope;
    });
}

Instrument rim() {
    Noise noise(0x121A121Au);
    HighPass high(2500.0, kDrumRate);
    return Synthesis::drum("rim", 0.08, [noise, high](double t) mutable {
        // A stick laid across the rim: a hard click and a short wooden ring.
        // Its rings are C5 and A6, notes of every tune's key.
        const double wood = std::sin(2 * kPi * 523.25 * t) * std::exp(-t / 0.012) +
                            0.7 * std::sin(2 * kPi * 1760 * t) * std::exp(-t / 0.007);
        return wood + 0.8 * high(noise.next()) * std::exp(-t / 0.003);
    });
}

Instrument conga() {
    Noise noise(0xC0C0A11Au);
    HighPass slapHigh(1200.0, kDrumRate);
    LowPass slapLow(5000.0, kDrumRate);
    return Synthesis::drum("conga", 0.3, [noise, slapHigh, slapLow](double t) mutable {
        // Sounds G3 at its own rate, starting a little sharp; the hand's slap
        // is a burst of mid-band noise.
        const double phase = 196.0 * t + 30 * 0.015 * (1 - std::exp(-t / 0.015));
        const double skin = std::sin(2 * kPi * phase) * std::exp(-t / 0.11) +
                            0.35 * std::sin(2 * kPi * 2.7 * phase) * std::exp(-t / 0.03);
        const double slap = slapLow(slapHigh(noise.next())) * std::exp(-t / 0.006);
        return std::tanh(1.4 * skin) + 0.9 * slap;
    });
}

Instrument clap() {
    Noise noise(0xC1A9C1A9u);
    HighPass high(900.0, kDrumRate);
    LowPass low(6000.0, kDrumRate);
    return Synthesis::drum("clap", 0.3, [noise, high, low](double t) mutable {
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
    return Synthesis::drum("tom", 0.45, [noise, low](double t) mutable {
        // Sounds C3 at its own rate, starting a fifth higher.
        const double phase = 130.81 * t + 65 * 0.02 * (1 - std::exp(-t / 0.02));
        const double body = std::sin(2 * kPi * phase) * std::exp(-t / 0.2);
        return std::tanh(1.3 * body) + 0.3 * low(noise.next()) * std::exp(-t / 0.01);
    });
}

Instrument bass() {
    return Synthesis::tonal({
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
    return Synthesis::tonal({
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
    return Synthesis::tonal({
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
        .level = [](double t) { return Synthesis::smoothStep(t / 0.3); },
        .chorus = 0.3,
    });
}

Instrument stringPad() {
    return Synthesis::tonal({
        .name = "string pad",
        .samplesPerCycle = 128,
        .referenceHz = 261.6,
        .topHz = 700.0,
        .attackSeconds = 0.25,
        .loopCycles = 48,
        .spectrum = [](int h, double) { return (1.0 / h) / (1.0 + std::pow(h / 7.0, 2.0)); },
        .level = [](double t) { return Synthesis::smoothStep(t / 0.25); },
        .chorus = 0.3,
    });
}

Instrument celesta() {
    return Synthesis::tonal({
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
                        return 0.08 + 0.2 * std::exp(-t / 0.12);
                    case 4:
                        return 0.06 + 0.45 * std::exp(-t / 0.05);
                    case 6:
                        return 0.2 * std::exp(-t / 0.03);
                    default:
                        return 0.0;
                }
            },
        .level = [](double t) { return 0.72 + 0.28 * std::exp(-t / 0.2); },
    });
}

Instrument flute() {
    return Synthesis::tonal({
        .name = "flute",
        .samplesPerCycle = 32,
        .referenceHz = 587.3,  // D5
        .topHz = 1200.0,
        .attackSeconds = 0.12,
        .loopCycles = 1,
        .spectrum =
            [](int h, double t) {
                constexpr double kAmp[] = {0, 1.0, 0.4, 0.2, 0.12, 0.08, 0.05};
                // The upper harmonics come in a little after the breath.
                const double bloom = h == 1 ? 1.0 : Synthesis::smoothStep(t / 0.06);
                return h < 7 ? kAmp[h] * bloom : 0.0;
            },
        .level =
            [](double t) {
                return Synthesis::smoothStep(t / 0.04) * (1.0 + 0.1 * std::exp(-t / 0.05));
            },
        .breath =
            [](double t) { return 0.35 * Synthesis::smoothStep(t / 0.01) * std::exp(-t / 0.025); },
    });
}

Instrument electricPiano() {
    return Synthesis::tonal({
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
                const double index = 0.9 + 1.8 * std::exp(-t / 0.12);
                const double sign = h % 2 == 0 ? 1.0 : -1.0;
                double a = std::cyl_bessel_j(h - 1, index) - sign * std::cyl_bessel_j(h + 1, index);
                if (h == 7) {
                    a += 0.25 * std::exp(-t / 0.02);
                }
                return a;
            },
        .level = [](double t) { return 0.72 + 0.28 * std::exp(-t / 0.2); },
        .chorus = 0.2,
    });
}

Instrument pulseLead() {
    return Synthesis::tonal({
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
                const double sigma = h == 1 ? 1.0 : std::sin(kPi * h / 14.0) / (kPi * h / 14.0);
                return std::fabs(std::sin(kPi * h * duty)) / h * std::max(0.0, sigma);
            },
        .level = [](double t) { return 0.85 + 0.15 * std::exp(-t / 0.05); },
        .chorus = 0.25,
    });
}

Instrument pluck() {
    return Synthesis::tonal({
        .name = "pluck",
        .samplesPerCycle = 64,
        .referenceHz = 523.3,  // C5
        .topHz = 1100.0,
        .attackSeconds = 0.3,
        .loopCycles = 1,
        .spectrum =
            [](int h, double t) {
                return std::pow(h, -0.8) * std::exp(-t * (1.5 + 0.8 * std::pow(h, 1.4)));
            },
        .level = [](double) { return 1.0; },
    });
}

Instrument sawLead() {
    return Synthesis::tonal({
        .name = "saw lead",
        .samplesPerCycle = 32,
        .referenceHz = 659.3,  // E5
        .topHz = 1400.0,
        .attackSeconds = 0.1,
        .loopCycles = 96,
        // The filter opens to 10 times the note at the attack, then settles at 7.
        .spectrum =
            [](int h, double t) {
                const double cutoff =
                    7.0 + 3.0 * std::exp(-t / 0.04) * Synthesis::smoothStep(t / 0.01);
                return (1.0 / h) / (1.0 + std::pow(h / cutoff, 4.0));
            },
        .level = [](double t) { return 0.9 + 0.1 * std::exp(-t / 0.04); },
        .chorus = 0.35,
    });
}

}  // namespace instruments
