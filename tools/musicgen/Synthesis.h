#pragma once
// The means every instrument is made with, as signed 8-bit sample data.
//
// libmikmod mixes without interpolation, so every sample is made to survive
// that: tonal waves are built from whole harmonics only, and only as many as
// stay well below the mixer's rate at the highest note an instrument plays;
// a wave cycle is 32 to 256 samples long, chosen so that the notes the songs
// use play the sample at 10 to 45 kHz, close to the output's 44.1 kHz. That
// is also where libmikmod's pitches are truest: below it the mixer's step
// rounds notes flat, above it the integer periods round them sharp. Drums
// are made at 33452 samples per second, the rate of note C-4, and played
// there.
//
// ProTracker has no envelopes. A tonal sample carries its own attack (the
// bright start of a pluck, a breath, a bell's ringing partials) and ends in
// a loop of whole cycles at a steady level, which makes the loop seamless;
// the songs shape the rest with volume effects. Every sample starts at zero,
// has no DC offset and peaks just below full scale.

#include <cstdint>
#include <functional>

#include "tools/musicgen/Instruments.h"

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

class Synthesis {
public:
    static constexpr double kPi = 3.14159265358979323846;
    // libmikmod plays module note C-0 at 8363 / 4 samples per second.
    static constexpr double kRateAtNote0 = 8363.0 / 4.0;
    // The rate drums are made at: that of note C-4 (instruments::kDrumNote).
    static constexpr double kDrumRate = kRateAtNote0 * 16.0;

    // A deterministic noise source (32-bit xorshift), so that the data is
    // the same on every build; -1..1.
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
        LowPass(double cutoffHz, double rate);
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

    // The looped sample of `tone`.
    static Instrument tonal(const Tone& tone);
    // A one-shot drum of `seconds` made at kDrumRate; `voice` gives the
    // value at time t. The DC is taken out and short fades keep both ends
    // at zero.
    static Instrument drum(const char* name, double seconds,
                           const std::function<double(double t)>& voice);
    // 0 at 0, 1 from 1 on, smoothly between.
    static double smoothStep(double x);
};
