#pragma once
// A song as the compositions (Songs.cpp) write it: instruments and one or
// more sections, each a list of four-bar patterns (16 rows a bar, a row a
// sixteenth note). A pattern names its chords, its melody and
// counter-melody, and which of the section's bass figures, accompaniment
// figures and drum grooves play, at which loudness. ModuleLayout turns a
// plan into a module; Arranger voices each pattern.
//
// Channels: 0 melody, 1 accompaniment, 2 bass, 3 kick and snare, 4 hats,
// 5 pad or counter-melody, 6 pad or the melody's echo, 7 hand percussion and
// toms. The play screen's four bands follow channels 0 to 3.

#include <array>
#include <cstdint>
#include <vector>

#include "tools/musicgen/Instruments.h"

enum Channel : int { kLead, kComp, kBass, kKit, kHats, kPad1, kPad2, kPerc, kChannels };

struct SongInstrument {
    Instrument sound;
    int volume;            // the note volume at loudness 4, 1..64
    double fade;           // volume steps a held note loses each row (0: none)
    int vibrato;           // ProTracker 4xy for held notes (0: none)
    int vibratoDelay = 6;  // rows a note is held before its vibrato starts
};

// A drum of a section's kit: what a mark in its grooves plays.
struct DrumSound {
    char mark;           // lower case; upper case in a groove accents it
    int instrument;      // index in the song's list
    int semitones = 0;   // above the pitch it was made at
    double level = 1.0;  // against the instrument's volume
};

// A drum part: a line per channel of one, two or four bars (16, 32 or 64
// characters), a mark of the section's kit a row, '-' for nothing and 'x'
// to stop what rings.
struct Groove {
    const char* kit;   // channel 3: kick and snare
    const char* hats;  // channel 4: hats and cymbals
    const char* perc;  // channel 7: hand percussion and toms
};

struct PatternPlan {
    // Four bars separated by '|', one or two chords a bar: "Dm7 | G | Am7 | C G".
    const char* chords;
    // Melodies (MelodyParser's notation).
    const char* lead = nullptr;
    const char* counter = nullptr;  // on channel 5 instead of the pad's first voice
    int bass = -1;                  // which figure plays, -1 none
    int comp = -1;
    int groove = -1;
    int fill = -1;      // a fill in place of the pattern's last bar
    bool pad = false;   // held chords on channels 5 and 6
    bool echo = false;  // the melody echoed a dotted eighth later on channel 6
    int loudness = 3;   // 1 soft .. 4 loud
};

struct SectionPlan {
    int tempo;  // beats per minute, at six ticks a row
    // Instruments by their index in the song's list, -1 for none.
    int lead, comp, bass, pad, counter;
    int bassLow;  // MIDI: the lowest root the bass plays
    int compLow;  // MIDI: the accompaniment voices chords from here up
    int padLow;   // MIDI: the pad's lower voice stays above this
    // The section's overall level, and each channel's against its
    // instruments' volumes: the section's mix.
    double level = 1.0;
    std::array<double, kChannels> mix = {1, 1, 1, 1, 1, 1, 1, 1};
    // Stereo places (0 left .. 255 right), set on the section's first row
    // (libmikmod would otherwise pan the channels hard left and right): the
    // melody left and its echo right, the accompaniment right, the pad's
    // voices wide apart, bass, kick and snare in the middle, hats right and
    // hand percussion left. libmikmod pans linearly, so a channel x of the
    // way across puts (1 - 2x)^2 of its energy to the side: these places
    // give a side 6 to 8 dB under the mid.
    std::array<uint8_t, kChannels> pan = {0x50, 0xB8, 0x80, 0x80, 0xC8, 0x30, 0xD0, 0x40};
    // Figures of one or two bars, a character a row, over the chord then
    // sounding. Bass: 'R' root, 'O' octave, 'F' fifth, 'f' fifth below, '3'
    // third, '7' seventh (octave without one), 'a' a semitone below the next
    // chord's root; 'r' and 'o' slide into root and octave. Accompaniment:
    // '1'..'9' chord tones counted up from compLow, 'x' the whole chord as a
    // fast arpeggio. Both: '-' hold, '.' stop.
    std::vector<const char*> bassFigures;
    std::vector<const char*> compFigures;
    std::vector<DrumSound> kit;
    std::vector<Groove> grooves;
    std::vector<Groove> fills;
    std::vector<PatternPlan> patterns;
};

struct SongPlan {
    const char* title;
    std::vector<SongInstrument> instruments;
    std::vector<SectionPlan> sections;
};
