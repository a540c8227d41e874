#include "app/Clock.h"

#include <SDL.h>

namespace {
int64_t sdlCounter() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}
int64_t sdlFrequency() {
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}
}  // namespace

Counter gCounter = {sdlCounter, sdlFrequency};
