#pragma once
// Turns a song plan into an eight-channel module ("8CHN"): every pattern
// arranged (Arranger), the sections laid out so that each starts at the song
// position the game starts it at (catalogue/Sound.h; 0 for a song of one
// section) and loops within itself, the tempo and the stereo places set on
// each section's first row, and the instruments as samples.
//
// A section's first patterns fill its own positions; the rest go past the
// last section's, and position jumps lead out there and back, so that no
// section runs into another.

#include "tools/musicgen/ModWriter.h"
#include "tools/musicgen/SongPlan.h"

class ModuleLayout {
public:
    // Writes the whole song; exits with a message on a malformed plan.
    static ModWriter write(const SongPlan& song);
};
