#pragma once
// The game's two pieces of music, written for this game.
//
// "devils.mod" is the title tune: A minor, 112 bpm, a music-box motif over
// harp and strings in song form, twelve patterns (about 100 s) before it
// loops. "three.mod" is the play music, three sections that the levels start
// at song positions 0, 10 and 20, each looping within itself after at least
// two minutes, each with a form and drums of its own:
//   - calm: D dorian, 100 bpm, a rondo; flute over electric piano, a bossa
//     of rim, shakers and congas;
//   - bright: G major, 128 bpm, a pop song; pulse lead, plucked arpeggios,
//     a dance kit with claps and tambourine;
//   - driving: E phrygian, 150 bpm, builds and drops; saw lead over an acid
//     bass, breakbeats, a snare build and toms.

#include "tools/musicgen/SongPlan.h"

namespace songs {

SongPlan title();
SongPlan play();

}  // namespace songs
