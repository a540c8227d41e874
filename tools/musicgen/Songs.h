#pragma once
// The game's two pieces of music, written for this game.
//
// "devils.mod" is the intro tune: one section in A minor, mid-tempo, about
// 45 seconds before it loops. "three.mod" is the play music: three sections
// of ten patterns each, at song positions 0, 10 and 20, which the levels
// start from. Section 0 (D dorian, 100 bpm) is calm, section 1 (G major,
// 128 bpm) brighter and faster, section 2 (E phrygian, 150 bpm) driving and
// tense. Each loops on itself.

#include <vector>

#include "tools/musicgen/SongWriter.h"

namespace songs {

SongSection intro();
std::vector<SongSection> play();

}  // namespace songs
