#include "tools/musicgen/Songs.h"

namespace {

using namespace instruments;

// clang-format off

// ---------------------------------------------------------------- title
// A minor, 112 bpm. The motif climbs from the fifth to the high tonic and
// falls back. In song form: an intro, the motif twice, the answer twice, an
// interlude of echoes, the motif again louder, a bridge that turns to the
// relative major with the dominant E7 leading home, the motif and a coda.
// The drums are light: a rim click, a shaker, a tambourine in the answer.

enum TitleSound { tKick, tSnare, tHat, tOpenHat, tShaker, tBass, tCelesta, tStrings, tRim, tTambourine, tHarp };

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
        .lead = tCelesta, .comp = tHarp, .bass = tBass, .pad = tStrings, .counter = tStrings,
        .bassLow = 33, .compLow = 57, .padLow = 55,
        .level = 1.15,
        .mix = {1.16, 0.76, 0.42, 0.36, 0.56, 0.98, 1.12, 0.72},
        .pan = {0x51, 0xC2, 0x80, 0x80, 0xAC, 0x54, 0xDA, 0x45},
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
        .kit = {{'k', tKick}, {'s', tSnare}, {'g', tSnare, 0, 0.45}, {'r', tRim},
                {'h', tHat}, {'o', tOpenHat}, {'c', tShaker}, {'t', tTambourine}},
        .grooves = {
            // 0: the intro and the coda, a shaker and a soft hat
            {"----------------", "--h---h---h---h-", "c-c-c-c-c-c-c-c-"},
            // 1: the motif, a rim click over a shaker
            {"k-----k-r-------" "k-----k-r-----r-", "h-h-h-h-h-h-h-h-", "c-cc-c-cc-cc-c-c"},
            // 2: the answer and the motif again: snare and tambourine
            {"k---s---k-k-s---" "k---s---k---s-g-", "h-hhh-hhh-hhh-o-", "c-c-t-c-c-c-t-c-"},
            // 3: the bridge in half time
            {"k-------s-------" "k-----k-s-----g-", "h-h-h-h-h-h-h-h-", "t-c-c-c-t-c-t-t-"},
            // 4: the interlude, rim and shaker
            {"--------r-------", "h---h---h---h---", "c-c-c-c-c-c-c-c-"},
        },
        .fills = {
            {"k---s---k-s-ssss", "h-h-h-h-x-------", "c-c-t---t-------"},
            {"k---r---r-r-rrrr", "h-h-h-h-h-h-o---", "c-c-t---t---tttt"},
        },
        .patterns = {
            {.chords = "Am | F | C | G", .lead = kTitleMotif, .comp = 1, .groove = 0, .pad = true, .loudness = 3},
            {.chords = "Am | F | C | G", .lead = kTitleMotif, .bass = 0, .comp = 0, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "Am | F | C | G Am", .lead = kTitleMotifHome, .bass = 1, .comp = 0, .groove = 1, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "Dm | Am | E7 | Am", .lead = kTitleAnswer, .bass = 2, .comp = 2, .groove = 2, .pad = true, .loudness = 3},
            {.chords = "Dm | Am | E7 | Am", .lead = kTitleAnswerRising, .bass = 2, .comp = 2, .groove = 2, .fill = 1, .pad = true, .loudness = 3},
            {.chords = "Am | F | C | G", .lead = kTitleEcho, .counter = kTitleStrings, .comp = 2, .groove = 4, .pad = true, .echo = true, .loudness = 2},
            {.chords = "Am | F | C | G", .lead = kTitleMotif, .bass = 1, .comp = 0, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | F | C | G Am", .lead = kTitleMotifHome, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "F | G | Em | Am", .lead = kTitleBridge, .bass = 0, .comp = 1, .groove = 3, .pad = true, .loudness = 3},
            {.chords = "F | G | E7 | E7", .lead = kTitleBridgeTurn, .bass = 2, .comp = 2, .groove = 3, .fill = 1, .pad = true, .loudness = 4},
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
            {shaker(), 40, 0, 0},
            {bass(), 55, 1.5, 0},
            {celesta(), 53, 1.0, 0},
            {stringPad(), 30, 0.5, 0},
            {rim(), 40, 0, 0},
            {tambourine(), 40, 0, 0},
            {pluck(), 41, 1.5, 0},
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
    pRim, pTambourine, pConga, pRide,
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

// Calm is a rondo: the theme comes back between an answer, a bridge and a
// breakdown for the congas. Its drums lean towards a bossa: a dotted kick,
// a rim clave, shakers in sixteenths, congas, a ride in the bridge.
SectionPlan calm() {
    return {
        .tempo = 100,
        .lead = pFlute, .comp = pPiano, .bass = pBass, .pad = pPad, .counter = pPiano,
        .bassLow = 33, .compLow = 53, .padLow = 55,
        .level = 1.08,
        .mix = {1.26, 0.54, 0.52, 0.46, 1.09, 1.07, 1.1, 0.82},
        .pan = {0x73, 0x39, 0x80, 0x80, 0xC5, 0xD0, 0x30, 0x60},
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
        .kit = {{'k', pKick, 0, 0.9}, {'s', pSnare, 0, 0.7}, {'g', pSnare, 0, 0.35}, {'r', pRim},
                {'h', pHat}, {'o', pOpenHat, 0, 0.7}, {'c', pShaker}, {'d', pRide, 0, 0.8},
                {'q', pConga, 5}, {'w', pConga}},
        .grooves = {
            // 0: the intro and the outro, shakers
            {"----------------", "c-cc-c-cc-cc-c-c", "----------------"},
            // 1: the theme, a bossa
            {"k--r--k-k-r--rk-" "k-r--rk-k---r-k-", "cccccccccccccccc", "----q--w------q-"},
            // 2: the answer, with hats and ghost notes
            {"k--r--k-k-r--rk-" "k-r--rk-k-g-r-k-", "h-c-h-c-h-c-h-cc", "--q---w-q---w---"},
            // 3: the bridge, brushes and a ride
            {"k-------s-------" "k-----k-s-----g-", "d---d-d-d---d-d-", "--------q-------"},
            // 4: the breakdown: congas over a shaker
            {"----------------", "c-c-c-c-c-c-c-c-", "q-qw-wq-q-qw-wqq" "q-qw-wq-qqw-w-q-"},
            // 5: the theme again, everything
            {"k--r--k-s-r--rk-" "k-r--rk-s-g-r-k-", "hchchchchchchcho", "----q--w--q---w-"},
        },
        .fills = {
            {"k--r--k-s---s-ss", "c-c-c-c-c-------", "--------q-q-w-ww"},
            {"k---g-g-s-g-sSSS", "h-h-h-h-h-------", "q-q-w-w-q-q-w-w-"},
        },
        .patterns = {
            {.chords = "Dm7 | G | Dm7 | G", .bass = 0, .comp = 0, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmTheme, .bass = 0, .comp = 0, .groove = 1, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmThemeVaried, .bass = 1, .comp = 0, .groove = 1, .fill = 0, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswer, .bass = 1, .comp = 1, .groove = 2, .pad = true, .loudness = 3},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswerVaried, .bass = 1, .comp = 1, .groove = 2, .fill = 1, .pad = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmTheme, .bass = 1, .comp = 0, .groove = 1, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Am7 | G | Fmaj7 | Em7", .lead = kCalmBridge, .bass = 2, .comp = 1, .groove = 3, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Am7 | G | Fmaj7 | Em7", .lead = kCalmBridgeVaried, .bass = 2, .comp = 1, .groove = 3, .fill = 0, .pad = true, .echo = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmSparse, .comp = 2, .groove = 4, .pad = true, .echo = true, .loudness = 2},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmTheme, .bass = 1, .comp = 0, .groove = 5, .pad = true, .loudness = 4},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmThemeVaried, .bass = 1, .comp = 0, .groove = 5, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "Fmaj7 | C | G | Dm7", .lead = kCalmAnswerVaried, .bass = 1, .comp = 1, .groove = 2, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "Dm7 | G | Dm7 | G", .lead = kCalmSparse, .bass = 0, .comp = 2, .groove = 0, .pad = true, .loudness = 2},
        },
    };
}

// Bright is a pop song: intro, verse, chorus, a second verse, a breakdown
// of claps and a bridge, the chorus twice and home. Its drums dance: four
// on the floor in the chorus, claps, open hats on the off-beats, a
// tambourine.
SectionPlan bright() {
    return {
        .tempo = 128,
        .lead = pPulse, .comp = pPluck, .bass = pBass, .pad = pPad, .counter = pPulse,
        .bassLow = 36, .compLow = 59, .padLow = 55,
        .level = 0.905,
        .mix = {1.3, 0.65, 1.36, 0.46, 0.63, 0.83, 1.38, 0.63},
        .pan = {0x50, 0xE6, 0x80, 0x80, 0xB4, 0x3A, 0xE0, 0x1A},
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
        .kit = {{'k', pKick}, {'s', pSnare}, {'p', pClap}, {'h', pHat}, {'o', pOpenHat},
                {'t', pTambourine}, {'d', pRide, 0, 0.8}, {'q', pConga, 7}, {'w', pConga, 2}},
        .grooves = {
            // 0: the intro, hats alone
            {"----------------", "h-hhh-hhh-hhh-hh", "----t-------t---"},
            // 1: the kick comes in
            {"k---k---k---k---", "--o---o---o---o-", "----t-------t---"},
            // 2: the verse
            {"k-----k-s-k-----" "k-----k-s-k---s-", "h-h-h-h-h-h-h-h-", "--t---t---t---t-"},
            // 3: the chorus, four on the floor
            {"k---k---k---k---", "h-o-h-o-h-o-h-oh" "h-o-h-o-h-o-hhoh", "--t-p-t---t-p-t-"},
            // 4: the breakdown, claps
            {"----------------", "----------------", "p--p--p---p-p---" "p--p--p---p-pp-p"},
            // 5: the bridge, ride and congas
            {"k-----k---k---k-", "d-d-d-d-d-d-d-d-", "q-w-p-wq-q-wp-w-"},
            // 6: the last chorus
            {"k---k---k---k-k-", "hho-hho-hho-hhoh", "t-t-p-t-t-t-p-tt"},
        },
        .fills = {
            {"k---s---k-sss-SS", "h-h-h-h-h-------", "----p-------pppp"},
            {"k-s-s-s-SsSsSSSS", "h---------------", "----------------"},
        },
        .patterns = {
            {.chords = "G | D | Em | C", .comp = 0, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "G | D | Em | C", .lead = kBrightHum, .bass = 0, .comp = 0, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .lead = kBrightTheme, .bass = 1, .comp = 0, .groove = 2, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .lead = kBrightThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswer, .bass = 2, .comp = 1, .groove = 3, .pad = true, .loudness = 4},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswerVaried, .bass = 2, .comp = 1, .groove = 3, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "G | D | Em | C", .lead = kBrightTheme, .bass = 1, .comp = 1, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "G | D | Em | C", .lead = kBrightThemeVaried, .bass = 1, .comp = 1, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | D | G | Em", .comp = 2, .groove = 4, .pad = true, .loudness = 2},
            {.chords = "Am | D | G | Em", .lead = kBrightBridge, .bass = 0, .comp = 2, .groove = 5, .pad = true, .loudness = 3},
            {.chords = "Am | D | G | Em", .lead = kBrightBridgeVaried, .bass = 2, .comp = 2, .groove = 5, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswer, .bass = 2, .comp = 1, .groove = 3, .pad = true, .loudness = 4},
            {.chords = "C | D | Bm | Em", .lead = kBrightAnswerVaried, .bass = 2, .comp = 1, .groove = 3, .fill = 0, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .lead = kBrightTheme, .bass = 1, .comp = 0, .groove = 6, .pad = true, .echo = true, .loudness = 4},
            {.chords = "G | D | Em | C", .lead = kBrightThemeVaried, .bass = 1, .comp = 0, .groove = 6, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "C | D | G | G", .lead = kBrightHome, .bass = 2, .comp = 1, .groove = 1, .pad = true, .loudness = 3},
            {.chords = "G | D | Em | C", .comp = 0, .groove = 0, .pad = true, .loudness = 2},
        },
    };
}

// Driving builds and drops: a kick alone, then the hats, the theme over a
// breakbeat, the answer over a ride, a half-time breakdown with toms, a
// snare roll that builds for four bars, the drop, a tribal bridge and the
// theme again.
SectionPlan driving() {
    return {
        .tempo = 150,
        .lead = pSaw, .comp = pSaw, .bass = pAcid, .pad = pPad, .counter = pSaw,
        .bassLow = 28, .compLow = 64, .padLow = 55,
        .level = 0.697,
        .mix = {1.66, 0.67, 1.66, 0.53, 0.94, 0.88, 1.12, 0.57},
        .pan = {0x3C, 0xB8, 0x80, 0x80, 0xC3, 0x30, 0xD0, 0x4A},
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
        .kit = {{'k', pKick}, {'s', pSnare}, {'g', pSnare, 0, 0.4}, {'p', pClap},
                {'h', pHat}, {'o', pOpenHat}, {'d', pRide, 0, 0.8},
                {'l', pTom, -3}, {'m', pTom, 2}, {'n', pTom, 7}},
        .grooves = {
            // 0: the intro, the kick alone
            {"k---k---k---k---", "----------------", "----------------"},
            // 1: open hats on the off-beats
            {"k---k---k---k---", "--o---o---o---o-", "----------------"},
            // 2: the drop, a breakbeat
            {"k-g-S--gk-k-S-g-" "k-g-S--gk-gkS--g", "h-hhh-hhh-hhh-ho", "----------------"},
            // 3: the answer over a ride, claps on the backbeat
            {"k---S---k-k-S---" "k---S---k-k-S-kg", "d-dd-dd-d-dd-dd-", "----p-------p---"},
            // 4: the breakdown in half time, toms
            {"k-------S-------", "h-h-h-h-h-h-h-h-", "---l---m---l--n-" "---l--m----ln-m-"},
            // 5: the build, a roll doubling each bar
            {"k---s---k---s---" "k-s-k-s-k-s-k-s-" "ksssksssksssksss" "kssssssskSSSSSSS",
             "h---h---h---h---" "h-h-h-h-h-h-h-h-" "hhhhhhhhhhhhhhhh" "hhhhhhhhhhhhhhhh",
             "----------------"},
            // 6: the bridge, tribal toms
            {"k--k--k---k--k--", "h-h-h-h-h-h-h-h-", "--l--m--n--l-m--" "--l--m--n-nm-ml-"},
        },
        .fills = {
            {"k---S---k-S-S-SS", "h-h-h-h---------", "----------nnmmll"},
            {"k---------------", "----------------", "n-n-m-m-l-l-nmln"},
        },
        .patterns = {
            {.chords = "Em | F | Em | Dm", .bass = 0, .groove = 0, .pad = true, .loudness = 2},
            {.chords = "Em | F | Em | Dm", .bass = 1, .comp = 0, .groove = 1, .fill = 1, .pad = true, .loudness = 3},
            {.chords = "Em | F | Em | Dm", .lead = kDriveTheme, .bass = 1, .comp = 0, .groove = 2, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveThemeVaried, .bass = 1, .comp = 0, .groove = 2, .fill = 0, .pad = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswer, .bass = 2, .groove = 3, .pad = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswerVaried, .bass = 2, .groove = 3, .fill = 1, .pad = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveTheme, .bass = 1, .comp = 1, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Em | F | Em | Dm", .lead = kDriveThemeVaried, .bass = 1, .comp = 1, .groove = 2, .fill = 0, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | G | F | E5", .lead = kDriveBreak, .bass = 3, .groove = 4, .pad = true, .loudness = 2},
            {.chords = "Am | G | F | E5", .lead = kDriveBreakVaried, .bass = 3, .groove = 5, .pad = true, .loudness = 3},
            {.chords = "Am | G | F | E5", .lead = kDriveBreak, .bass = 0, .comp = 0, .groove = 2, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Am | G | F | E5", .lead = kDriveBreakVaried, .bass = 0, .comp = 0, .groove = 2, .fill = 1, .pad = true, .echo = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswer, .bass = 2, .groove = 3, .pad = true, .loudness = 4},
            {.chords = "Em | F | G | F", .lead = kDriveAnswerVaried, .bass = 2, .groove = 3, .fill = 0, .pad = true, .loudness = 4},
            {.chords = "C | Dm | Em | Em", .lead = kDriveBridge, .bass = 1, .comp = 1, .groove = 6, .pad = true, .loudness = 4},
            {.chords = "C | Dm | Em | Em", .lead = kDriveBridgeVaried, .bass = 1, .comp = 1, .groove = 6, .fill = 1, .pad = true, .loudness = 4},
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
                {kick(), 50, 0, 0},         {snare(), 46, 0, 0},
                {closedHat(), 48, 0, 0},    {openHat(), 36, 0, 0},
                {bass(), 55, 1.5, 0},       {glassPad(), 30, 0, 0},
                {flute(), 46, 0.5, 0x52},   {electricPiano(), 38, 1.0, 0},
                {shaker(), 40, 0, 0},       {pulseLead(), 46, 0.5, 0x52},
                {pluck(), 41, 1.5, 0},      {clap(), 41, 0, 0},
                {sawLead(), 46, 0.5, 0x42}, {acidBass(), 53, 1.5, 0},
                {tom(), 50, 0, 0},          {rim(), 40, 0, 0},
                {tambourine(), 40, 0, 0},   {conga(), 44, 0, 0},
                {ride(), 36, 0, 0},
            },
        .sections = {calm(), bright(), driving()},
    };
}

}  // namespace songs
