// The application frame: its millisecond clock over a scripted counter (when
// levels get an update and with what time), and the key table (the game's
// keys get their codes, every other key some code, system keys never arrive).

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "app/BrikApplication.h"
#include "app/Clock.h"
#include "app/KeyMap.h"
#include "fakes/FakeRenderer.h"

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

TEST(FrameKeyMap, GameKeysGetTheirCodes) {
    const std::pair<SDL_Scancode, int> cases[] = {
        {SDL_SCANCODE_ESCAPE, 27}, {SDL_SCANCODE_SPACE, 32},    {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_UP, 38},     {SDL_SCANCODE_RIGHT, 39},    {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_TAB, 9},
        {SDL_SCANCODE_0, 48},      {SDL_SCANCODE_1, 49},        {SDL_SCANCODE_9, 57},
        {SDL_SCANCODE_A, 65},      {SDL_SCANCODE_Z, 90},        {SDL_SCANCODE_F1, 112},
        {SDL_SCANCODE_F12, 123},   {SDL_SCANCODE_KP_ENTER, 13},
    };
    for (const auto& [scancode, code] : cases) {
        EXPECT_EQ(virtualKeyFromScancode(scancode), code) << SDL_GetScancodeName(scancode);
    }
}

// Out-of-range scancodes included: every key has a code in 0..255, and only
// the arrows and Space steer.
TEST(FrameKeyMap, EveryKeyHasACodeAndOnlyArrowsAndSpaceSteer) {
    const std::set<int> steering = {32, 37, 38, 39, 40};
    const std::set<int> steeringKeys = {SDL_SCANCODE_SPACE, SDL_SCANCODE_LEFT, SDL_SCANCODE_UP,
                                        SDL_SCANCODE_RIGHT, SDL_SCANCODE_DOWN};
    for (int s = -5; s < SDL_NUM_SCANCODES + 5; ++s) {
        const int code = virtualKeyFromScancode(static_cast<SDL_Scancode>(s));
        ASSERT_TRUE(code >= 0 && code <= 255) << "scancode " << s << " gives " << code;
        EXPECT_EQ(steering.count(code), steeringKeys.count(s)) << "scancode " << s;
    }
}

TEST(FrameKeyMap, SystemKeys) {
    EXPECT_TRUE(isSystemKey(SDL_SCANCODE_F10, KMOD_NONE));
    EXPECT_TRUE(isSystemKey(SDL_SCANCODE_LALT, KMOD_NONE));
    EXPECT_TRUE(isSystemKey(SDL_SCANCODE_X, KMOD_LALT));
    EXPECT_TRUE(isSystemKey(SDL_SCANCODE_F4, KMOD_RALT));
    EXPECT_FALSE(isSystemKey(SDL_SCANCODE_X, KMOD_LSHIFT));
    EXPECT_FALSE(isSystemKey(SDL_SCANCODE_F9, KMOD_NONE));
}

}  // namespace
