#include "tools/musicgen/SoundEffects.h"

#include <algorithm>
#include <cmath>

namespace effects {
namespace {

constexpr double kPi = 3.14159265358979323846;
// -1 dBFS.
constexpr double kPeak = 0.891;
// Fades at the ends, so that no effect clicks when it starts or stops.
constexpr double kFadeIn = 0.001;
constexpr double kFadeOut = 0.008;

using Buffer = std::vector<double>;

Buffer silence(double seconds) {
    return Buffer(static_cast<size_t>(seconds * kRate), 0.0);
}

double at(size_t i) {
    return static_cast<double>(i) / kRate;
}

// A bell-like note: a sine with a soft octave and an inharmonic partial,
// struck at `start` and ringing away with time constant `ring`.
void chime(Buffer& b, double start, double freq, double ring, double gain) {
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < b.size(); ++i) {
        const double t = at(i - first);
        const double attack = std::min(1.0, t / 0.003);
        const double v = std::sin(2 * kPi * freq * t) +
                         0.35 * std::sin(2 * kPi * 2 * freq * t) * std::exp(-t / (ring * 0.5)) +
                         0.15 * std::sin(2 * kPi * 2.76 * freq * t) * std::exp(-t / (ring * 0.3));
        b[i] += gain * attack * std::exp(-t / ring) * v;
    }
}

// A brassy note: a few odd and even harmonics with a softer attack, held
// for `length` and then released.
void brass(Buffer& b, double start, double length, double freq, double gain) {
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < b.size(); ++i) {
        const double t = at(i - first);
        const double attack = std::min(1.0, t / 0.015);
        const double release = t < length ? 1.0 : std::exp(-(t - length) / 0.08);
        double v = 0;
        for (int h = 1; h <= 5; ++h) {
            v += std::sin(2 * kPi * h * freq * t) / (h * h * 0.8 + 0.2);
        }
        b[i] += gain * attack * release * v;
    }
}

std::vector<int16_t> finish(Buffer b) {
    const size_t fadeIn = static_cast<size_t>(kFadeIn * kRate);
    const size_t fadeOut = static_cast<size_t>(kFadeOut * kRate);
    for (size_t i = 0; i < b.size(); ++i) {
        double g = 1.0;
        if (i < fadeIn)
            g = static_cast<double>(i) / fadeIn;
        const size_t left = b.size() - 1 - i;
        if (left < fadeOut)
            g *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(left) / fadeOut);
        b[i] *= g;
    }
    double peak = 1e-9;
    for (double v : b)
        peak = std::max(peak, std::fabs(v));
    std::vector<int16_t> out;
    out.reserve(b.size());
    for (double v : b) {
        out.push_back(static_cast<int16_t>(std::lround(v / peak * kPeak * 32767.0)));
    }
    return out;
}

// Note frequencies (equal temperament, A4 = 440 Hz).
constexpr double kA4 = 440.0, kCs5 = 554.37, kE5 = 659.26, kA5 = 880.0, kCs6 = 1108.73,
                 kE6 = 1318.51, kA6 = 1760.0;

}  // namespace

std::vector<int16_t> rotate() {
    Buffer b = silence(0.06);
    uint32_t noise = 0x1234567u;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = at(i);
        noise = noise * 1664525u + 1013904223u;
        const double n = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        b[i] = 0.6 * std::sin(2 * kPi * 1900 * t) * std::exp(-t / 0.009) +
               0.25 * std::sin(2 * kPi * 3150 * t) * std::exp(-t / 0.005) +
               0.08 * n * std::exp(-t / 0.003);
    }
    // A tick is quiet beside the music: scale below the common peak.
    auto out = finish(b);
    for (int16_t& v : out)
        v = static_cast<int16_t>(v / 2);
    return out;
}

std::vector<int16_t> touchDown() {
    Buffer b = silence(0.13);
    uint32_t noise = 0x89ABCDEu;
    double low = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = at(i);
        noise = noise * 1664525u + 1013904223u;
        const double n = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        low += (n - low) * 0.05;  // a dull, muffled knock
        const double phase = 2 * kPi * (55 * t + 90 * 0.02 * (1 - std::exp(-t / 0.02)));
        b[i] = std::sin(phase) * std::exp(-t / 0.04) + 1.5 * low * std::exp(-t / 0.012);
    }
    return finish(b);
}

std::vector<int16_t> rowsCleared(int rows) {
    switch (rows) {
        case 1: {
            Buffer b = silence(0.4);
            chime(b, 0.0, kA5, 0.12, 0.8);
            chime(b, 0.08, kE6, 0.12, 0.7);
            return finish(b);
        }
        case 2: {
            Buffer b = silence(0.6);
            chime(b, 0.0, kA5, 0.14, 0.8);
            chime(b, 0.07, kCs6, 0.14, 0.7);
            chime(b, 0.14, kE6, 0.18, 0.7);
            return finish(b);
        }
        case 3: {
            Buffer b = silence(0.85);
            chime(b, 0.0, kA5, 0.15, 0.7);
            chime(b, 0.06, kCs6, 0.15, 0.65);
            chime(b, 0.12, kE6, 0.15, 0.6);
            chime(b, 0.18, kA6, 0.25, 0.6);
            chime(b, 0.18, kA5, 0.25, 0.4);
            return finish(b);
        }
        default: {
            Buffer b = silence(1.4);
            brass(b, 0.0, 0.09, kA4, 0.5);
            brass(b, 0.12, 0.09, kCs5, 0.5);
            brass(b, 0.24, 0.09, kE5, 0.5);
            brass(b, 0.36, 0.75, kA5, 0.45);
            brass(b, 0.36, 0.75, kE5, 0.3);
            brass(b, 0.36, 0.75, kCs5, 0.3);
            chime(b, 0.36, kA6, 0.3, 0.35);
            chime(b, 0.48, kE6, 0.3, 0.25);
            return finish(b);
        }
    }
}

std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples) {
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
    u16(1);   // mono
    u32(kRate);
    u32(kRate * 2);  // bytes per second
    u16(2);          // block align: one 16-bit sample
    u16(16);         // bits per sample
    text("data");
    u32(dataBytes);
    for (int16_t v : samples)
        u16(static_cast<uint16_t>(v));
    return out;
}

}  // namespace effects
