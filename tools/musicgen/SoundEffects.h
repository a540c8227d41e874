#pragma once
// The six sound effects, synthesised as mono 16-bit PCM at 44.1 kHz, and the
// WAV container they are written in.
//
// Every effect starts and ends at zero and peaks at -1 dBFS: a little louder
// than the music, never clipped. Lengths: rotate and touch-down under 150 ms,
// the row clears growing from a two-note chime to a fanfare of 1.4 s.

#include <cstdint>
#include <string>
#include <vector>

namespace effects {

constexpr int kRate = 44100;

std::vector<int16_t> rotate();     // a short soft tick
std::vector<int16_t> touchDown();  // a low dull thud
// Rows cleared at once, 1..4: rising chimes, each richer than the last.
std::vector<int16_t> rowsCleared(int rows);

// A RIFF/WAVE file of mono 16-bit PCM at kRate.
std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples);

}  // namespace effects
