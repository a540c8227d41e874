#include "tools/musicgen/MelodyParser.h"

#include <sstream>

#include "tools/musicgen/Refuse.h"

namespace {

constexpr int kRows = ModWriter::kRows;

// Reads a note name (A..G, then '#' or 'b') and moves past it.
int pitchClass(const char*& s) {
    static constexpr int kNatural[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (*s < 'A' || *s > 'G') {
        refuse(std::string("not a note: ") + s);
    }
    int pc = kNatural[*s - 'A'];
    ++s;
    if (*s == '#') {
        ++pc;
        ++s;
    } else if (*s == 'b') {
        pc += 11;
        ++s;
    }
    return pc % 12;
}

// The marks that may follow a melody token, and what each sets.
constexpr struct {
    char mark;
    bool Note::*flag;
} kMarks[] = {
    {'~', &Note::vibrato}, {'\'', &Note::staccato}, {'>', &Note::slide},
    {'!', &Note::accent},  {'_', &Note::soft},      {'\\', &Note::fade},
};

}  // namespace

bool Chord::has(int pitchClass) const {
    for (int i : intervals) {
        if ((root + i) % 12 == pitchClass) {
            return true;
        }
    }
    return false;
}

Chord MelodyParser::chord(const std::string& symbol) {
    static const struct {
        const char* name;
        std::vector<int> intervals;
    } kQualities[] = {
        {"maj7", {0, 4, 7, 11}}, {"madd9", {0, 3, 7, 14}}, {"add9", {0, 4, 7, 14}},
        {"sus2", {0, 2, 7}},     {"sus4", {0, 5, 7}},      {"dim", {0, 3, 6}},
        {"m7", {0, 3, 7, 10}},   {"m6", {0, 3, 7, 9}},     {"m", {0, 3, 7}},
        {"7", {0, 4, 7, 10}},    {"6", {0, 4, 7, 9}},      {"5", {0, 7}},
        {"", {0, 4, 7}},
    };
    const char* s = symbol.c_str();
    Chord c;
    c.root = pitchClass(s);
    c.bass = c.root;
    std::string rest = s;
    const size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        const char* b = rest.c_str() + slash + 1;
        c.bass = pitchClass(b);
        rest = rest.substr(0, slash);
    }
    for (const auto& q : kQualities) {
        if (rest == q.name) {
            c.intervals = q.intervals;
            return c;
        }
    }
    refuse("unknown chord " + symbol);
}

std::array<Chord, kRows> MelodyParser::chords(const char* text) {
    std::array<Chord, kRows> rows;
    std::stringstream bars(text);
    std::string bar;
    int b = 0;
    while (std::getline(bars, bar, '|')) {
        std::stringstream words(bar);
        std::vector<std::string> names;
        std::string w;
        while (words >> w) {
            names.push_back(w);
        }
        if (b >= kBars || (names.size() != 1 && names.size() != 2 && names.size() != 4)) {
            refuse(std::string("four bars of one, two or four chords: ") + text);
        }
        const int each = kRowsPerBar / static_cast<int>(names.size());
        for (int r = 0; r < kRowsPerBar; ++r) {
            rows[b * kRowsPerBar + r] = chord(names[r / each]);
        }
        ++b;
    }
    if (b != kBars) {
        refuse(std::string("four bars of chords: ") + text);
    }
    return rows;
}

Note MelodyParser::token(const std::string& word, int row, int& length) {
    Note n;
    n.row = row;
    const char* s = word.c_str();
    if (*s == 'r') {
        ++s;
    } else if (*s == '-') {
        n.tie = true;
        ++s;
    } else {
        const int pc = pitchClass(s);
        if (*s < '0' || *s > '9') {
            refuse("a note needs its octave: " + word);
        }
        // The octave changes at C, so "B#3" or "Cb4" are not used.
        n.midi = pc + 12 * (*s - '0' + 1);
        ++s;
    }
    if (*s == ':') {
        ++s;
        length = 0;
        while (*s >= '0' && *s <= '9') {
            length = length * 10 + (*s++ - '0');
        }
    }
    n.length = length;
    for (; *s != 0; ++s) {
        bool known = false;
        for (const auto& m : kMarks) {
            if (*s == m.mark) {
                n.*m.flag = true;
                known = true;
            }
        }
        if (!known) {
            refuse("unknown mark in " + word);
        }
    }
    if (n.length <= 0) {
        refuse("a note needs a length: " + word);
    }
    return n;
}

std::vector<Note> MelodyParser::melody(const char* text) {
    std::vector<Note> notes;
    std::stringstream words(text);
    std::string w;
    int row = 0;
    int length = 4;
    while (words >> w) {
        if (w == "|") {
            if (row % kRowsPerBar != 0) {
                refuse("bar line at row " + std::to_string(row) + " in: " + text);
            }
            continue;
        }
        notes.push_back(token(w, row, length));
        row += notes.back().length;
    }
    if (row != kRows) {
        refuse("a melody of " + std::to_string(row) + " rows, not 64: " + text);
    }
    return notes;
}
