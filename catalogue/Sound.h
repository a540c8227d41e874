#pragma once
// The sound files the game plays and the music generator (tools/musicgen)
// writes, the order in which the play levels load the effects (the index
// they play them by), where each section of the play music starts, and the
// music player's volume scale. The generator writes every file named here
// and lays the sections out at these positions, so a renamed file or a moved
// section changes both, or fails to compile.

#include <array>

namespace catalogue::sound {

// The title tune, also played on the win screen.
inline constexpr const char* kTitleMusic = "devils.mod";
// The play music: one module of three sections.
inline constexpr const char* kPlayMusic = "three.mod";

// The effects, by the index the rules play them with.
enum Effect : int {
    kRotate = 0,  // the falling piece turns
    kOneRow = 1,  // one row cleared; two to four rows are the next three
    kTwoRows = 2,
    kThreeRows = 3,
    kFourRows = 4,
    kTouchDown = 5,  // the piece touches down
    kEffectCount = 6,
};

// The effect files in load order.
inline constexpr std::array<const char*, kEffectCount> kEffectFiles = {
    "rotate_mono.wav",  //
    "1line_mono.wav",   //
    "2lines_mono.wav",  //
    "3lines_mono.wav",  //
    "4lines_mono.wav",  //
    "touched_mono.wav",
};

// The play music's sections: calm, bright and driving. A level's section
// starts at its song position; each section has that many positions before
// the next one begins (it may use more positions past the last section).
inline constexpr int kSectionCount = 3;
inline constexpr int kPositionsPerSection = 10;
constexpr int sectionPosition(int section) {
    return section > 0 && section < kSectionCount ? section * kPositionsPerSection : 0;
}

// The music player's volume: 0 silent .. kFullVolume (a level's start, the
// top of a fade-out).
inline constexpr int kFullVolume = 127;

}  // namespace catalogue::sound
