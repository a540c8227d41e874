// The application's millisecond clock over a scripted counter: when levels get
// an update and with what time.

#include <gtest/gtest.h>

#include <vector>

#include "app/BrikApplication.h"
#include "app/Clock.h"
#include "fakes/FakeRenderer.h"

namespace {

int64_t gTicks = 0;
int64_t gFrequency = 1000;
int64_t scriptedRead() {
    return gTicks;
}
int64_t scriptedFrequency() {
    return gFrequency;
}

struct RecordingLevel : Level {
    struct Update {
        int64_t now, elapsed;
        bool operator==(const Update&) const = default;
    };
    void update(int64_t nowMs, int64_t elapsedMs) override {
        updates.push_back({nowMs, elapsedMs});
    }
    void draw() override { ++draws; }
    void keyDown(int32_t key) override { keys.push_back(key); }
    void keyUp(int32_t key) override { keys.push_back(-key); }
    std::vector<Update> updates;
    std::vector<int32_t> keys;
    int draws = 0;
};

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = gCounter;
        gCounter = {scriptedRead, scriptedFrequency};
    }
    void TearDown() override { gCounter = saved; }
    // An application whose current level records what it receives.
    RecordingLevel* start(int64_t frequency, int64_t ticks) {
        gFrequency = frequency;
        gTicks = ticks;
        app = std::make_unique<BrikApplication>();
        app->init();
        auto level = std::make_unique<RecordingLevel>();
        RecordingLevel* raw = level.get();
        app->level = std::move(level);
        return raw;
    }
    Counter saved{};
    std::unique_ptr<BrikApplication> app;
};

// Each row: a counter frequency and start, then readings; an update is due
// only when the millisecond moves past the last one the clock acted on.
TEST_F(FrameClockTest, UpdatesOnlyWhenTheMillisecondMovesForward) {
    const struct {
        int64_t frequency, start, ticksPerMs;
        std::vector<int64_t> readings;
        std::vector<RecordingLevel::Update> updates;
    } cases[] = {
        // Same millisecond twice: one update.
        {10'000'000,
         50'000'000,
         10'000,
         {50'009'999, 50'010'000, 50'010'000, 50'170'000},
         {{5001, 1}, {5017, 16}}},
        // A backwards reading leaves the clock alone until it passes the old one.
        {1000, 700, 1, {600, 700, 703}, {{703, 3}}},
        // Truncated ticks per millisecond: the clock then runs slightly fast, as designed.
        {3'579'545, 0, 3579, {3579}, {{1, 1}}},
        // A counter slower than 1 kHz counts each tick as a millisecond.
        {500, 40, 1, {45}, {{45, 5}}},
        // A minute minimised arrives whole.
        {1000, 0, 1, {60'000}, {{60'000, 60'000}}},
    };
    for (const auto& c : cases) {
        RecordingLevel* level = start(c.frequency, c.start);
        EXPECT_EQ(app->ticksPerMs, c.ticksPerMs) << "frequency " << c.frequency;
        for (int64_t reading : c.readings) {
            gTicks = reading;
            app->tick();
        }
        EXPECT_EQ(level->updates, c.updates) << "frequency " << c.frequency;
    }
}

TEST_F(FrameClockTest, RenderClearsThenDrawsAndKeysReachTheLevel) {
    FakeRenderer renderer;
    RecordingLevel* level = start(1000, 0);
    app->render();
    EXPECT_EQ(renderer.trace(), "Clear");
    EXPECT_EQ(level->draws, 1);
    app->keyDown(37);
    app->keyUp(37);
    EXPECT_EQ(level->keys, (std::vector<int32_t>{37, -37}));
    EXPECT_EQ(app->levelNumber, 1);
    EXPECT_EQ(app->score, 0);
}

TEST(FrameLevelTest, ALevelThatOverridesNothingStaysRunning) {
    Level level;
    level.start();
    level.update(10, 10);
    level.keyDown(27);
    level.keyUp(27);
    level.draw();
    EXPECT_EQ(level.state, Running);
}

}  // namespace
