#include "tools/musicgen/Arranger.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/musicgen/Refuse.h"

namespace {

using Cell = ModWriter::Cell;

constexpr int kRows = ModWriter::kRows;
constexpr int kRowsPerBar = MelodyParser::kRowsPerBar;
constexpr int kSpeed = 6;  // ticks per row, libmikmod's default: never changed
// Loudness 1..4 as a share of an instrument's full volume.
constexpr double kLoudness[] = {0.0, 0.72, 0.82, 0.91, 1.0};
constexpr double kAccent = 1.0;
constexpr double kPlain = 0.82;
// The bass leans on the beat a little; the accompaniment and the hats step
// back there, where bass and kick strike: every channel's accent on the
// same row would pile up into the mix's peaks.
constexpr double kOnBeat = 0.84;
constexpr double kAside = 0.72;
constexpr double kSoft = 0.6;
// The echo: a dotted eighth later, a little under half as loud.
constexpr int kEchoRows = 3;
constexpr double kEchoLevel = 0.45;
// Slides reach their note within about this many ticks.
constexpr int kSlideTicks = 8;

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

}  // namespace

Arranger::Arranger(ModWriter& mod, int pattern, const SongPlan& song, const SectionPlan& section,
                   const PatternPlan& plan)
    : mod_(mod),
      pattern_(pattern),
      song_(song),
      section_(section),
      plan_(plan),
      chords_(MelodyParser::chords(plan.chords)) {}

void Arranger::write() {
    if (plan_.lead != nullptr) {
        melody(kLead, section_.lead, plan_.lead);
    }
    if (plan_.counter != nullptr) {
        melody(kPad1, section_.counter, plan_.counter);
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
    for (int ch = 0; ch < kChannels; ++ch) {
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

Cell& Arranger::at(int row, int channel) {
    return mod_.cell(pattern_, row, channel);
}

const SongInstrument& Arranger::instrument(int index) const {
    if (index < 0 || index >= static_cast<int>(song_.instruments.size())) {
        refuse("a section plays an instrument it does not have");
    }
    return song_.instruments[index];
}

void Arranger::strike(int row, int channel, int index, int midi, int volume) {
    const SongInstrument& ins = instrument(index);
    const int note = midi - ins.sound.midiAtNote0;
    if (note < 0 || note >= ModWriter::kNotes) {
        refuse(ins.sound.name + " cannot play MIDI note " + std::to_string(midi));
    }
    Cell& c = at(row, channel);
    c.note = note;
    c.sample = index + 1;
    c.effect = ModWriter::kSetVolume;
    c.param = static_cast<uint8_t>(volume);
}

void Arranger::hold(int row, int length, int channel, const SongInstrument& ins, const Note* n) {
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
                static_cast<int>(std::ceil(start * 0.75 / ((length - 1) * (kSpeed - 1)))), 1, 15);
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

// A slide from `fromMidi` into `toMidi` at `row`: no new strike, the
// sounding note glides there within about kSlideTicks ticks.
void Arranger::glide(int row, int channel, const SongInstrument& ins, int fromMidi, int toMidi) {
    const int from = ModWriter::period(fromMidi - ins.sound.midiAtNote0);
    const int to = ModWriter::period(toMidi - ins.sound.midiAtNote0);
    Cell& c = at(row, channel);
    c.note = toMidi - ins.sound.midiAtNote0;
    c.sample = 0;
    c.effect = ModWriter::kTonePortamento;
    c.param = static_cast<uint8_t>(
        std::clamp((std::abs(from - to) + kSlideTicks - 1) / kSlideTicks, 1, 255));
}

void Arranger::melody(int channel, int index, const char* text) {
    if (index < 0) {
        refuse("a melody without an instrument");
    }
    const SongInstrument& ins = instrument(index);
    const std::vector<Note> notes = MelodyParser::melody(text);
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
            glide(n.row, channel, ins, previous, n.midi);
        } else {
            strike(n.row, channel, index, n.midi,
                   volumeOf(ins, plan_.loudness, accent, section_.level * section_.mix[channel]));
        }
        hold(n.row, length, channel, ins, &n);
        previous = n.midi;
    }
}

int Arranger::bassRoot(const Chord& c) const {
    return section_.bassLow + ((c.bass - section_.bassLow) % 12 + 12) % 12;
}

// The root of the next chord after `row` (this chord's if none follows).
int Arranger::nextBassRoot(int row) const {
    for (int r = row + 1; r < kRows; ++r) {
        if (!(chords_[r] == chords_[row])) {
            return bassRoot(chords_[r]);
        }
    }
    return bassRoot(chords_[row]);
}

// The note a bass figure's mark `ch` asks for at `row`.
int Arranger::bassNote(char ch, int row, const char* figure) const {
    const Chord& c = chords_[row];
    const int root = bassRoot(c);
    switch (ch) {
        case 'R':
        case 'r':
            return root;
        case 'O':
        case 'o':
            return root + 12;
        case 'F':
            return root + 7;
        case 'f':
            return root - 5;
        case '3':
            return root + c.intervals.at(1);
        case '7':
            return root + (c.intervals.size() > 3 && c.intervals[3] < 12 ? c.intervals[3] : 12);
        case 'a':
            return nextBassRoot(row) - 1;
        default:
            refuse(std::string("unknown bass mark in ") + figure);
    }
}

void Arranger::bass(const char* figure) {
    const SongInstrument& ins = instrument(section_.bass);
    const int len = static_cast<int>(std::strlen(figure));
    if (len != kRowsPerBar && len != 2 * kRowsPerBar) {
        refuse(std::string("a bass figure of one or two bars: ") + figure);
    }
    int noteRow = -1;
    int previous = -1;
    for (int r = 0; r <= kRows; ++r) {
        const char ch = r < kRows ? figure[r % len] : '.';
        if (ch == '-') {
            continue;
        }
        if (noteRow >= 0) {
            hold(noteRow, r - noteRow, kBass, ins, nullptr);
            noteRow = -1;
        }
        if (r == kRows) {
            break;
        }
        if (ch == '.') {
            at(r, kBass) = kCut;
            previous = -1;
            continue;
        }
        const int midi = bassNote(ch, r, figure);
        const bool slide = (ch == 'r' || ch == 'o') && previous >= 0;
        if (slide) {
            glide(r, kBass, ins, previous, midi);
        } else {
            const double accent = r % 4 == 0 ? kOnBeat : kPlain;
            strike(r, kBass, section_.bass, midi,
                   volumeOf(ins, plan_.loudness, accent, section_.level * section_.mix[kBass]));
        }
        previous = midi;
        noteRow = r;
    }
}

// The chord's tones from `low` up, over two octaves.
std::vector<int> Arranger::voicing(const Chord& c, int low) const {
    std::vector<int> tones;
    for (int m = low; m < low + 24; ++m) {
        if (c.has(m % 12)) {
            tones.push_back(m);
        }
    }
    return tones;
}

void Arranger::comp(const char* figure) {
    const SongInstrument& ins = instrument(section_.comp);
    const int len = static_cast<int>(std::strlen(figure));
    if (len != kRowsPerBar && len != 2 * kRowsPerBar) {
        refuse(std::string("an accompaniment figure of one or two bars: ") + figure);
    }
    int noteRow = -1;
    bool chordHeld = false;
    uint8_t arpeggio = 0;
    for (int r = 0; r <= kRows; ++r) {
        const char ch = r < kRows ? figure[r % len] : '.';
        if (ch == '-') {
            if (chordHeld) {
                at(r, kComp) = effect(ModWriter::kArpeggio, arpeggio);
            }
            continue;
        }
        if (noteRow >= 0 && !chordHeld) {
            hold(noteRow, r - noteRow, kComp, ins, nullptr);
        }
        noteRow = -1;
        chordHeld = false;
        if (r == kRows) {
            break;
        }
        if (ch == '.') {
            at(r, kComp) = kCut;
            continue;
        }
        const std::vector<int> tones = voicing(chords_[r], section_.compLow);
        const double accent = r % 4 == 0 ? kAside : kPlain;
        const int volume =
            volumeOf(ins, plan_.loudness, accent, section_.level * section_.mix[kComp]);
        if (ch == 'x') {
            strike(r, kComp, section_.comp, tones[0], volume);
            // The arpeggio takes the effect column: the volume goes with
            // the sample's own.
            arpeggio = static_cast<uint8_t>(((tones[1] - tones[0]) << 4) | (tones[2] - tones[0]));
            at(r, kComp).effect = ModWriter::kArpeggio;
            at(r, kComp).param = arpeggio;
            chordHeld = true;
        } else if (ch >= '1' && ch <= '9') {
            strike(r, kComp, section_.comp, tones.at(ch - '1'), volume);
        } else {
            refuse(std::string("unknown accompaniment mark in ") + figure);
        }
        noteRow = r;
    }
}

// Two voices holding chord tones, each moving to the nearest tone of the
// next chord, struck softly and swelling a little.
void Arranger::pad(bool useFirst, bool useSecond) {
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
        for (auto [channel, midi] : {std::pair{kPad1, a}, {kPad2, b}}) {
            if ((channel == kPad1 && !useFirst) || (channel == kPad2 && !useSecond)) {
                continue;
            }
            strike(r, channel, section_.pad, midi,
                   volumeOf(ins, plan_.loudness, kPlain, section_.level * section_.mix[channel]));
            // It breathes: a small swell over the first quarter of the bar,
            // then a fade back over the rest, a volume step a row: enough
            // that no tone stands still, too little to pile up into peaks.
            for (int k = 1; k < end - r; ++k) {
                if (k <= 4) {
                    at(r + k, channel) = effect(ModWriter::kExtended, ModWriter::kFineVolumeUp | 1);
                } else if (k >= 6) {
                    at(r + k, channel) =
                        effect(ModWriter::kExtended, ModWriter::kFineVolumeDown | 1);
                }
            }
        }
        r = end;
    }
}

// Channel 6 repeats channel 0 a dotted eighth later and softer.
void Arranger::echo() {
    for (int r = kRows - 1 - kEchoRows; r >= 0; --r) {
        Cell c = at(r, kLead);
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
        at(r + kEchoRows, kPad2) = c;
    }
    if (!at(0, kPad2).hasEffect()) {
        at(0, kPad2) = kCut;
    }
}

void Arranger::drums() {
    const Groove& groove = section_.grooves.at(plan_.groove);
    const Groove* fill = plan_.fill >= 0 ? &section_.fills.at(plan_.fill) : nullptr;
    for (int r = 0; r < kRows; ++r) {
        const bool filling = fill != nullptr && r >= kRows - kRowsPerBar;
        const Groove& g = filling ? *fill : groove;
        auto mark = [&](const char* line) {
            if (line == nullptr) {
                return '-';
            }
            const size_t len = std::strlen(line);
            if (len != kRowsPerBar && len != 2 * kRowsPerBar && len != kRows) {
                refuse(std::string("a drum line of one, two or four bars: ") + line);
            }
            return line[static_cast<size_t>(r) % len];
        };
        drum(r, kKit, mark(g.kit));
        drum(r, kHats, mark(g.hats));
        drum(r, kPerc, mark(g.perc));
    }
}

void Arranger::drum(int r, int channel, char mark) {
    if (mark == '-') {
        return;
    }
    if (mark == 'x') {
        at(r, channel) = kCut;
        return;
    }
    const bool accent = mark >= 'A' && mark <= 'Z';
    const char m = static_cast<char>(accent ? mark - 'A' + 'a' : mark);
    for (const DrumSound& d : section_.kit) {
        if (d.mark == m) {
            strike(
                r, channel, d.instrument, instruments::kDrumMidi + d.semitones,
                volumeOf(instrument(d.instrument), plan_.loudness,
                         (accent ? kAccent : (channel == kHats && r % 4 == 0 ? kAside : kPlain)) *
                             d.level,
                         section_.level * section_.mix[channel]));
            return;
        }
    }
    refuse(std::string("a drum mark the section's kit does not have: ") + mark);
}
