#include "game/Clock.h"

#include <chrono>

namespace {

using Steady = std::chrono::steady_clock;

int64_t steadyCounter() {
    return static_cast<int64_t>(Steady::now().time_since_epoch().count());
}

int64_t steadyFrequency() {
    return static_cast<int64_t>(Steady::period::den / Steady::period::num);
}

}  // namespace

Counter gCounter = {steadyCounter, steadyFrequency};
