// When frames run: the pacer's grid, keys moving one frame forward, waits
// rounded up, odd refresh rates tamed.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/FramePacer.h"

namespace {

// Each row: events at tick times of a 1 kHz counter at 100 Hz ("f" a frame
// started, "k" a key pressed), and after each the first tick the next frame is due.
TEST(FramePacer, FramesKeepToTheGridAndKeysMoveOneForward) {
    const struct {
        const char* name;
        std::vector<std::pair<char, int64_t>> steps;
        std::vector<int64_t> due;
    } cases[] = {
        {"a grid of periods", {{'f', 0}, {'f', 10}, {'f', 21}}, {10, 20, 30}},
        {"a key moves the next frame to now, the one after keeps its place",
         {{'f', 0}, {'k', 7}, {'f', 7}, {'f', 20}},
         {10, 7, 20, 30}},
        {"a key right after a frame waits for the gap", {{'f', 0}, {'k', 1}}, {10, 5}},
        {"a second key before the moved frame changes nothing",
         {{'f', 0}, {'k', 6}, {'k', 8}},
         {10, 6, 6}},
        {"a frame more than a period late starts the grid afresh", {{'f', 0}, {'f', 35}}, {10, 45}},
    };
    for (const auto& c : cases) {
        FramePacer pacer(1000, 100, 0);
        EXPECT_TRUE(pacer.due(0)) << c.name << ": the first frame is due at once";
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const auto [what, at] = c.steps[i];
            what == 'f' ? pacer.frameStarted(at) : pacer.keyPressed(at);
            EXPECT_FALSE(pacer.due(c.due[i] - 1)) << c.name << ", step " << i;
            EXPECT_TRUE(pacer.due(c.due[i])) << c.name << ", step " << i;
        }
    }
}

// Waits are whole milliseconds rounded up, so a wait never ends before the
// frame is due; a rate of 0 (not known) or below counts as 60 Hz, and one
// beyond any display as 500 Hz.
TEST(FramePacer, WaitsRoundUpAndOddRatesAreTamed) {
    const struct {
        int rate;
        int firstWaitMs;
        int64_t periodUs;
    } cases[] = {{60, 17, 16'666}, {0, 17, 16'666}, {-144, 17, 16'666}, {1'000'000, 2, 2'000}};
    for (const auto& c : cases) {
        FramePacer pacer(1'000'000, c.rate, 0);
        pacer.frameStarted(0);
        EXPECT_EQ(pacer.msUntilDue(0), c.firstWaitMs) << c.rate << " Hz";
        EXPECT_FALSE(pacer.due(c.periodUs - 1)) << c.rate << " Hz";
        EXPECT_TRUE(pacer.due(c.periodUs)) << c.rate << " Hz";
    }
}

}  // namespace
