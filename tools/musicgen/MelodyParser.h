#pragma once
// Reads the notation the songs are written in.
//
// Chords: four bars separated by '|', one, two or four chords a bar:
// "Dm7 | G | Fmaj7 | Em7", "C/E" for a chord over another bass note.
//
// Melodies are tokens: a pitch ("C5", "F#4", "Bb3"), "r" for a rest or "-"
// to hold on, then ":" and a length in rows (the last length when left out),
// then any of: "~" vibrato, "'" staccato, ">" slide from the note before,
// "!" accent, "_" soft, "\" fade away. "|" marks a bar line, which must fall
// where the lengths put it. A pattern's melody fills its 64 rows exactly.
//
// Anything else is refused (see Refuse.h), naming what was not understood.

#include <array>
#include <string>
#include <vector>

#include "tools/musicgen/ModWriter.h"

struct Chord {
    int root = 0;  // pitch class
    int bass = 0;  // pitch class the bass plays as root
    std::vector<int> intervals;
    bool operator==(const Chord& o) const {
        return root == o.root && bass == o.bass && intervals == o.intervals;
    }
    bool has(int pitchClass) const;
};

// One melody token.
struct Note {
    int row = 0;
    int length = 0;
    int midi = -1;  // -1: a rest
    bool tie = false;
    bool vibrato = false, staccato = false, slide = false, accent = false, soft = false,
         fade = false;
};

class MelodyParser {
public:
    static constexpr int kRowsPerBar = 16;
    static constexpr int kBars = ModWriter::kRows / kRowsPerBar;

    // The chord sounding at each of a pattern's rows.
    static std::array<Chord, ModWriter::kRows> chords(const char* text);
    // The notes, rests and holds of a pattern's melody, in order.
    static std::vector<Note> melody(const char* text);

private:
    static Chord chord(const std::string& symbol);
    // One token, from the row it starts at; `length` carries the last length.
    static Note token(const std::string& word, int row, int& length);
};
