#pragma once
// The module's instruments, synthesised as signed 8-bit sample data.
//
// ProTracker has no envelopes, so each tonal instrument carries its own: the
// sample starts with an attack and a decay and ends in a loop of whole wave
// cycles at the sustain level, which makes the loop seamless. Tonal samples
// use a cycle of 32 (or 64 for the bass) bytes, so note C-2 (period 428,
// played at 3546895 / 428 = 8287 samples per second) sounds near middle C
// (C-1 near C3 for the bass). Drums are one-shots made from noise and sweeps.

#include <cstddef>
#include <cstdint>
#include <vector>

struct Instrument {
    std::vector<int8_t> data;
    size_t loopStart = 0;   // bytes
    size_t loopLength = 0;  // bytes; 0 for a one-shot
};

namespace instruments {

// Pulse lead with a 25% duty cycle, a gentle decay and a sustained loop.
Instrument lead();
// Square pluck for arpeggiated chords; decays to a quiet sustain.
Instrument chord();
// Triangle and saw bass, one octave below the other tonal instruments.
Instrument bass();
// Sine sweep kick, tuned to be played at C-2.
Instrument kick();
// Noise and tone snare, tuned to be played at C-3.
Instrument snare();
// High-passed noise hats, tuned to be played at B-3.
Instrument closedHat();
Instrument openHat();

}  // namespace instruments
