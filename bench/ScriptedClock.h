#pragma once
// A millisecond clock that moves only when the program moves it, for the
// benchmarks that drive the whole game faster than real time.

#include <cstdint>

#include "game/Clock.h"

// The time the game reads once scriptedClock() is installed in gCounter.
inline int64_t gScriptedNowMs = 1'000'000'000;

inline Counter scriptedClock() {
    return {[] { return gScriptedNowMs; }, [] { return int64_t{1000}; }};
}
