#pragma once
// The high-resolution counter behind the game's millisecond clock. The game
// reads SDL's performance counter; tests swap in a scripted one.

#include <cstdint>

struct Counter {
    int64_t (*read)();       // current tick count
    int64_t (*frequency)();  // ticks per second
};

// The counter BrikApplication reads. Defaults to SDL's performance counter.
extern Counter gCounter;
