#pragma once
// The modules' instruments, synthesised as signed 8-bit sample data.
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

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Instrument {
    std::string name;
    std::vector<int8_t> data;
    size_t loopStart = 0;   // bytes
    size_t loopLength = 0;  // bytes; 0 for a one-shot
    // The MIDI note that module note C-0 sounds; a drum sounds "middle C"
    // (MIDI 60) at its own rate, note C-4.
    int midiAtNote0 = 0;
};

namespace instruments {

// The module note at which a drum plays at the rate it was made at.
constexpr int kDrumNote = 48;
constexpr int kDrumMidi = 60;

// Drums, shared by every tune.
Instrument kick();       // a sine falling from 155 to 45 Hz, with a click
Instrument snare();      // a two-tone body under band-passed noise
Instrument closedHat();  // metallic: six detuned squares, high-passed
Instrument openHat();
Instrument shaker();  // soft high noise with a slow attack
Instrument clap();    // three quick noise bursts and a tail
Instrument tom();     // a pitched thud, tuned by the note it is played at

// Bass: a plucked, warm saw-like tone.
Instrument bass();
// Bass: a saw through a resonant low-pass that closes after the attack.
Instrument acidBass();
// Soft pad: mellow harmonics, a slow swell and a slowly beating second voice.
Instrument glassPad();
// Bowed pad: a fuller saw with a wider chorus.
Instrument stringPad();
// Bell: a sine with bright partials that ring away quickly.
Instrument celesta();
// Flute: few harmonics and a breathy start.
Instrument flute();
// Electric piano: two-operator FM whose brightness falls after the strike.
Instrument electricPiano();
// Pulse lead with a widening duty cycle and a beating second voice.
Instrument pulseLead();
// Plucked string: harmonics that die away faster the higher they are.
Instrument pluck();
// Saw lead with a filter that opens on the attack.
Instrument sawLead();

}  // namespace instruments
