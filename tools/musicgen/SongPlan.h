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

// A drum part: one or two bars (16 or 32 characters) per line, '-' for nothing.
struct Groove {
    const char* kit;   // 'k' kick, 's' snare, 'g' ghost snare; upper case accents
    const char* hats;  // 'h' closed, 'o' open, 'x' choke, 't' hand percussion; upper case accents
    const char* perc;  // 'c' hand percussion, 'h' 'm' 'l' high, middle, low tom
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
    int fill = -1;      // a fill in place of the groove's last bar
    bool pad = false;   // held chords on channels 5 and 6
    bool echo = false;  // the melody echoed a dotted eighth later on channel 6
    int loudness = 3;   // 1 soft .. 4 loud
};

struct SectionPlan {
    int tempo;  // beats per minute, at six ticks a row
    // Instruments by their index in the song's list, -1 for none.
    int lead, comp, bass, pad, counter, hand, tom;
    int bassLow;  // MIDI: the lowest root the bass plays
    int compLow;  // MIDI: the accompaniment voices chords from here up
    int padLow;   // MIDI: the pad's lower voice stays above this
    // The section's overall level, and each channel's against its
    // instruments' volumes: the section's mix.
    double level = 1.0;
    std::array<double, kChannels> mix = {1, 1, 1, 1, 1, 1, 1, 1};
    // Figures of one or two bars, a character a row, over the chord then
    // sounding. Bass: 'R' root, 'O' octave, 'F' fifth, 'f' fifth below, '3'
    // third, '7' seventh (octave without one), 'a' a semitone below the next
    // chord's root; 'r' and 'o' slide into root and octave. Accompaniment:
    // '1'..'9' chord tones counted up from compLow, 'x' the whole chord as a
    // fast arpeggio. Both: '-' hold, '.' stop.
    std::vector<const char*> bassFigures;
    std::vector<const char*> compFigures;
    std::vector<Groove> grooves;
    std::vector<Groove> fills;
    std::vector<PatternPlan> patterns;
};

struct SongPlan {
    const char* title;
    std::vector<SongInstrument> instruments;
    std::vector<SectionPlan> sections;
};
