#pragma once
// The high-resolution counter behind the game's millisecond clock, as an
// interface of two functions: the game flow reads it without knowing where
// it comes from. The game installs SDL's performance counter at start; the
// default is the standard library's steady clock, so that the flow runs
// anywhere, and tests swap in a scripted one.

#include <cstdint>

struct Counter {
    int64_t (*read)();       // current tick count
    int64_t (*frequency)();  // ticks per second
};

// The counter BrikApplication and the main loop read.
extern Counter gCounter;
