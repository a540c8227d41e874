// The two modules read back from the bytes the generator writes: each section
// starts where the game starts it, stays within its own song positions,
// plays long enough before it repeats, and never lets a channel hold a note
// through a pattern in which it plays nothing. A malformed song is refused.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "catalogue/Sound.h"
#include "tools/musicgen/ModuleLayout.h"
#include "tools/musicgen/Songs.h"

namespace {

// A module as libmikmod's MOD loader sees it, as far as the tests need.
struct Module {
    struct Cell {
        int period = 0;
        int sample = 0;
        int effect = 0;
        int param = 0;
    };
    int channels = 0;
    std::vector<int> orders;
    std::vector<bool> looped;  // by sample number - 1
    std::vector<bool> empty;
    std::vector<std::vector<Cell>> patterns;  // row * channels + channel

    const Cell& at(int pattern, int row, int channel) const {
        return patterns.at(pattern).at(static_cast<size_t>(row * channels + channel));
    }
};

Module read(const std::vector<uint8_t>& b) {
    constexpr size_t kHeader = 20, kSampleHeader = 30, kSamples = 31;
    auto word = [&](size_t at) { return (b.at(at) << 8 | b.at(at + 1)) * 2; };
    Module m;
    for (size_t i = 0; i < kSamples; ++i) {
        const size_t h = kHeader + i * kSampleHeader;
        m.empty.push_back(word(h + 22) == 0);
        m.looped.push_back(word(h + 28) > 2);
    }
    const size_t songLength = b.at(950);
    for (size_t i = 0; i < songLength; ++i) {
        m.orders.push_back(b.at(952 + i));
    }
    const std::string tag(b.begin() + 1080, b.begin() + 1084);
    m.channels = tag == "M.K." ? 4 : tag[0] - '0';
    int patterns = 0;
    for (size_t i = 0; i < 128; ++i) {
        patterns = std::max(patterns, b.at(952 + i) + 1);
    }
    size_t at = 1084;
    for (int p = 0; p < patterns; ++p) {
        std::vector<Module::Cell> cells;
        for (int c = 0; c < 64 * m.channels; ++c, at += 4) {
            cells.push_back({(b.at(at) & 0x0F) << 8 | b.at(at + 1),
                             (b.at(at) & 0xF0) | b.at(at + 2) >> 4, b.at(at + 2) & 0x0F,
                             b.at(at + 3)});
        }
        m.patterns.push_back(cells);
    }
    return m;
}

struct Tune {
    const char* name;
    int start;
};

// One pass through a section as the player makes it: the positions in the
// order played and the seconds it takes.
struct Pass {
    std::vector<int> positions;
    double seconds = 0;
    bool loops = false;
};

Pass play(const Module& m, int start) {
    Pass pass;
    int position = start, speed = 6, tempo = 125;
    for (int steps = 0; steps < 128; ++steps) {
        if (position == start && steps > 0) {
            pass.loops = true;
            return pass;
        }
        pass.positions.push_back(position);
        const int pattern = m.orders.at(position);
        int next = position + 1;
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < m.channels; ++c) {
                const Module::Cell& cell = m.at(pattern, r, c);
                if (cell.effect == 0xF && cell.param > 0) {
                    (cell.param < 0x20 ? speed : tempo) = cell.param;
                }
                if (cell.effect == 0xB) {
                    next = cell.param;
                }
            }
            pass.seconds += speed * 2.5 / tempo;
        }
        position = next;
        if (position >= static_cast<int>(m.orders.size())) {
            return pass;  // runs off the song's end
        }
    }
    return pass;
}

const Module& three() {
    static const Module kModule = read(ModuleLayout::write(songs::play()).bytes());
    return kModule;
}

const Module& devils() {
    static const Module kModule = read(ModuleLayout::write(songs::title()).bytes());
    return kModule;
}

namespace sound = catalogue::sound;
constexpr Tune kSections[] = {{"calm", sound::sectionPosition(0)},
                              {"bright", sound::sectionPosition(1)},
                              {"driving", sound::sectionPosition(2)}};
// Where the sections' patterns go once their own positions are full.
constexpr int kOverflow = sound::kSectionCount * sound::kPositionsPerSection;

// Two minutes of a section, a minute and a half of the title, before either repeats.
TEST(Songs, SectionsLoopWithinTheirOwnPositionsAndPlayLongEnough) {
    std::set<int> taken;
    for (const Tune& t : kSections) {
        const Pass pass = play(three(), t.start);
        EXPECT_TRUE(pass.loops) << t.name << " does not come back to position " << t.start;
        EXPECT_GE(pass.seconds, 120.0) << t.name << " repeats after " << pass.seconds << " s";
        for (int p : pass.positions) {
            const bool own =
                (p >= t.start && p < t.start + sound::kPositionsPerSection) || p >= kOverflow;
            EXPECT_TRUE(own) << t.name << " plays position " << p << ", another section's";
            EXPECT_TRUE(taken.insert(p).second) << t.name << " shares position " << p;
        }
    }
    const Pass title = play(devils(), 0);
    EXPECT_TRUE(title.loops) << "the title tune does not come back to position 0";
    EXPECT_GE(title.seconds, 90.0) << "the title tune repeats after " << title.seconds << " s";
}

TEST(Songs, SectionsSetTheirTempoOnTheirFirstRow) {
    for (const Tune& t : kSections) {
        const int pattern = three().orders.at(t.start);
        bool tempo = false;
        for (int c = 0; c < three().channels; ++c) {
            const Module::Cell& cell = three().at(pattern, 0, c);
            tempo = tempo || (cell.effect == 0xF && cell.param >= 0x20);
        }
        EXPECT_TRUE(tempo) << t.name << " starts at the tempo of whatever played before";
    }
}

TEST(Songs, NoChannelHoldsANoteThroughAPatternWithoutNotes) {
    const std::vector<std::pair<const Module*, Tune>> tunes = {{&devils(), {"title", 0}},
                                                               {&three(), kSections[0]},
                                                               {&three(), kSections[1]},
                                                               {&three(), kSections[2]}};
    for (const auto& [m, t] : tunes) {
        // Twice round, so that the loop's end leads into its start.
        std::vector<int> order = play(*m, t.start).positions;
        const std::vector<int> once = order;
        order.insert(order.end(), once.begin(), once.end());
        std::vector<bool> holding(m->channels, false);
        for (int position : order) {
            const int pattern = m->orders.at(position);
            for (int c = 0; c < m->channels; ++c) {
                bool plays = false;
                for (int r = 0; r < 64; ++r) {
                    const Module::Cell& cell = m->at(pattern, r, c);
                    plays = plays ||
                            (cell.period > 0 && cell.sample > 0 && !m->empty.at(cell.sample - 1));
                }
                for (int r = 0; r < 64; ++r) {
                    const Module::Cell& cell = m->at(pattern, r, c);
                    if (cell.sample > 0) {
                        // An empty sample number cuts the channel; a one-shot ends.
                        holding[c] = !m->empty.at(cell.sample - 1) && cell.period > 0 &&
                                     m->looped.at(cell.sample - 1);
                    }
                    const bool cut = (cell.effect == 0xC && cell.param == 0) ||
                                     (cell.effect == 0xE && (cell.param >> 4) == 0xC);
                    if (cut) {
                        holding[c] = false;
                    }
                    if (r == 0 && !plays) {
                        EXPECT_FALSE(holding[c])
                            << t.name << ", position " << position << ", channel " << c
                            << ": a note from before sounds on";
                    }
                }
            }
        }
    }
}

TEST(Songs, MalformedSongsAreRefused) {
    const char* const kBadMelodies[] = {
        "C5:60",                 // four rows short
        "C5:16 | D5:8 | E5:40",  // a bar line in mid-bar
        "H5:64",                 // no such note
        "C5:64?",                // unknown mark
    };
    for (const char* melody : kBadMelodies) {
        SongPlan song = songs::title();
        song.sections[0].patterns[0].lead = melody;
        EXPECT_EXIT(ModuleLayout::write(song), testing::ExitedWithCode(1), "duobrik-musicgen")
            << melody;
    }
    SongPlan song = songs::title();
    song.sections[0].patterns[0].chords = "Am | Xm | C | G";
    EXPECT_EXIT(ModuleLayout::write(song), testing::ExitedWithCode(1), "not a note") << "chord";
    song = songs::title();
    song.sections[0].grooves[0].kit = "k---Z-----------";
    EXPECT_EXIT(ModuleLayout::write(song), testing::ExitedWithCode(1), "kit does not have")
        << "drum";
}

}  // namespace
