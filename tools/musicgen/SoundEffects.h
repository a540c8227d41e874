#pragma once
// The six sound effects, synthesised as mono 16-bit PCM at 44.1 kHz, and the
// WAV container they are written in.
//
// The game plays an effect centred, which puts it 12 dB below the file's
// own level on each side (libmikmod's mixer halves a centred voice and
// shifts the mix down once more). To be heard over music whose RMS is about
// -17.3 dBFS, an effect's loudest 50 ms are made dense and loud in the file:
// levels are set on that window (kRotateDb and the others), and what rises
// above -2 dBFS is rounded off below full scale instead of clipped. Every effect starts and ends at
// zero. Pitched effects use only C, D, E, G, A and B, the notes that every
// tune's key shares.

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Sound.h"

namespace effects {

constexpr int kRate = 44100;

// The loudest 50 ms of each effect, dBFS in the file (the game plays it
// 12 dB lower): a little over the louder play music's -17.3 dBFS, the
// touch-down's knock alone (above 200 Hz) too; the row clears rise by a
// little over 1 dB a step.
constexpr double kRotateDb = -4.3;
constexpr double kTouchDownDb = -3.0;
constexpr double kRowsDb[4] = {-4.5, -3.45, -2.4, -1.35};

std::vector<int16_t> rotate();     // a short soft wooden tick
std::vector<int16_t> touchDown();  // a wooden knock and a low thump
// Rows cleared at once, 1..4: rising chimes, each richer and longer than
// the last; four rows is a small fanfare.
std::vector<int16_t> rowsCleared(int rows);

// The effect the game plays by index `e`.
std::vector<int16_t> effect(catalogue::sound::Effect e);

// The level in dBFS of the loudest 50 ms of `samples`.
double loudestDb(const std::vector<int16_t>& samples);

// A RIFF/WAVE file of 16-bit PCM at kRate; `channels` interleaved.
std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples, int channels = 1);

}  // namespace effects
