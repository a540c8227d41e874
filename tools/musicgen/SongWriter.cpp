#include "tools/musicgen/SongWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

using Cell = ModWriter::Cell;

constexpr int kRows = ModWriter::kRows;
constexpr int kRowsPerBar = 16;
constexpr int kBars = kRows / kRowsPerBar;
constexpr int kSpeed = 6;  // ticks per row, libmikmod's default: never changed
// Where each section's patterns go once its ten positions are full.
constexpr int kOverflowPosition = 30;
constexpr int kPositionsPerSection = 10;
// Loudness 1..4 as a share of an instrument's full volume.
constexpr double kLoudness[] = {0.0, 0.56, 0.7, 0.85, 1.0};
constexpr double kAccent = 1.0;
constexpr double kPlain = 0.82;
// Bass and accompaniment lean on the beat only a little: every channel's
// accent on the same row would pile up into the mix's peaks.
constexpr double kOnBeat = 0.9;
constexpr double kGhost = 0.4;
constexpr double kSoft = 0.6;
// The echo: a dotted eighth later, a little under half as loud.
constexpr int kEchoRows = 3;
constexpr double kEchoLevel = 0.45;
// Slides reach their note within about this many ticks.
constexpr int kSlideTicks = 8;
// Stereo places (0 left .. 255 right), by channel: melody a little left and
// its echo right, the accompaniment and the pad's voices apart, bass and
// drums in the middle, metal and hand percussion to the right.
constexpr uint8_t kPan[SongWriter::kChannels] = {0x70, 0x58, 0x80, 0x80, 0xAC, 0x60, 0xA4, 0x9C};

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "duobrik-musicgen: %s\n", what.c_str());
    std::exit(1);
}

struct Chord {
    int root = 0;  // pitch class
    int bass = 0;  // pitch class the bass plays as root
    std::vector<int> intervals;
    bool operator==(const Chord& o) const {
        return root == o.root && bass == o.bass && intervals == o.intervals;
    }
    bool has(int pitchClass) const {
        for (int i : intervals) {
            if ((root + i) % 12 == pitchClass) {
                return true;
            }
        }
        return false;
    }
};

int pitchClass(const char*& s) {
    static constexpr int kNatural[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (*s < 'A' || *s > 'G') {
        fail(std::string("not a note: ") + s);
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

Chord parseChord(const std::string& symbol) {
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
    fail("unknown chord " + symbol);
}

// The chord sounding at each of the pattern's rows.
std::array<Chord, kRows> parseChords(const char* text) {
    std::array<Chord, kRows> rows;
    std::stringstream bars(text);
    std::string bar;
    int b = 0;
    while (std::getline(bars, bar, '|')) {
        std::stringstream words(bar);
        std::vector<std::string> chords;
        std::string w;
        while (words >> w) {
            chords.push_back(w);
        }
        if (b >= kBars || (chords.size() != 1 && chords.size() != 2 && chords.size() != 4)) {
            fail(std::string("four bars of one, two or four chords: ") + text);
        }
        const int each = kRowsPerBar / static_cast<int>(chords.size());
        for (int r = 0; r < kRowsPerBar; ++r) {
            rows[b * kRowsPerBar + r] = parseChord(chords[r / each]);
        }
        ++b;
    }
    if (b != kBars) {
        fail(std::string("four bars of chords: ") + text);
    }
    return rows;
}

// One melody token.
struct Note {
    int row = 0;
    int length = 0;
    int midi = -1;  // -1: a rest
    bool tie = false;
    bool vibrato = false, staccato = false, slide = false, accent = false, soft = false,
         fade = false;
};

std::vector<Note> parseMelody(const char* text) {
    std::vector<Note> notes;
    std::stringstream words(text);
    std::string w;
    int row = 0;
    int length = 4;
    while (words >> w) {
        if (w == "|") {
            if (row % kRowsPerBar != 0) {
                fail("bar line at row " + std::to_string(row) + " in: " + text);
            }
            continue;
        }
        Note n;
        n.row = row;
        const char* s = w.c_str();
        if (*s == 'r') {
            ++s;
        } else if (*s == '-') {
            n.tie = true;
            ++s;
        } else {
            const int pc = pitchClass(s);
            if (*s < '0' || *s > '9') {
                fail("a note needs its octave: " + w);
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
            switch (*s) {
                case '~':
                    n.vibrato = true;
                    break;
                case '\'':
                    n.staccato = true;
                    break;
                case '>':
                    n.slide = true;
                    break;
                case '!':
                    n.accent = true;
                    break;
                case '_':
                    n.soft = true;
                    break;
                case '\\':
                    n.fade = true;
                    break;
                default:
                    fail("unknown mark in " + w);
            }
        }
        if (n.length <= 0) {
            fail("a note needs a length: " + w);
        }
        row += n.length;
        notes.push_back(n);
    }
    if (row != kRows) {
        fail("a melody of " + std::to_string(row) + " rows, not 64: " + text);
    }
    return notes;
}

int volumeOf(const SongInstrument& ins, int loudness, double accent, double mix) {
    const double v = ins.volume * kLoudness[std::clamp(loudness, 1, 4)] * accent * mix;
    return std::clamp(static_cast<int>(std::lround(v)), 1, 64);
}

Cell effect(uint8_t e, uint8_t p) {
    Cell c;
    c.effect = e;
    c.param = p;
    return c;
}

const Cell kCut = effect(ModWriter::kSetVolume, 0);

// Writes into one pattern of the module.
class PatternWriter {
public:
    PatternWriter(ModWriter& mod, int pattern, const SongPlan& song, const SectionPlan& section,
                  const PatternPlan& plan)
        : mod_(mod),
          pattern_(pattern),
          song_(song),
          section_(section),
          plan_(plan),
          chords_(parseChords(plan.chords)) {}

    void write() {
        if (plan_.lead != nullptr) {
            melody(SongWriter::kLead, section_.lead, plan_.lead);
        }
        if (plan_.counter != nullptr) {
            melody(SongWriter::kPad1, section_.counter, plan_.counter);
        }
        if (plan_.bass >= 0) {
            bass(section_.bassFigures.at(plan_.bass));
        }
        if (plan_.comp >= 0) {
            comp(section_.compFigures.at(plan_.comp));
        }
        if (plan_.pad) {
            pad(plan_.counter == nullptr, !plan_.echo);
        }
        if (plan_.echo) {
            echo();
        }
        if (plan_.groove >= 0) {
            drums();
        }
        // A channel that plays nothing here stops whatever it held before.
        for (int ch = 0; ch < SongWriter::kChannels; ++ch) {
            bool used = false;
            for (int r = 0; r < kRows; ++r) {
                const Cell& c = at(r, ch);
                used = used || c.note >= 0 || c.hasEffect();
            }
            if (!used) {
                at(0, ch) = kCut;
            }
        }
    }

private:
    Cell& at(int row, int channel) { return mod_.cell(pattern_, row, channel); }

    const SongInstrument& instrument(int index) const {
        if (index < 0 || index >= static_cast<int>(song_.instruments.size())) {
            fail("a section plays an instrument it does not have");
        }
        return song_.instruments[index];
    }

    void strike(int row, int channel, int index, int midi, int volume) {
        const SongInstrument& ins = instrument(index);
        const int note = midi - ins.sound.midiAtNote0;
        if (note < 0 || note >= ModWriter::kNotes) {
            fail(ins.sound.name + " cannot play MIDI note " + std::to_string(midi));
        }
        Cell& c = at(row, channel);
        c.note = note;
        c.sample = index + 1;
        c.effect = ModWriter::kSetVolume;
        c.param = static_cast<uint8_t>(volume);
    }

    // The volume shaping of a note held from `row` for `length` rows (`row`
    // is -1 for a note held over from the pattern before).
    void hold(int row, int length, int channel, const SongInstrument& ins, const Note* n) {
        const bool vibrato =
            ins.vibrato != 0 && ((n != nullptr && n->vibrato) || length >= ins.vibratoDelay + 4);
        bool vibratoStarted = false;
        const int cutAt = n != nullptr && n->staccato ? std::max(1, length / 2) : length;
        double owed = 0;  // volume steps the fade has yet to take
        for (int k = 1; k < length && row + k < kRows; ++k) {
            Cell& c = at(row + k, channel);
            owed += ins.fade;
            if (k == cutAt) {
                c = kCut;
                return;
            }
            if (n != nullptr && n->slide && k <= 2) {
                c = effect(ModWriter::kTonePortamento, 0);
            } else if (n != nullptr && n->fade) {
                // Down to about a quarter by the note's end.
                const Cell& struck = at(std::max(row, 0), channel);
                const int start =
                    row >= 0 && struck.effect == ModWriter::kSetVolume ? struck.param : ins.volume;
                const int perTick = std::clamp(
                    static_cast<int>(std::ceil(start * 0.75 / ((length - 1) * (kSpeed - 1)))), 1,
                    15);
                c = effect(ModWriter::kVolumeSlide, static_cast<uint8_t>(perTick));
            } else if (vibrato && k >= ins.vibratoDelay) {
                // A vibrato row can only fade by a whole slide step a tick.
                if (vibratoStarted && owed >= kSpeed - 1) {
                    c = effect(ModWriter::kVibratoVolumeSlide, 0x01);
                    owed -= kSpeed - 1;
                } else {
                    c = effect(ModWriter::kVibrato,
                               static_cast<uint8_t>(vibratoStarted ? 0 : ins.vibrato));
                }
                vibratoStarted = true;
            } else if (owed >= 1) {
                const int steps = std::min(15, static_cast<int>(owed));
                c = effect(ModWriter::kExtended,
                           static_cast<uint8_t>(ModWriter::kFineVolumeDown | steps));
                owed -= steps;
            }
        }
    }

    void melody(int channel, int index, const char* text) {
        if (index < 0) {
            fail("a melody without an instrument");
        }
        const SongInstrument& ins = instrument(index);
        const std::vector<Note> notes = parseMelody(text);
        int previous = -1;
        for (size_t i = 0; i < notes.size(); ++i) {
            const Note& n = notes[i];
            if (n.tie) {
                hold(n.row - 1, n.length + 1, channel, ins, nullptr);
                if (n.row == 0) {
                    at(0, channel) = Cell{};  // holds on from the pattern before
                }
                continue;
            }
            if (n.midi < 0) {
                at(n.row, channel) = kCut;
                previous = -1;
                continue;
            }
            // Ties that follow lengthen the note.
            int length = n.length;
            for (size_t j = i + 1; j < notes.size() && notes[j].tie; ++j) {
                length += notes[j].length;
            }
            const double accent = n.accent ? kAccent : (n.soft ? kSoft : kPlain);
            if (n.slide && previous >= 0) {
                const int from = ModWriter::period(previous - ins.sound.midiAtNote0);
                const int to = ModWriter::period(n.midi - ins.sound.midiAtNote0);
                Cell& c = at(n.row, channel);
                c.note = n.midi - ins.sound.midiAtNote0;
                c.sample = 0;  // no new strike: the sounding note glides
                c.effect = ModWriter::kTonePortamento;
                c.param = static_cast<uint8_t>(
                    std::clamp((std::abs(from - to) + kSlideTicks - 1) / kSlideTicks, 1, 255));
            } else {
                strike(
                    n.row, channel, index, n.midi,
                    volumeOf(ins, plan_.loudness, accent, section_.level * section_.mix[channel]));
            }
            hold(n.row, length, channel, ins, &n);
            previous = n.midi;
        }
    }

    int bassRoot(const Chord& c) const {
        return section_.bassLow + ((c.bass - section_.bassLow) % 12 + 12) % 12;
    }

    // The root of the next chord after `row` (this chord's if none follows).
    int nextBassRoot(int row) const {
        for (int r = row + 1; r < kRows; ++r) {
            if (!(chords_[r] == chords_[row])) {
                return bassRoot(chords_[r]);
            }
        }
        return bassRoot(chords_[row]);
    }

    void bass(const char* figure) {
        const SongInstrument& ins = instrument(section_.bass);
        const int len = static_cast<int>(std::strlen(figure));
        if (len != kRowsPerBar && len != 2 * kRowsPerBar) {
            fail(std::string("a bass figure of one or two bars: ") + figure);
        }
        int noteRow = -1;
        int previous = -1;
        for (int r = 0; r <= kRows; ++r) {
            const char ch = r < kRows ? figure[r % len] : '.';
            if (ch == '-') {
                continue;
            }
            if (noteRow >= 0) {
                hold(noteRow, r - noteRow, SongWriter::kBass, ins, nullptr);
                noteRow = -1;
            }
            if (r == kRows) {
                break;
            }
            if (ch == '.') {
                at(r, SongWriter::kBass) = kCut;
                previous = -1;
                continue;
            }
            const Chord& c = chords_[r];
            const int root = bassRoot(c);
            int midi = root;
            switch (ch) {
                case 'R':
                case 'r':
                    midi = root;
                    break;
                case 'O':
                case 'o':
                    midi = root + 12;
                    break;
                case 'F':
                    midi = root + 7;
                    break;
                case 'f':
                    midi = root - 5;
                    break;
                case '3':
                    midi = root + c.intervals.at(1);
                    break;
                case '7':
                    midi = root +
                           (c.intervals.size() > 3 && c.intervals[3] < 12 ? c.intervals[3] : 12);
                    break;
                case 'a':
                    midi = nextBassRoot(r) - 1;
                    break;
                default:
                    fail(std::string("unknown bass mark in ") + figure);
            }
            const bool slide = (ch == 'r' || ch == 'o') && previous >= 0;
            if (slide) {
                Note n;
                n.slide = true;
                const int from = ModWriter::period(previous - ins.sound.midiAtNote0);
                const int to = ModWriter::period(midi - ins.sound.midiAtNote0);
                Cell& cell = at(r, SongWriter::kBass);
                cell.note = midi - ins.sound.midiAtNote0;
                cell.effect = ModWriter::kTonePortamento;
                cell.param = static_cast<uint8_t>(
                    std::clamp((std::abs(from - to) + kSlideTicks - 1) / kSlideTicks, 1, 255));
            } else {
                const double accent = r % 4 == 0 ? kOnBeat : kPlain;
                strike(r, SongWriter::kBass, section_.bass, midi,
                       volumeOf(ins, plan_.loudness, accent,
                                section_.level * section_.mix[SongWriter::kBass]));
            }
            previous = midi;
            noteRow = r;
        }
    }

    // The chord's tones from `low` up, over two octaves.
    std::vector<int> voicing(const Chord& c, int low) const {
        std::vector<int> tones;
        for (int m = low; m < low + 24; ++m) {
            if (c.has(m % 12)) {
                tones.push_back(m);
            }
        }
        return tones;
    }

    void comp(const char* figure) {
        const SongInstrument& ins = instrument(section_.comp);
        const int len = static_cast<int>(std::strlen(figure));
        if (len != kRowsPerBar && len != 2 * kRowsPerBar) {
            fail(std::string("an accompaniment figure of one or two bars: ") + figure);
        }
        int noteRow = -1;
        bool chordHeld = false;
        uint8_t arpeggio = 0;
        for (int r = 0; r <= kRows; ++r) {
            const char ch = r < kRows ? figure[r % len] : '.';
            if (ch == '-') {
                if (chordHeld) {
                    at(r, SongWriter::kComp) = effect(ModWriter::kArpeggio, arpeggio);
                }
                continue;
            }
            if (noteRow >= 0 && !chordHeld) {
                hold(noteRow, r - noteRow, SongWriter::kComp, ins, nullptr);
            }
            noteRow = -1;
            chordHeld = false;
            if (r == kRows) {
                break;
            }
            if (ch == '.') {
                at(r, SongWriter::kComp) = kCut;
                continue;
            }
            const std::vector<int> tones = voicing(chords_[r], section_.compLow);
            const double accent = r % 4 == 0 ? kOnBeat : kPlain;
            const int volume = volumeOf(ins, plan_.loudness, accent,
                                        section_.level * section_.mix[SongWriter::kComp]);
            if (ch == 'x') {
                strike(r, SongWriter::kComp, section_.comp, tones[0], volume);
                // The arpeggio takes the effect column: the volume goes with
                // the sample's own.
                arpeggio =
                    static_cast<uint8_t>(((tones[1] - tones[0]) << 4) | (tones[2] - tones[0]));
                at(r, SongWriter::kComp).effect = ModWriter::kArpeggio;
                at(r, SongWriter::kComp).param = arpeggio;
                chordHeld = true;
            } else if (ch >= '1' && ch <= '9') {
                strike(r, SongWriter::kComp, section_.comp, tones.at(ch - '1'), volume);
            } else {
                fail(std::string("unknown accompaniment mark in ") + figure);
            }
            noteRow = r;
        }
    }

    // Two voices holding chord tones, each moving to the nearest tone of the
    // next chord, struck softly and swelling a little.
    void pad(bool useFirst, bool useSecond) {
        const SongInstrument& ins = instrument(section_.pad);
        int a = section_.padLow + 4, b = section_.padLow + 10;
        auto nearest = [&](const Chord& c, int from, int avoid) {
            int best = -1;
            for (int m = section_.padLow; m < section_.padLow + 15; ++m) {
                if (c.has(m % 12) && m % 12 != avoid % 12 &&
                    (best < 0 || std::abs(m - from) < std::abs(best - from))) {
                    best = m;
                }
            }
            return best;
        };
        for (int r = 0; r < kRows;) {
            int end = r + 1;
            while (end < kRows && chords_[end] == chords_[r]) {
                ++end;
            }
            // A chord longer than a bar is struck again each bar, so that
            // no voice holds one tone for long.
            end = std::min(end, r + kRowsPerBar);
            const Chord& c = chords_[r];
            a = nearest(c, a, -1);
            b = nearest(c, b, a);
            if (std::abs(b - a) < 3) {
                b = nearest(c, a + 7, a);
            }
            for (auto [channel, midi] : {std::pair{SongWriter::kPad1, a}, {SongWriter::kPad2, b}}) {
                if ((channel == SongWriter::kPad1 && !useFirst) ||
                    (channel == SongWriter::kPad2 && !useSecond)) {
                    continue;
                }
                strike(
                    r, channel, section_.pad, midi,
                    volumeOf(ins, plan_.loudness, kPlain, section_.level * section_.mix[channel]));
                // It breathes: a swell of about 3 dB over the first quarter
                // of the bar, then a fade back over the rest.
                for (int k = 1; k < end - r; ++k) {
                    if (k <= 4) {
                        at(r + k, channel) =
                            effect(ModWriter::kExtended, ModWriter::kFineVolumeUp | 3);
                    } else if (k >= 6) {
                        at(r + k, channel) = effect(
                            ModWriter::kExtended, static_cast<uint8_t>(ModWriter::kFineVolumeDown |
                                                                       (k % 3 == 0 ? 2 : 1)));
                    }
                }
            }
            r = end;
        }
    }

    // Channel 6 repeats channel 0 a dotted eighth later and softer.
    void echo() {
        for (int r = kRows - 1 - kEchoRows; r >= 0; --r) {
            Cell c = at(r, SongWriter::kLead);
            if (c.note >= 0 && c.sample == 0) {
                c.sample = section_.lead + 1;  // a slide echoes as a new note
                c.effect = ModWriter::kSetVolume;
                c.param = static_cast<uint8_t>(instrument(section_.lead).volume);
            }
            if (c.effect == ModWriter::kTonePortamento) {
                c.effect = 0;
                c.param = 0;
            }
            if (c.effect == ModWriter::kSetVolume && c.param > 0) {
                c.param = static_cast<uint8_t>(std::max(1L, std::lround(c.param * kEchoLevel)));
            }
            at(r + kEchoRows, SongWriter::kPad2) = c;
        }
        if (!at(0, SongWriter::kPad2).hasEffect()) {
            at(0, SongWriter::kPad2) = kCut;
        }
    }

    void drums() {
        const Groove& groove = section_.grooves.at(plan_.groove);
        const Groove* fill = plan_.fill >= 0 ? &section_.fills.at(plan_.fill) : nullptr;
        for (int r = 0; r < kRows; ++r) {
            const bool filling = fill != nullptr && r >= kRows - kRowsPerBar;
            const Groove& g = filling ? *fill : groove;
            auto mark = [&](const char* line) {
                if (line == nullptr) {
                    return '-';
                }
                const int len = static_cast<int>(std::strlen(line));
                if (len != kRowsPerBar && len != 2 * kRowsPerBar) {
                    fail(std::string("a drum line of one or two bars: ") + line);
                }
                return line[r % len];
            };
            drum(r, SongWriter::kKit, mark(g.kit));
            drum(r, SongWriter::kHats, mark(g.hats));
            drum(r, SongWriter::kPerc, mark(g.perc));
        }
    }

    void drum(int r, int channel, char mark) {
        if (mark == '-') {
            return;
        }
        if (mark == 'x') {
            at(r, channel) = kCut;
            return;
        }
        const bool accent = mark >= 'A' && mark <= 'Z';
        const char m = static_cast<char>(accent ? mark - 'A' + 'a' : mark);
        int index = -1;
        int midi = instruments::kDrumMidi;
        double level = accent ? kAccent : kPlain;
        const std::vector<SongInstrument>& ins = song_.instruments;
        auto named = [&](const char* name) {
            for (size_t i = 0; i < ins.size(); ++i) {
                if (ins[i].sound.name == name) {
                    return static_cast<int>(i);
                }
            }
            fail(std::string("the song has no ") + name);
        };
        if (channel == SongWriter::kKit) {
            if (m == 'k') {
                index = named("kick");
            } else if (m == 's' || m == 'g') {
                index = named("snare");
                level = m == 'g' ? kGhost : level;
            }
        } else if (channel == SongWriter::kHats) {
            if (m == 'h') {
                index = named("closed hat");
            } else if (m == 'o') {
                index = named("open hat");
            } else if (m == 't') {
                index = section_.hand;
            }
        } else if (m == 'c') {
            index = section_.hand;
        } else if (m == 'h' || m == 'm' || m == 'l') {
            index = section_.tom;
            midi += m == 'h' ? 7 : (m == 'm' ? 2 : -3);
        }
        if (index < 0) {
            fail(std::string("unknown drum mark ") + mark);
        }
        strike(r, channel, index, midi,
               volumeOf(instrument(index), plan_.loudness, level,
                        section_.level * section_.mix[channel]));
    }

    ModWriter& mod_;
    int pattern_;
    const SongPlan& song_;
    const SectionPlan& section_;
    const PatternPlan& plan_;
    std::array<Chord, kRows> chords_;
};

// The row of a channel's first note in a pattern (kRows if none).
int firstNote(const ModWriter& mod, int pattern, int channel) {
    for (int r = 0; r < kRows; ++r) {
        if (mod.cell(pattern, r, channel).note >= 0) {
            return r;
        }
    }
    return kRows;
}

// A sample number that no instrument uses: libmikmod's loader turns a cell
// that names an empty sample into a note cut, which leaves the cell's effect
// column free.
constexpr int kSilentSample = ModWriter::kMaxSamples;

// A section's first row sets the tempo and places every channel in the
// stereo field (libmikmod would otherwise pan them hard left and right). A
// pan must come no later than the channel's first note; where that note
// needs the effect column for its volume, the pan takes it and the note's
// volume goes into its sample's header (`headerVolume`), the one a note
// without a volume command plays at.
void setUp(ModWriter& mod, int pattern, int tempo, std::vector<int>& headerVolume,
           std::vector<bool>& headerSet) {
    // Cuts on the first row move out of the effect column.
    for (int ch = 0; ch < SongWriter::kChannels; ++ch) {
        Cell& c = mod.cell(pattern, 0, ch);
        if (c.note < 0 && c.sample == 0 && c.effect == ModWriter::kSetVolume && c.param == 0) {
            c = Cell{};
            c.sample = kSilentSample;
        }
    }
    int tempoChannel = -1;
    for (int ch = SongWriter::kChannels - 1; ch >= 0 && tempoChannel < 0; --ch) {
        if (mod.cell(pattern, 0, ch).note < 0 && !mod.cell(pattern, 0, ch).hasEffect()) {
            tempoChannel = ch;
        }
    }
    if (tempoChannel < 0) {
        fail("a section's first row has no room for its tempo");
    }
    mod.cell(pattern, 0, tempoChannel).effect = ModWriter::kSpeed;
    mod.cell(pattern, 0, tempoChannel).param = static_cast<uint8_t>(tempo);
    for (int ch = 0; ch < SongWriter::kChannels; ++ch) {
        const int first = std::min(firstNote(mod, pattern, ch), kRows - 1);
        int row = 0;
        while (row < first && mod.cell(pattern, row, ch).hasEffect()) {
            ++row;
        }
        Cell& c = mod.cell(pattern, row, ch);
        if (c.hasEffect()) {
            if (c.effect != ModWriter::kSetVolume || c.note < 0 || c.sample < 1) {
                fail("no room for channel " + std::to_string(ch) + "'s place at a section's start");
            }
            const size_t sample = static_cast<size_t>(c.sample - 1);
            if (!headerSet[sample]) {
                headerVolume[sample] = c.param;
                headerSet[sample] = true;
            }
        }
        c.effect = ModWriter::kPanning;
        c.param = kPan[ch];
    }
}

// The last row of a pattern jumps to `position`: the effect goes to a channel
// with a free effect column there, or else takes one that only shapes a
// held note.
void jump(ModWriter& mod, int pattern, int position) {
    const int row = kRows - 1;
    int best = -1;
    for (int ch = SongWriter::kChannels - 1; ch >= 0; --ch) {
        const Cell& c = mod.cell(pattern, row, ch);
        if (!c.hasEffect()) {
            best = ch;
            break;
        }
        if (best < 0 && c.note < 0 && c.effect != ModWriter::kSetVolume) {
            best = ch;
        }
    }
    if (best < 0) {
        fail("no room for a jump at a pattern's end");
    }
    Cell& c = mod.cell(pattern, row, best);
    c.effect = ModWriter::kPositionJump;
    c.param = static_cast<uint8_t>(position);
}

}  // namespace

int SongWriter::startPosition(int index, int sections) {
    return sections == 1 ? 0 : index * kPositionsPerSection;
}

ModWriter SongWriter::write(const SongPlan& song) {
    ModWriter mod(song.title, kChannels);
    if (song.instruments.size() >= static_cast<size_t>(kSilentSample)) {
        fail("too many instruments");
    }
    std::vector<int> headerVolume;
    for (const SongInstrument& ins : song.instruments) {
        headerVolume.push_back(ins.volume);
    }
    std::vector<bool> headerSet(headerVolume.size(), false);
    const int sections = static_cast<int>(song.sections.size());
    if (sections != 1 && sections != 3) {
        fail("a song has one section or three");
    }
    int overflow = kOverflowPosition;
    for (int s = 0; s < sections; ++s) {
        const SectionPlan& section = song.sections[s];
        const int home = startPosition(s, sections);
        const int count = static_cast<int>(section.patterns.size());
        if (count == 0) {
            fail("a section without patterns");
        }
        std::vector<int> positions;
        for (int i = 0; i < count; ++i) {
            const bool inHome = sections == 1 || i < kPositionsPerSection;
            positions.push_back(inHome ? home + i : overflow++);
        }
        int first = -1;
        for (int i = 0; i < count; ++i) {
            const int p = mod.addPattern();
            first = first < 0 ? p : first;
            PatternWriter(mod, p, song, section, section.patterns[i]).write();
            mod.setOrder(positions[i], p);
            if (i + 1 == count) {
                jump(mod, p, home);
            } else if (positions[i + 1] != positions[i] + 1) {
                jump(mod, p, positions[i + 1]);
            }
        }
        setUp(mod, first, section.tempo, headerVolume, headerSet);
        // Positions of a short section that are never reached.
        for (int i = count; sections > 1 && i < kPositionsPerSection; ++i) {
            mod.setOrder(home + i, first);
        }
    }
    for (size_t i = 0; i < song.instruments.size(); ++i) {
        const Instrument& sound = song.instruments[i].sound;
        mod.addSample({sound.name, sound.data, headerVolume[i], sound.loopStart, sound.loopLength});
    }
    return mod;
}
