// The win screen after the last level: what it shows and when a key leaves it.

#include <gtest/gtest.h>

#include "app/WinLevel.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"

namespace {

class WinLevelTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
    WinLevel win;
};

TEST_F(WinLevelTest, ShowsThePlateAndTheLastFiveDigitsOfTheScore) {
    win.score = 123456;
    win.draw();
    EXPECT_EQ(renderer.trace(),
              "Texture(0,0,85) Centered(160,400,221) Texture(162,7,194) Texture(134,7,193) "
              "Texture(106,7,192) Texture(78,7,191) Texture(50,7,190)");
}

TEST_F(WinLevelTest, KeysCountOnlyAfterTheGuardTime) {
    win.start();
    win.update(100, WinLevel::kKeyGuardMs - 1);
    win.keyDown(32);
    EXPECT_EQ(win.state, Running);
    win.keyUp(32);
    win.update(101, 1);
    win.keyDown(27);
    EXPECT_EQ(win.state, WinLevel::kBackToIntro);
}

TEST_F(WinLevelTest, ALongPauseDoesNotOverflowTheGuard) {
    win.update(0, 1);
    win.update(1, INT64_MAX);
    win.keyDown(0);
    EXPECT_EQ(win.state, WinLevel::kBackToIntro);
}

}  // namespace
