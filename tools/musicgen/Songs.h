#pragma once
// The game's two pieces of music, written for this game.
//
// "devils.mod" is the title tune: A minor, 112 bpm, a music-box motif over
// strings, twelve patterns (about 100 s) before it loops. "three.mod" is the
// play music, three sections that the levels start at song positions 0, 10
// and 20, each looping within itself after at least two minutes:
//   - calm: D dorian, 100 bpm, flute over electric piano, shaker and soft
//     kick;
//   - bright: G major, 128 bpm, pulse lead, plucked arpeggios and claps;
//   - driving: E phrygian, 150 bpm, saw lead over an acid bass and toms.
// Each has a theme and its variation, an answer, a bridge or breakdown with
// a bass figure and groove of its own, and fills.

#include "tools/musicgen/SongPlan.h"

namespace songs {

SongPlan title();
SongPlan play();

}  // namespace songs
