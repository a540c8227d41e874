#include "tools/musicgen/Songs.h"

namespace {

using namespace instruments;

// clang-format off

// ---------------------------------------------------------------- title
// A minor, 112 bpm. The motif climbs from the fifth to the high tonic and
// falls back; the bridge turns to the relative major, the dominant E7 leads
// home.

enum TitleSound { tKick, tSnare, tHat, tOpenHat, tShaker, tBass, tCelesta, tStrings };

const char* const kTitleMotif =
    "E5:2 A5:2 C6:2 B5:2 A5:4 E5:4 | F5:2 A5:2 C6:2 A5:2 G5:6 E5:2 | "
    "E5:2 G5:2 C6:2 D6:2 E6:4 D6:2 C6:2 | B5:4 G5:4 D5:8";
const char* const kTitleMotifHome =
    "E5:2 A5:2 C6:2 B5:2 A5:4 E5:4 | F5:2 A5:2 C6:2 A5:2 G5:6 E5:2 | "
    "E5:2 G5:2 C6:2 D6:2 E6:4 F6:2 E6:2 | D6:2 C6:2 B5:4 A5:8";
const char* const kTitleAnswer =
    "F5:4 A5:4 D6:6 C6:2 | B5:2 A5:2 E5:4 C5:8 | "
    "B4:2 D5:2 G#5:4 B5:4 D6:4 | C6:2 B5:2 A5:12";
const char* const kTitleAnswerRising =
    "D6:4 F6:4 E6:4 D6:4 | C6:6 B5:2 A5:8 | "
    "G#5:4 B5:4 E6:6 D6:2 | C6:4 B5:4 A5:8";
const char* const kTitleBridge =
    "C6:8 A5:4 F5:4 | G5:8 B5:4 D6:4 | E6:8 D6:4 B5:4 | C6:4 B5:4 A5:8";
const char* const kTitleBridgeTurn =
    "A5:4 C6:4 F6:8 | D6:4 B5:4 G5:8 | E5:4 G#5:4 B5:4 D6:4 | E6:8 r:8";
const char* const kTitleEcho =
    "r:8 E5:4 A5:4 | r:8 F5:4 C6:4 | r:8 G5:4 E6:4 | r:8 D6:4 B5:4";
const char* const kTitleStrings =
    "A4:16 | C5:16 | G4:8 E5:8 | D5:16";
const char* const kTitleStringsHome =
    "E5:8 C5:8 | D5:16 | B4:8 E5:8 | E5:8 r:8";

SongPlan titleSong() {
    SectionPlan s{
        .tempo = 112,
        .lead = tCelesta, .comp = tCelesta, .bass = tBass, .pad = tStrings,
        .counter = tStrings, .hand = tShaker, .tom = -1,
        .bassLow = 33, .compLow = 57, .padLow = 55,
        .level = 0.896,
        .mix = {1, 0.75, 1, 1, 1, 1, 1, 1},
        .bassFigures = {
            "R-------R-------",
            "R-----R-R---F---",
            "R--R--R-O---O-a-",
        },
        .compFigures = {
            "1-2-3-4-5-4-3-2-",
            "3---2---1---2---",
            "1-3-5-3-2-4-6-4-",
        },
        .grooves = {
            {"k-------k-------", "----h-------h---", "c-c-c-c-c-c-c-c-"},
            {"k---S---k-k-S---", "h-h-h-h-h-h-h-o-", "--c---c---c---c-"},
            {"k-------S-------", "h-h-h-h-h-h-h-h-", "c--c--c-c--c--c-"},
        },
        .fills = {
            {"k---S---k-S-SsSS", "h-h-h-h-x-------", "c-c-c-c---------"},
        },
        .patterns = {
            {.chords = "Am | F | C | G", .lead = kTitleMotif, .comp = 1, .pad = true, .loudness = 3},
            {.chords = "Am | F | C | G", .lead = kTitleMotif, .bass = 0, .comp = 0, .groove = 0, .pad = true, .loudness = 3},
            {.chords = "Am | F | C | G Am", .lead = kTitleMotifHome, .bass = 1, .comp = 0, .groove = 1, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "Dm | Am | E7 | Am", .lead = kTitleAnswer, .bass = 2, .comp = 2, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "Dm | Am | E7 | Am", .lead = kTitleAnswerRising, .bass = 2, .comp = 2, .groove = 1, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "Am | F | C | G", .lead = kTitleEcho, .counter = kTitleStrings, .comp = 2, .pad = true, .echo = true, .loudness = 2},
            {.chords = "Am | F | C | G", .lead = kTitleMotif, .bass = 1, .comp = 0, .groove = 1, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | F | C | G Am", .lead = kTitleMotifHome, .bass = 1, .comp = 0, .groove = 1, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "F | G | Em | Am", .lead = kTitleBridge, .bass = 0, .comp = 1, .groove = 2, .pad = true, .loudness = 3},
            {.chords = "F | G | E7 | E7", .lead = kTitleBridgeTurn, .bass = 2, .comp = 2, .groove = 2, .fill = 0, .pad = true, .loudness = 4},
            {.chords = "Am | F | C | G Am", .lead = kTitleMotifHome, .counter = kTitleStringsHome, .bass = 1, .comp = 0, .groove = 1, .pad = true, .loudness = 4},
            {.chords = "Am | F | Dm | E7", .lead = kTitleEcho, .comp = 1, .groove = 0, .pad = true, .echo = true, .loudness = 2},
        },
    };
    return {
        .title = "duobrik title",
        .instruments = {
            {kick(), 50, 0, 0},
            {snare(), 46, 0, 0},
            {closedHat(), 48, 0, 0},
            {openHat(), 36, 0, 0},
            {shaker(), 31, 0, 0},
            {bass(), 55, 1.5, 0},
            {celesta(), 53, 1.0, 0},
            {stringPad(), 40, 0.5, 0},
        },
        .sections = {s},
    };
}

// ----------------------------------------------------------------- play

enum PlaySound {
    pKick, pSnare, pHat, pOpenHat, pBass, pPad,
    pFlute, pPiano, pShaker,       // calm's own
    pPulse, pPluck, pClap,         // bright's own
    pSaw, pAcid, pTom,             // driving's own
};

// Calm: D dorian, 100 bpm. The theme rises through the minor chord and leans
// on the sixth (B) over G; the answer sings from the high C down; the
// bridge moves through Am7 G Fmaj7 Em7.
const char* const kCalmTheme =
    "A4:6 C5:2 D5:4 F5:4 | E5:6 D5:2 B4:8 | A4:4 D5:4 F5:4 A5:4 | G5:8 F5:4 E5:4";
const char* const kCalmThemeVaried =
    "A4:6 C5:2 D5:4 F5:2 G5:2 | A5:6 G5:2 E5:8 | D5:4 F5:4 A5:4 C6:4 | B5:8 A5:4 G5:2 E5:2";
const char* const kCalmAnswer =
    "C6:8 A5:4 F5:4 | G5:4 E5:4 C5:8 | D5:4 G5:4 B5:6 A5:2 | A5:12 r:4";
const char* const kCalmAnswerVaried =
    "C6:4 E6:4 C6:4 A5:4 | G5:6 E5:2 C5:4 E5:4 | D5:2 E5:2 G5:4 B5:4 D6:4 | D6:4 C6:2 A5:2 D5:8";
const char* const kCalmBridge =
    "E5:3 E5:3 D5:2 C5:4 A4:4 | B4:3 B4:3 C5:2 D5:8 | C5:3 C5:3 A4:2 F4:4 A4:4 | G4:4 B4:4 E5:8";
const char* const kCalmBridgeVaried =
    "A5:3 G5:3 E5:2 C5:4 E5:4 | D5:3 B4:3 G4:2 B4:4 D5:4 | C5:3 A4:3 F4:2 A4:4 C5:4 | B4:4 D5:4 E5:8";
const char* const kCalmSparse =
    "r:8 A5:4 F5:4 | r:8 B5:4 G5:4 | r:8 A5:4 D6:4 | r:8 B5:4 G5:4";

// Bright: G major, 128 bpm. A leaping theme through G D Em C, an answer
// that climbs to the high E, a staccato bridge.
const char* const kBrightTheme =
    "D5:2 G5:2 B5:2 D6:4 B5:2 C6:2 D6:2 | A5:6 F#5:2 D5:4 A5:4 | "
    "B5:2 G5:2 E5:2 G5:2 B5:4 E6:4 | D6:4 C6:4 B5:2 A5:2 G5:4";
const char* const kBrightThemeVaried =
    "D5:2 G5:2 B5:2 D6:4 E6:2 D6:2 B5:2 | C6:4 A5:4 F#5:2 A5:2 D6:4 | "
    "B5:2 A5:2 G5:2 E5:2 G5:4 B5:4 | A5:8 G5:4 r:4";
const char* const kBrightAnswer =
    "E6:6 D6:2 C6:4 G5:4 | F#5:6 A5:2 D6:8 | B5:4 F#5:4 D5:4 F#5:4 | G5:4 B5:4 E6:8";
const char* const kBrightAnswerVaried =
    "E6:4 G6:4 E6:2 D6:2 C6:4 | D6:6 C6:2 A5:4 F#5:4 | B5:3 A5:3 G5:2 F#5:4 D5:4 | E5:12 r:4";
const char* const kBrightBridge =
    "A5:2' C6:2' E6:2' C6:2' A5:2' C6:2' E6:4 | D6:2' F#6:2' D6:2' A5:2' F#5:4 A5:4 | "
    "G5:2' B5:2' D6:2' B5:2' G5:4 D6:4 | E6:8 D6:4 B5:4";
const char* const kBrightBridgeVaried =
    "C6:2' E6:2' A6:4 G6:2 E6:2 C6:4 | A5:2' D6:2' F#6:4 E6:2 D6:2 A5:4 | "
    "B5:2' D6:2' G6:4 F#6:2 D6:2 B5:4 | E6:4 F#6:4 G6:8";
const char* const kBrightHome =
    "E6:8 D6:4 C6:4 | D6:8 A5:8 | B5:8 D6:8 | G5:12 r:4";
const char* const kBrightHum =
    "G4:8 B4:8 | A4:8 F#4:8 | B4:8 E5:8 | C5:8 E5:8";

// Driving: E phrygian, 150 bpm. A stabbing theme that leans on the flat
// second (F); a wide answer; a half-time break over Am G F E with slides;
// a bridge on C Dm Em.
const char* const kDriveTheme =
    "E5:2 E5:2 F5:2 E5:2 B4:4 E5:4 | F5:2 G5:2 A5:2 G5:2 F5:4 C5:4 | "
    "E5:2 G5:2 B5:2 G5:2 E5:4 B5:4 | A5:4 F5:4 D5:8";
const char* const kDriveThemeVaried =
    "E5:2 E5:2 F5:2 E5:2 B5:4 C6:4 | B5:2 A5:2 G5:2 F5:2 E5:4 F5:4 | "
    "G5:2 B5:2 E6:4 D6:2 C6:2 B5:4 | A5:4 F5:2 E5:2 D5:8";
const char* const kDriveAnswer =
    "B5:6! G5:2 E5:8 | C6:6! A5:2 F5:8 | D6:6! B5:2 G5:4 D6:4 | C6:8 A5:4 F5:4";
const char* const kDriveAnswerVaried =
    "E6:6! D6:2 B5:8 | F6:6! E6:2 C6:8 | D6:4 B5:4 G5:4 B5:4 | A5:12\\ r:4";
const char* const kDriveBreak =
    "A5:8 C6:4> B5:4 | B5:8 D6:4> C6:4 | C6:8 A5:4 F5:4 | E5:4 F5:4 E5:8";
const char* const kDriveBreakVaried =
    "E6:8 C6:4> A5:4 | D6:8 B5:4> G5:4 | C6:4 A5:4 F5:4 A5:4 | B5:4 C6:4 B5:8";
const char* const kDriveBridge =
    "G5:2 C6:2 E6:2 C6:2 G5:4 E5:4 | F5:2 A5:2 D6:2 A5:2 F5:4 D5:4 | "
    "E5:2 G5:2 B5:2 E6:2 D6:2 B5:2 G5:2 B5:2 | E6:4 D6:4 B5:8";
const char* const kDriveBridgeVaried =
    "C6:2 E6:2 G6:2 E6:2 C6:4 G5:4 | D6:2 F6:2 A5:2 D6:2 F5:4 A5:4 | "
    "B5:2 E6:2 G5:2 B5:2 E5:2 G5:2 B4:2 E5:2 | F5:8 E5:8";

SectionPlan calm() {
    return {
        .tempo = 100,
        .lead = pFlute, .comp = pPiano, .bass = pBass, .pad = pPad,
        .counter = pPiano, .hand = pShaker, .tom = -1,
        .bassLow = 33, .compLow = 53, .padLow = 55,
        .level = 0.96,
        .mix = {0.85, 1, 1, 1, 1, 1, 1, 1},
        .bassFigures = {
            "R-------R---F---",
            "R-----R-O---F-a-",
            "R--R--R-F--F--a-",
        },
        .compFigures = {
            "1---3---2---4---",
            "1-2-3-4-3-2-1-2-",
            "1-3-5-3-2-4-6-4-",
        },
        .grooves = {
            {"----------------", "----------------", "c-c-C-c-c-c-C-c-"},
            {"k-------S-----k-", "--h---h---h---h-", "c-c-C-c-c-c-C-c-"},
            {"k-----k-S-----k-", "h-h-h-h-h-h-h-ho", "--c---c---c---cc"},
        },
        .fills = {
            {"k-------S---s-ss", "h-h-h-h-o-------", "c-c-c-c---------"},
            {"k---s---k-s-sSSS", "h-h-h-h-x-------", "----------------"},
        },
        .patterns = {
            {.chords = "Dm7 | G | Dm7 | G", .bass = 0, .comp = 0, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmTheme, .bass = 0, .comp = 0, .groove = 1, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmThemeVaried, .bass = 1, .comp = 0, .groove = 1, .fill = 0, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswer, .bass = 1, .comp = 1, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswerVaried, .bass = 1, .comp = 1, .groove = 1, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmSparse, .comp = 2, .pad = true, .echo = true, .loudness = 2},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmTheme, .bass = 1, .comp = 0, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "Am7 | G | Fmaj7 | Em7", .lead = kCalmBridge, .bass = 2, .comp = 1, .groove = 2, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Am7 | G | Fmaj7 | Em7", .lead = kCalmBridgeVaried, .bass = 2, .comp = 1, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswer, .bass = 1, .comp = 1, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswerVaried, .bass = 1, .comp = 1, .groove = 1, .fill = 1, .pad = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmSparse, .bass = 0, .comp = 2, .groove = 0, .pad = true, .loudness = 2},
        },
    };
}

SectionPlan bright() {
    return {
        .tempo = 128,
        .lead = pPulse, .comp = pPluck, .bass = pBass, .pad = pPad,
        .counter = pPulse, .hand = pClap, .tom = -1,
        .bassLow = 36, .compLow = 59, .padLow = 55,
        .level = 0.94,
        .mix = {1, 1, 0.85, 1, 1, 1, 1, 1},
        .bassFigures = {
            "R-------R-------",
            "R-R-O-R-R-R-O-R-",
            "R---R-F-O---F-a-",
        },
        .compFigures = {
            "1-3-5-3-1-3-5-3-",
            "1-3-5-6-5-3-1-3-",
            "5-3-1-3-5-6-5-3-",
        },
        .grooves = {
            {"----------------", "h-h-h-h-h-h-h-h-", "----c-------c---"},
            {"k-------k-k-----", "--h---h---h---h-", "----c-------c---"},
            {"k---s---k-k-s---", "h-h-o-h-h-h-o-h-", "----c-------c---"},
            {"k---k---k---k---", "h-hhh-hhh-hhh-hh", "----c-------c-c-"},
        },
        .fills = {
            {"k---s---k-sss-SS", "h-h-h-h-h-------", "----c-------cccc"},
            {"k-s-s-s-SsSsSSSS", "h---------------", "----------------"},
        },
        .patterns = {
            {.chords = "G | D | Em | C", .comp = 0, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "G | D | Em | C", .lead = kBrightHum, .bass = 0, .comp = 0, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .lead = kBrightTheme, .bass = 1, .comp = 0, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .lead = kBrightThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswer, .bass = 2, .comp = 1, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswerVaried, .bass = 2, .comp = 1, .groove = 2, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "G | D | Em | C", .lead = kBrightTheme, .bass = 1, .comp = 1, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "G | D | Em | C", .lead = kBrightThemeVaried, .bass = 1, .comp = 1, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | D | G | Em", .comp = 2, .pad = true, .loudness = 2},
            {.chords = "Am | D | G | Em", .lead = kBrightBridge, .bass = 0, .comp = 2, .groove = 3, .pad = true, .loudness = 3},
            {.chords = "Am | D | G | Em", .lead = kBrightBridgeVaried, .bass = 2, .comp = 2, .groove = 3, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswer, .bass = 2, .comp = 1, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswerVaried, .bass = 2, .comp = 1, .groove = 2, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .lead = kBrightTheme, .bass = 1, .comp = 0, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "G | D | Em | C", .lead = kBrightThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "C | D | G | G", .lead = kBrightHome, .bass = 2, .comp = 1, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .comp = 0, .groove = 0, .pad = true, .loudness = 2},
        },
    };
}

SectionPlan driving() {
    return {
        .tempo = 150,
        .lead = pSaw, .comp = pSaw, .bass = pAcid, .pad = pPad,
        .counter = pSaw, .hand = pClap, .tom = pTom,
        .bassLow = 28, .compLow = 64, .padLow = 55,
        .level = 0.837,
        .bassFigures = {
            "R-R-R-R-R-R-R-R-",
            "R-RR-RR-R-RO-R-R",
            "R-R-o-R-R-RR-rO-",
            "R-------R-------",
        },
        .compFigures = {
            "x--x--x-----x---",
            "1--1--1-2--2--3-",
        },
        .grooves = {
            {"k---k---k---k---", "----------------", "----------------"},
            {"k---k---k---k---", "--h---h---h---h-", "----------------"},
            {"k---S---k---S-k-", "h-hhh-hhh-hhh-ho", "----------------"},
            {"k-----k-S-----k-", "h-h-h-h-h-h-h-h-", "---l---m---l--h-"},
        },
        .fills = {
            {"k---S---k-S-S-SS", "h-h-h-h---------", "----------hhmmll"},
            {"k---------------", "----------------", "h-h-m-m-l-l-hmlh"},
        },
        .patterns = {
            {.chords = "Em | F | Em | Dm", .bass = 0, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "Em | F | Em | Dm", .bass = 1, .comp = 0, .groove = 1, .fill = 1, .pad = true, .loudness = 3},
            {.chords = "Em | F | Em | Dm", .lead = kDriveTheme, .bass = 1, .comp = 0, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswer, .bass = 2, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswerVaried, .bass = 2, .groove = 2, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveTheme, .bass = 1, .comp = 1, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveThemeVaried, .bass = 1, .comp = 1, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | G | F | E5", .lead = kDriveBreak, .bass = 3, .pad = true, .loudness = 2},
            {.chords = "Am | G | F | E5", .lead = kDriveBreakVaried, .bass = 3, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "Am | G | F | E5", .lead = kDriveBreak, .bass = 0, .comp = 0, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | G | F | E5", .lead = kDriveBreakVaried, .bass = 0, .comp = 0, .groove = 2, .fill = 1, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswer, .bass = 2, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswerVaried, .bass = 2, .groove = 2, .fill = 0, .pad = true, .loudness = 4},
            {.chords = "C | Dm | Em | Em", .lead = kDriveBridge, .bass = 1, .comp = 1, .groove = 3, .pad = true, .loudness = 4},
            {.chords = "C | Dm | Em | Em", .lead = kDriveBridgeVaried, .bass = 1, .comp = 1, .groove = 3, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveTheme, .bass = 1, .comp = 0, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .bass = 0, .groove = 1, .pad = true, .loudness = 2},
        },
    };
}

// clang-format on

}  // namespace

namespace songs {

SongPlan title() {
    return titleSong();
}

SongPlan play() {
    return {
        .title = "duobrik play",
        .instruments =
            {
                {kick(), 50, 0, 0},
                {snare(), 46, 0, 0},
                {closedHat(), 48, 0, 0},
                {openHat(), 36, 0, 0},
                {bass(), 55, 1.5, 0},
                {glassPad(), 40, 0, 0},
                {flute(), 46, 0.5, 0x52},
                {electricPiano(), 38, 1.0, 0},
                {shaker(), 31, 0, 0},
                {pulseLead(), 46, 0.5, 0x52},
                {pluck(), 41, 1.5, 0},
                {clap(), 41, 0, 0},
                {sawLead(), 46, 0.5, 0x42},
                {acidBass(), 53, 1.5, 0},
                {tom(), 50, 0, 0},
            },
        .sections = {calm(), bright(), driving()},
    };
}

}  // namespace songs
