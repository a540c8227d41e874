#pragma once
// Turns songs written as chord charts, melodies and figures into the
// patterns and order table of an eight-channel module.
//
// A song has instruments and one or more sections. A section is a list of
// four-bar patterns (16 rows a bar, a row a sixteenth note); each pattern
// names its chords, its melody and counter-melody, and which of the
// section's bass figures, accompaniment figures and drum grooves play, at
// which loudness. The writer voices the figures over the chords, shapes
// every note with volume effects (ProTracker has no envelopes), and lays the
// sections out so that each starts at a song position of its own (0 for a
// song of one section; 0, 10, 20 for three) and loops within itself: the
// first ten patterns of a section fill its ten positions, the rest go to
// positions 30 and up, and jumps lead out there and back.
//
// Channels: 0 melody, 1 accompaniment, 2 bass, 3 kick and snare, 4 hats,
// 5 pad or counter-melody, 6 pad or the melody's echo, 7 hand percussion and
// toms. The play screen's four bands follow channels 0 to 3.
//
// Melodies are tokens: a pitch ("C5", "F#4", "Bb3"), "r" for a rest or "-"
// to hold on, then ":" and a length in rows (the last length when left out),
// then any of: "~" vibrato, "'" staccato, ">" slide from the note before,
// "!" accent, "_" soft, "\" fade away. "|" marks a bar line, which must fall
// where the lengths put it.

#include <array>
#include <string>
#include <vector>

#include "tools/musicgen/Instruments.h"
#include "tools/musicgen/ModWriter.h"

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
    std::array<double, 8> mix = {1, 1, 1, 1, 1, 1, 1, 1};
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

class SongWriter {
public:
    static constexpr int kChannels = 8;
    enum Channel { kLead, kComp, kBass, kKit, kHats, kPad1, kPad2, kPerc };
    // The first song position of section `index` in a song of `sections`.
    static int startPosition(int index, int sections);
    // Writes the whole song; exits with a message on a malformed plan.
    static ModWriter write(const SongPlan& song);
};
