#pragma once
// Writes one pattern of a module from its plan: the melody and
// counter-melody, the bass and accompaniment figures voiced over the chords,
// the pad's two voices, the melody's echo and the drums, each note shaped
// with volume effects as it is held (ProTracker has no envelopes). A channel
// that plays nothing in the pattern is cut at its first row, so that no note
// drones on from the pattern before.
//
//   Arranger(mod, pattern, song, section, plan).write();

#include <array>
#include <vector>

#include "tools/musicgen/MelodyParser.h"
#include "tools/musicgen/ModWriter.h"
#include "tools/musicgen/SongPlan.h"

class Arranger {
public:
    // Writes into pattern `pattern` of `mod`, which must be empty; the plans
    // must outlive the arranger.
    Arranger(ModWriter& mod, int pattern, const SongPlan& song, const SectionPlan& section,
             const PatternPlan& plan);
    void write();

private:
    using Cell = ModWriter::Cell;

    Cell& at(int row, int channel);
    const SongInstrument& instrument(int index) const;
    void strike(int row, int channel, int index, int midi, int volume);
    void glide(int row, int channel, const SongInstrument& ins, int fromMidi, int toMidi);
    // The volume shaping of a note held from `row` for `length` rows (`row`
    // is -1 for a note held over from the pattern before).
    void hold(int row, int length, int channel, const SongInstrument& ins, const Note* n);

    void melody(int channel, int index, const char* text);
    int bassRoot(const Chord& c) const;
    int nextBassRoot(int row) const;
    int bassNote(char ch, int row, const char* figure) const;
    void bass(const char* figure);
    std::vector<int> voicing(const Chord& c, int low) const;
    void comp(const char* figure);
    void pad(bool useFirst, bool useSecond);
    void echo();
    void drums();
    void drum(int r, int channel, char mark);

    ModWriter& mod_;
    int pattern_;
    const SongPlan& song_;
    const SectionPlan& section_;
    const PatternPlan& plan_;
    std::array<Chord, ModWriter::kRows> chords_;
};
