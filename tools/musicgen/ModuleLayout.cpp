#include "tools/musicgen/ModuleLayout.h"

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/Sound.h"
#include "tools/musicgen/Arranger.h"
#include "tools/musicgen/Refuse.h"

namespace {

using Cell = ModWriter::Cell;
namespace sound = catalogue::sound;

constexpr int kRows = ModWriter::kRows;
// Where each section's patterns go once its own positions are full.
constexpr int kOverflowPosition = sound::kSectionCount * sound::kPositionsPerSection;
// A sample number that no instrument uses: libmikmod's loader turns a cell
// that names an empty sample into a note cut, which leaves the cell's effect
// column free.
constexpr int kSilentSample = ModWriter::kMaxSamples;

// The row of a channel's first note in a pattern (kRows if none).
int firstNote(const ModWriter& mod, int pattern, int channel) {
    for (int r = 0; r < kRows; ++r) {
        if (mod.cell(pattern, r, channel).note >= 0) {
            return r;
        }
    }
    return kRows;
}

// A section's first row sets the tempo and places every channel in the
// stereo field (libmikmod would otherwise pan them hard left and right). A
// pan must come no later than the channel's first note; where that note
// needs the effect column for its volume, the pan takes it and the note's
// volume goes into its sample's header (`headerVolume`), the one a note
// without a volume command plays at.
void setUp(ModWriter& mod, int pattern, const SectionPlan& section, std::vector<int>& headerVolume,
           std::vector<bool>& headerSet) {
    // Cuts on the first row move out of the effect column.
    for (int ch = 0; ch < kChannels; ++ch) {
        Cell& c = mod.cell(pattern, 0, ch);
        if (c.note < 0 && c.sample == 0 && c.effect == ModWriter::kSetVolume && c.param == 0) {
            c = Cell{};
            c.sample = kSilentSample;
        }
    }
    int tempoChannel = -1;
    for (int ch = kChannels - 1; ch >= 0 && tempoChannel < 0; --ch) {
        if (mod.cell(pattern, 0, ch).note < 0 && !mod.cell(pattern, 0, ch).hasEffect()) {
            tempoChannel = ch;
        }
    }
    if (tempoChannel < 0) {
        refuse("a section's first row has no room for its tempo");
    }
    mod.cell(pattern, 0, tempoChannel).effect = ModWriter::kSpeed;
    mod.cell(pattern, 0, tempoChannel).param = static_cast<uint8_t>(section.tempo);
    for (int ch = 0; ch < kChannels; ++ch) {
        const int first = std::min(firstNote(mod, pattern, ch), kRows - 1);
        int row = 0;
        while (row < first && mod.cell(pattern, row, ch).hasEffect()) {
            ++row;
        }
        Cell& c = mod.cell(pattern, row, ch);
        if (c.hasEffect()) {
            if (c.effect != ModWriter::kSetVolume || c.note < 0 || c.sample < 1) {
                refuse("no room for channel " + std::to_string(ch) +
                       "'s place at a section's start");
            }
            const size_t sample = static_cast<size_t>(c.sample - 1);
            if (!headerSet[sample]) {
                headerVolume[sample] = c.param;
                headerSet[sample] = true;
            }
        }
        c.effect = ModWriter::kPanning;
        c.param = section.pan[ch];
    }
}

// The last row of a pattern jumps to `position`: the effect goes to a channel
// with a free effect column there, or else takes one that only shapes a
// held note.
void jump(ModWriter& mod, int pattern, int position) {
    const int row = kRows - 1;
    int best = -1;
    for (int ch = kChannels - 1; ch >= 0; --ch) {
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
        refuse("no room for a jump at a pattern's end");
    }
    Cell& c = mod.cell(pattern, row, best);
    c.effect = ModWriter::kPositionJump;
    c.param = static_cast<uint8_t>(position);
}

// Lays out `section`'s patterns from song position `home` (the overflow past
// the sections' own positions counts on in `overflow`) and sets up its
// first row.
void layOut(ModWriter& mod, const SongPlan& song, const SectionPlan& section, int home, bool alone,
            int& overflow, std::vector<int>& headerVolume, std::vector<bool>& headerSet) {
    const int count = static_cast<int>(section.patterns.size());
    if (count == 0) {
        refuse("a section without patterns");
    }
    std::vector<int> positions;
    for (int i = 0; i < count; ++i) {
        const bool inHome = alone || i < sound::kPositionsPerSection;
        positions.push_back(inHome ? home + i : overflow++);
    }
    int first = -1;
    for (int i = 0; i < count; ++i) {
        const int p = mod.addPattern();
        first = first < 0 ? p : first;
        Arranger(mod, p, song, section, section.patterns[i]).write();
        mod.setOrder(positions[i], p);
        if (i + 1 == count) {
            jump(mod, p, home);
        } else if (positions[i + 1] != positions[i] + 1) {
            jump(mod, p, positions[i + 1]);
        }
    }
    setUp(mod, first, section, headerVolume, headerSet);
    // Positions of a short section that are never reached.
    for (int i = count; !alone && i < sound::kPositionsPerSection; ++i) {
        mod.setOrder(home + i, first);
    }
}

}  // namespace

ModWriter ModuleLayout::write(const SongPlan& song) {
    ModWriter mod(song.title, kChannels);
    if (song.instruments.size() >= static_cast<size_t>(kSilentSample)) {
        refuse("too many instruments");
    }
    std::vector<int> headerVolume;
    for (const SongInstrument& ins : song.instruments) {
        headerVolume.push_back(ins.volume);
    }
    std::vector<bool> headerSet(headerVolume.size(), false);
    const int sections = static_cast<int>(song.sections.size());
    if (sections != 1 && sections != sound::kSectionCount) {
        refuse("a song has one section or one for each the game starts");
    }
    int overflow = kOverflowPosition;
    for (int s = 0; s < sections; ++s) {
        layOut(mod, song, song.sections[s], sound::sectionPosition(s), sections == 1, overflow,
               headerVolume, headerSet);
    }
    for (size_t i = 0; i < song.instruments.size(); ++i) {
        const Instrument& ins = song.instruments[i].sound;
        mod.addSample({ins.name, ins.data, headerVolume[i], ins.loopStart, ins.loopLength});
    }
    return mod;
}
