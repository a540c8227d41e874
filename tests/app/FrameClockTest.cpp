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

TEST_F(FrameClockTest, UpdatesOnlyWhenTheMillisecondMoves) {
    RecordingLevel* level = start(10'000'000, 50'000'000);  // 5000 ms
    EXPECT_EQ(app->ticksPerMs, 10'000);
    EXPECT_EQ(app->lastTimeMs, 5000);
    gTicks += 9'999;  // still inside millisecond 5000
    app->tick();
    EXPECT_TRUE(level->updates.empty());
    EXPECT_EQ(app->lastTimeMs, 5000);
    gTicks += 1;
    app->tick();
    app->tick();  // same millisecond again: no second update
    gTicks += 16 * 10'000;
    app->tick();
    const std::vector<RecordingLevel::Update> want = {{5001, 1}, {5017, 16}};
    EXPECT_EQ(level->updates, want);
}

TEST_F(FrameClockTest, BackwardsCounterWaitsUntilItPassesTheOldReading) {
    RecordingLevel* level = start(1000, 700);
    gTicks = 600;
    app->tick();
    EXPECT_TRUE(level->updates.empty());
    EXPECT_EQ(app->lastTimeMs, 700) << "a backwards reading leaves the clock alone";
    gTicks = 700;
    app->tick();
    EXPECT_TRUE(level->updates.empty());
    gTicks = 703;
    app->tick();
    ASSERT_EQ(level->updates.size(), 1u);
    EXPECT_EQ(level->updates[0].elapsed, 3);
}

TEST_F(FrameClockTest, OddFrequenciesTruncateTicksPerMillisecond) {
    start(3'579'545, 0);
    EXPECT_EQ(app->ticksPerMs, 3579) << "the clock then runs slightly fast, as designed";
    // A counter slower than 1 kHz counts each tick as a millisecond instead of dividing by zero.
    RecordingLevel* level = start(500, 40);
    EXPECT_EQ(app->ticksPerMs, 1);
    gTicks = 45;
    app->tick();
    ASSERT_EQ(level->updates.size(), 1u);
    EXPECT_EQ(level->updates[0].now, 45);
}

TEST_F(FrameClockTest, LongPauseArrivesWhole) {
    RecordingLevel* level = start(1000, 0);
    gTicks = 60'000;  // a minute minimised
    app->tick();
    ASSERT_EQ(level->updates.size(), 1u);
    EXPECT_EQ(level->updates[0].elapsed, 60'000);
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
