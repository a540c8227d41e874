#include "tools/musicgen/SongWriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/musicgen/Instruments.h"

namespace {

constexpr int kRowsPerBar = 16;
constexpr int kBars = 4;
constexpr int kLeadChannel = 0;
constexpr int kChordChannel = 1;
constexpr int kBassChannel = 2;
constexpr int kDrumChannel = 3;
// Default volumes (0..64) balance the four channels against each other.
constexpr int kLeadVolume = 34;
constexpr int kChordVolume = 23;
constexpr int kBassVolume = 40;
constexpr int kKickVolume = 46;
constexpr int kSnareVolume = 35;
constexpr int kHatVolume = 20;
// Lead vibrato on held notes: speed 4, depth 2 (gentle).
constexpr uint8_t kLeadVibrato = 0x42;
// Held lead notes start the vibrato this many rows after the attack.
constexpr int kVibratoDelay = 6;

void fail(const std::string& what) {
    std::fprintf(stderr, "duobrik-musicgen: %s\n", what.c_str());
    std::exit(1);
}

// The rows of a phrase or figure with the spaces taken out; `bars` long.
std::string rows(const char* text, int bars) {
    std::string out;
    for (const char* c = text; *c != 0; ++c) {
        if (*c != ' ') {
            out += *c;
        }
    }
    if (static_cast<int>(out.size()) != bars * kRowsPerBar) {
        fail(std::string("wrong length: ") + text);
    }
    return out;
}

// Scale degree of a phrase character, or nothing.
bool degreeOf(char c, int& degree) {
    if (c >= '0' && c <= '9') {
        degree = c - '0';
    } else if (c >= 'A' && c <= 'C') {
        degree = 10 + (c - 'A');
    } else if (c == 'z' || c == 'y') {
        degree = c == 'z' ? -1 : -2;
    } else {
        return false;
    }
    return true;
}

// Semitones of `degree` above the tonic in `mode` (any sign, any octave).
int semitones(const std::array<int, 7>& mode, int degree) {
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    return mode[degree - octave * 7] + 12 * octave;
}

// Brings a note into the module's three octaves, by octaves.
int fold(int note) {
    while (note > ModWriter::kNotes - 1)
        note -= 12;
    while (note < 0)
        note += 12;
    return note;
}

}  // namespace

SongWriter::SongWriter(ModWriter& mod) : mod_(mod) {
    auto add = [&](const char* name, Instrument in, int volume) {
        return mod_.addSample(name, std::move(in.data), volume, in.loopStart, in.loopLength);
    };
    ins_.lead = add("pulse lead", instruments::lead(), kLeadVolume);
    ins_.chord = add("square chord", instruments::chord(), kChordVolume);
    ins_.bass = add("bass", instruments::bass(), kBassVolume);
    ins_.kick = add("kick", instruments::kick(), kKickVolume);
    ins_.snare = add("snare", instruments::snare(), kSnareVolume);
    ins_.hat = add("closed hat", instruments::closedHat(), kHatVolume);
    ins_.openHat = add("open hat", instruments::openHat(), kHatVolume);
}

void SongWriter::addSection(const SongSection& s) {
    const int first = mod_.orderCount();
    for (size_t step = 0; step < s.plan.size(); ++step) {
        const SongSection::Step& st = s.plan[step];
        const int index = mod_.addPattern();
        ModWriter::Pattern& p = mod_.pattern(index);
        std::string roots;
        for (const char* c = s.progressions[st.progression]; *c != 0; ++c) {
            if (*c != ' ')
                roots += *c;
        }
        if (roots.size() != kBars)
            fail("a progression has four bars");
        const std::string lead = st.phrase >= 0 ? rows(s.phrases[st.phrase], kBars) : "";
        const std::string bass = rows(s.bassFigure, 1);
        const std::string chord = rows(s.chordFigure, 1);
        const std::string groove = rows(s.drumGroove, 1);
        const std::string fill = rows(s.drumFill, 1);

        int held = 0;  // rows since the lead's last note
        for (int r = 0; r < ModWriter::kRows; ++r) {
            const int bar = r / kRowsPerBar;
            const int inBar = r % kRowsPerBar;
            const int root = roots[bar] - '0';

            // Lead.
            ModWriter::Cell& l = p[r][kLeadChannel];
            int degree = 0;
            if (!lead.empty() && degreeOf(lead[r], degree)) {
                l.note = fold(s.leadOctave + s.tonic + semitones(s.mode, degree));
                l.sample = ins_.lead;
                held = 0;
            } else if (!lead.empty() && lead[r] == '.') {
                l.effect = ModWriter::kSetVolume;
                l.param = 0;
            } else if (!lead.empty() && ++held >= kVibratoDelay) {
                l.effect = ModWriter::kVibrato;
                l.param = kLeadVibrato;
            }

            // Chords: the root note with the third and fifth of the mode as
            // an arpeggio on every row.
            ModWriter::Cell& c = p[r][kChordChannel];
            const int third = semitones(s.mode, root + 2) - semitones(s.mode, root);
            const int fifth = semitones(s.mode, root + 4) - semitones(s.mode, root);
            if (chord[inBar] == 'x') {
                int note = s.tonic + semitones(s.mode, root);
                if (note > 14)
                    note -= 12;  // keep the chord below the lead
                c.note = fold(note);
                c.sample = ins_.chord;
            }
            if (chord[inBar] == '.') {
                c.effect = ModWriter::kSetVolume;
                c.param = 0;
            } else {
                c.effect = ModWriter::kArpeggio;
                c.param = static_cast<uint8_t>((third << 4) | fifth);
            }

            // Bass: degrees above the chord's root, low octave.
            ModWriter::Cell& b = p[r][kBassChannel];
            if (degreeOf(bass[inBar], degree)) {
                int note = s.tonic + semitones(s.mode, root + degree);
                if (note > 17)
                    note -= 12;  // keep it low
                b.note = fold(note);
                b.sample = ins_.bass;
            } else if (bass[inBar] == '.') {
                b.effect = ModWriter::kSetVolume;
                b.param = 0;
            }

            // Drums.
            ModWriter::Cell& d = p[r][kDrumChannel];
            if (st.drums != 0) {
                const char hit = (st.drums == 2 && bar == kBars - 1) ? fill[inBar] : groove[inBar];
                if (hit == 'k') {
                    d.note = 12;  // C-2
                    d.sample = ins_.kick;
                } else if (hit == 's') {
                    d.note = 24;  // C-3
                    d.sample = ins_.snare;
                } else if (hit == 'h' || hit == 'o') {
                    d.note = 35;  // B-3
                    d.sample = hit == 'h' ? ins_.hat : ins_.openHat;
                }
            }
        }
        // The section's first row sets its pace; its last row jumps back.
        if (step == 0) {
            p[0][kDrumChannel].effect = ModWriter::kSpeed;
            p[0][kDrumChannel].param = static_cast<uint8_t>(s.speed);
            p[0][kBassChannel].effect = ModWriter::kSpeed;
            p[0][kBassChannel].param = static_cast<uint8_t>(s.tempo);
        }
        if (step + 1 == s.plan.size()) {
            ModWriter::Cell& jump = p[ModWriter::kRows - 1][kBassChannel];
            jump.effect = ModWriter::kPositionJump;
            jump.param = static_cast<uint8_t>(first);
        }
        mod_.appendOrder(index);
    }
}
