// The intro screen: its music, the blinking prompt and the key that starts a game.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/IntroLevel.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"

namespace {

class IntroLevelTest : public ::testing::Test {
protected:
    FakeRenderer renderer;
    FakeAudio audio;
};

TEST_F(IntroLevelTest, StartPlaysTheIntroMusicAndLeavingStopsIt) {
    {
        IntroLevel intro;
        intro.start();
        EXPECT_EQ(audio.log, (std::vector<std::string>{"loadMusic(devils.mod)", "playMusic(0)"}));
    }
    EXPECT_EQ(audio.log.back(), "stopMusic");
}

TEST_F(IntroLevelTest, PromptBlinksWithTheClockSecond) {
    IntroLevel intro;
    EXPECT_FALSE(intro.blink) << "hidden before the first update";
    const std::pair<int64_t, bool> cases[] = {
        {0, false},    {500, false}, {501, true},           {999, true},           {1000, false},
        {1500, false}, {1501, true}, {7'000'000'999, true}, {7'000'001'000, false}};
    for (const auto& [now, shown] : cases) {
        intro.update(now, 1);
        EXPECT_EQ(intro.blink, shown) << "at " << now << " ms";
        renderer.calls.clear();
        intro.draw();
        EXPECT_EQ(renderer.trace(),
                  shown ? "Texture(0,0,85) Texture(16,50,126)" : "Texture(0,0,85)");
    }
}

TEST_F(IntroLevelTest, AnyKeyPressStartsAGameAndReleasesDoNothing) {
    const int32_t keys[] = {0, 27, 32, 37, 65, 255, -1, 1000};
    for (int32_t key : keys) {
        IntroLevel intro;
        intro.keyUp(key);
        EXPECT_EQ(intro.state, Running) << "released " << key;
        intro.keyDown(key);
        EXPECT_EQ(intro.state, StartGame) << "pressed " << key;
    }
}

}  // namespace
