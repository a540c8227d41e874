// The application frame: its millisecond clock over a scripted counter (when
// levels get an update and with what time), then a frame clears the screen
// before the level draws, and keys reach the level.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "fakes/FakeRenderer.h"
#include "game/BrikApplication.h"
#include "game/Clock.h"

namespace {

int64_t gTicks = 0;
int64_t gFrequency = 1000;

struct RecordingLevel : Level {
    void update(int64_t now, int64_t elapsed) override { updates.push_back({now, elapsed}); }
    void draw() override { gRenderer->drawTexture(0, 0, 1); }
    void keyDown(int32_t key) override { keys.push_back(key); }
    void keyUp(int32_t key) override { keys.push_back(-key); }
    std::vector<std::pair<int64_t, int64_t>> updates;
    std::vector<int32_t> keys;
};

// Each row: a counter frequency and start, then readings; an update is due
// only when the millisecond moves past the last one the clock acted on. Then
// a frame clears the screen before the level draws, and keys reach the level.
TEST(FrameClock, UpdatesOnlyWhenTheMillisecondMovesForward) {
    const struct {
        int64_t frequency, start, ticksPerMs;
        std::vector<int64_t> readings;
        std::vector<std::pair<int64_t, int64_t>> updates;
    } cases[] = {
        // clang-format off
        // Same millisecond twice: one update.
        {10'000'000, 50'000'000, 10'000, {50'009'999, 50'010'000, 50'010'000, 50'170'000},
         {{5001, 1}, {5017, 16}}},
        // A backwards reading leaves the clock alone until it passes the old one.
        {1000, 700, 1, {600, 700, 703}, {{703, 3}}},
        // Truncated ticks per millisecond: the clock then runs slightly fast, 0.015% here.
        {3'579'545, 0, 3579, {3579}, {{1, 1}}},
        // A counter slower than 1 kHz counts each tick as a millisecond.
        {500, 40, 1, {45}, {{45, 5}}},
        // A minute minimised arrives whole.
        {1000, 0, 1, {60'000}, {{60'000, 60'000}}},
        // clang-format on
    };
    const Counter saved = gCounter;
    gCounter = {[] { return gTicks; }, [] { return gFrequency; }};
    FakeRenderer renderer;
    for (const auto& c : cases) {
        gFrequency = c.frequency;
        gTicks = c.start;
        BrikApplication app;
        app.init();
        app.level = std::make_unique<RecordingLevel>();
        auto* level = static_cast<RecordingLevel*>(app.level.get());
        EXPECT_EQ(app.ticksPerMs, c.ticksPerMs) << "frequency " << c.frequency;
        for (int64_t reading : c.readings) {
            gTicks = reading;
            app.tick();
        }
        EXPECT_EQ(level->updates, c.updates) << "frequency " << c.frequency;
        renderer.calls.clear();
        app.render();
        app.keyDown(37);
        app.keyUp(37);
        EXPECT_EQ(renderer.trace(), "Clear Texture(0,0,1)");
        EXPECT_EQ(level->keys, (std::vector<int32_t>{37, -37}));
    }
    gCounter = saved;
}

}  // namespace
