#include "tools/musicgen/Songs.h"

namespace {

// Semitones of the seven degrees of each mode used.
constexpr std::array<int, 7> kAeolian = {0, 2, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};
constexpr std::array<int, 7> kIonian = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kPhrygian = {0, 1, 3, 5, 7, 8, 10};

// Pitch classes of the tonics.
constexpr int kA = 9;
constexpr int kD = 2;
constexpr int kG = 7;
constexpr int kE = 4;

constexpr int kSpeed = 6;  // ticks per row: a row is a sixteenth note

// The usual shape of a section: an opening groove, the theme and its
// variation, the answer and its variation, a breakdown without drums, then
// the whole once more, ending on the answer that leads back to the start.
const std::vector<SongSection::Step> kTenPatternPlan = {
    {-1, 0, 1}, {0, 0, 1}, {1, 0, 2}, {2, 1, 1}, {3, 1, 2},
    {0, 0, 0},  {1, 0, 1}, {0, 0, 2}, {2, 1, 1}, {3, 1, 2},
};

}  // namespace

namespace songs {

SongSection intro() {
    return {
        kSpeed,
        112,
        kA,
        kAeolian,
        12,
        // Am F Dm Em, then F G Am Em.
        {"0 5 3 4", "5 6 0 4"},
        {
            // Theme: a falling figure from the high tonic.
            "7---4-5-4-3-2--- 5-------0---2--- 3---5---7-5-3--- 1-----2-4-------",
            // Variation: the same opening, reaching higher.
            "7---4-5-4-3-2--- 5-------7---8--- 7---5-3-2-3----- 4---------------",
            // Answer: a climbing sequence.
            "5---5-4-5-7----- 6---6-5-6-8----- 7---6-4-0---4--- 4-------1---z---",
            // Answer varied, falling home.
            "7-5-4-5-7------- 8-6-5-6-8------- 7-------4---2--- 1-2-1-z-0-------",
        },
        "0-----0-4---7-4-",
        "x-------x---x---",
        "k---h---s---h-k-",
        "k---h---s-s-s-ss",
        {{-1, 0, 1}, {0, 0, 1}, {1, 0, 2}, {2, 1, 1}, {3, 1, 2}},
    };
}

std::vector<SongSection> play() {
    return {
        // Section 0: calm and steady.
        {
            kSpeed,
            100,
            kD,
            kDorian,
            12,
            // Dm G Dm C, then F G Am Dm.
            {"0 3 0 6", "2 3 4 0"},
            {
                "0---2-3-4-----3- 3-------1-0----- 4---5-4-2-3-4--- 6---4---1-------",
                "0---2-3-4-----7- 6-------4-3----- 4---5-4-2-3-4--- 0---------------",
                "7---6-4-2------- 3---4-3-1---3--- 4-------7---6-4- 0---------------",
                "9---7-6-4------- 8---7-6-3------- 4---6-7-8---7--- 0-------.-------",
            },
            "0-------4---0---",
            "x-------x-------",
            "k---h---s---h---",
            "k---h---s-s-s-ss",
            kTenPatternPlan,
        },
        // Section 1: brighter and faster.
        {
            kSpeed,
            128,
            kG,
            kIonian,
            12,
            // G D Em C, then C G Am D.
            {"0 4 5 3", "3 0 1 4"},
            {
                "4-4-5-4-2---0-1- 2---1---0---4--- 2-2-4-2-1---0-z- 0---------------",
                "4-4-5-4-7---6-5- 4---2---4---8--- 7-7-6-4-2---4-5- 4---------------",
                "5---4-5-7---5--- 4---2---0---2-4- 5-4-3-1-0-1-3--- 6---5---4-------",
                "7---9-8-7---5--- 8---7---4---7-8- 9-8-7-5-3-5-7--- 6-------4---.---",
            },
            "0---0-7-0---4-7-",
            "x---x---x---x---",
            "k-h-h-h-s-h-k-h-",
            "k-h-s-h-s-s-ssss",
            kTenPatternPlan,
        },
        // Section 2: driving and tense.
        {
            kSpeed,
            150,
            kE,
            kPhrygian,
            12,
            // Em F Em Dm, then C Dm F Em.
            {"0 1 0 6", "5 6 1 0"},
            {
                "0-0-1-0-3-2-1-0- 2-1-2-4---2-1--- 0-0-1-0-3-2-1-0- 6---5---4---1---",
                "7-7-8-7-A-9-8-7- 9-8-9-B---9-8--- 7-7-8-7-A-9-8-7- 6---5-4-3-2-1-0-",
                "5---4-5-7------- 6---5-6-8------- 8---7-8-A------- 7---------------",
                "A-9-8-7-5---7--- 8-7-6-5-3---6--- 8-A-8-7-5-4-3-1- 0-------.---0---",
            },
            "0-0-7-0-0-0-7-0-",
            "x-.-x-.-x-x-.-x-",
            "k-hhs-hhk-k-s-hh",
            "s-s-s-s-ssssssss",
            kTenPatternPlan,
        },
    };
}

}  // namespace songs
