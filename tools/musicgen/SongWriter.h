#pragma once
// Turns a song written as sections of phrases into module patterns.
//
// A section has a key (tonic and mode), a tempo, two four-bar chord
// progressions, four four-bar lead phrases and one-bar rhythm figures for the
// bass, the chords and the drums. Its plan lists, for each pattern, which
// phrase and progression play and whether the drums fill. Channels: 0 lead,
// 1 arpeggiated chords, 2 bass, 3 drums. Every section starts by setting its
// speed and tempo and ends with a jump back to its own first pattern, so a
// section loops on itself and can be started at its first song position.
//
// Phrase and figure strings hold one character per row (16 rows a bar,
// spaces ignored): '0'..'9' and 'A'..'C' a scale degree above the tonic
// (7 is the octave), 'z', 'y' one and two degrees below, '-' hold, '.' cut.
// Bass figures count degrees above the chord's root; chord figures use 'x'
// to strike the chord.

#include <array>
#include <vector>

#include "tools/musicgen/ModWriter.h"

struct SongSection {
    int speed;                    // ticks per row
    int tempo;                    // beats per minute
    int tonic;                    // pitch class, 0 = C
    std::array<int, 7> mode;      // semitones of the seven degrees
    int leadOctave;               // note number of the lead's C (0, 12 or 24)
    const char* progressions[2];  // four chord-root degrees each
    const char* phrases[4];       // four bars each
    const char* bassFigure;       // one bar
    const char* chordFigure;      // one bar
    const char* drumGroove;       // one bar: k kick, s snare, h hat, o open hat
    const char* drumFill;         // one bar, replaces the groove's fourth bar
    struct Step {
        int phrase;       // 0..3, or -1 for no lead
        int progression;  // 0 or 1
        int drums;        // 0 none, 1 groove, 2 groove with a fill
    };
    std::vector<Step> plan;
};

class SongWriter {
public:
    explicit SongWriter(ModWriter& mod);
    // Appends one section's patterns and order entries.
    void addSection(const SongSection& section);

private:
    struct Instruments {
        int lead, chord, bass, kick, snare, hat, openHat;
    };
    ModWriter& mod_;
    Instruments ins_;
};
