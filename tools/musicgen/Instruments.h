#pragma once
// The modules' instruments: drums, basses, pads and leads, each described by
// its spectrum and envelope and made by Synthesis as signed 8-bit sample
// data. The songs pick from this list (Songs.cpp).

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
Instrument closedHat();  // metallic: six detuned squares and noise, high-passed
Instrument openHat();
Instrument ride();        // a ping, a long wash and a bell
Instrument shaker();      // soft high noise with a slow attack
Instrument tambourine();  // jingles a few milliseconds apart
Instrument rim();         // a stick across the rim: a click and a wooden ring
Instrument conga();       // a tuned skin and a slap, pitched by its note
Instrument clap();        // three quick noise bursts and a tail
Instrument tom();         // a pitched thud, tuned by the note it is played at

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
