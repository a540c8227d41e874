#pragma once
// How the generator fails: a song or sample that cannot be written is a
// fault in the code that describes it, so the build stops with a message
// rather than writing a module the game would play wrongly.

#include <cstdio>
#include <cstdlib>
#include <string>

[[noreturn]] inline void refuse(const std::string& what) {
    std::fprintf(stderr, "duobrik-musicgen: %s\n", what.c_str());
    std::exit(1);
}
