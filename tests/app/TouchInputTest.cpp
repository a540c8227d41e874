// Touches as the game's keys, from synthetic SDL finger events on drawing
// surfaces of several sizes: the gestures, the paying out of a fast swipe,
// and fingers that must do nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TouchInput.h"
#include "catalogue/ScreenFit.h"

namespace {

using Keys = std::vector<std::string>;

// Every key as text: "+37" pressed, "-37" let go; with the time of each press.
struct KeyLog : KeyReceiver {
    explicit KeyLog(const int64_t& clock) : now(clock) {}
    void press(int32_t code, bool repeat) override {
        keys.push_back((repeat ? "r" : "+") + std::to_string(code));
        pressMs.push_back(now);
    }
    void release(int32_t code) override { keys.push_back("-" + std::to_string(code)); }
    const int64_t& now;
    Keys keys;
    std::vector<int64_t> pressMs;
};

// One finger event: where (in picture pixels), how long after the last one,
// and whose finger.
struct Touch {
    Uint32 type;
    float x, y;
    int64_t afterMs;
    SDL_FingerID finger = 1;
};
constexpr Uint32 kDown = SDL_FINGERDOWN, kMove = SDL_FINGERMOTION, kUp = SDL_FINGERUP;

class TouchInputTest : public ::testing::Test {
protected:
    // A finger at picture pixel (x, y), as SDL reports it: a share of the
    // surface, on which the picture lies where fitScreen puts it.
    void finger(const Touch& t) {
        now += t.afterMs;
        const catalogue::ScreenFit fit = catalogue::fitScreen(width, height);
        SDL_TouchFingerEvent event{};
        event.type = t.type;
        event.touchId = 1;
        event.fingerId = t.finger;
        event.x = (static_cast<float>(fit.x) + t.x * static_cast<float>(fit.factor)) /
                  static_cast<float>(width);
        event.y = (static_cast<float>(height - fit.y - fit.height) +
                   t.y * static_cast<float>(fit.factor)) /
                  static_cast<float>(height);
        touch.handle(event, width, height, now, log);
    }
    // Frames at 60 Hz for `ms`.
    void frames(int64_t ms) {
        for (const int64_t end = now + ms; now < end; now += 16) {
            touch.step(now, log);
        }
    }

    int width = 320, height = 480;
    int64_t now = 1000;
    TouchInput touch;
    KeyLog log{now};
};

TEST_F(TouchInputTest, GesturesAreTheGamesKeysOnEveryScreen) {
    const struct {
        const char* gesture;
        std::vector<Touch> touches;
        Keys keys;
    } cases[] = {
        {"tap", {{kDown, 160, 240, 0}, {kUp, 163, 242, 120}}, {"+38", "-38"}},
        {"resting thumb", {{kDown, 160, 240, 0}, {kUp, 160, 240, 700}}, {}},
        {"swipe left three squares",
         {{kDown, 200, 300, 0}, {kMove, 170, 301, 30}, {kMove, 140, 302, 30}, {kUp, 139, 302, 30}},
         {"+37", "-37", "+37", "-37", "+37", "-37"}},
        {"swipe right short of two squares",
         {{kDown, 100, 300, 0}, {kMove, 139, 300, 40}, {kUp, 139, 300, 40}},
         {"+39", "-39"}},
        {"swipe left two, back one",
         {{kDown, 200, 300, 0}, {kMove, 158, 300, 40}, {kMove, 178, 300, 40}, {kUp, 178, 300, 40}},
         {"+37", "-37"}},
        {"sideways with a little drop",
         {{kDown, 160, 200, 0}, {kMove, 130, 212, 40}, {kUp, 130, 212, 40}},
         {"+37", "-37"}},
        {"drag down, held until lifted",
         {{kDown, 160, 200, 0}, {kMove, 160, 230, 40}, {kUp, 160, 400, 900}},
         {"+40", "-40"}},
        {"drag down, then sideways",
         {{kDown, 160, 200, 0}, {kMove, 162, 220, 40}, {kMove, 100, 260, 40}, {kUp, 100, 260, 40}},
         {"+40", "-40"}},
        {"upward", {{kDown, 160, 300, 0}, {kMove, 160, 250, 40}, {kUp, 160, 240, 40}}, {}},
        {"a second finger swiping while the first taps",
         {{kDown, 160, 240, 0},
          {kDown, 100, 300, 10, 2},
          {kMove, 30, 300, 10, 2},
          {kUp, 30, 300, 10, 2},
          {kUp, 160, 240, 10}},
         {"+38", "-38"}},
    };
    const struct {
        int width, height;
    } screens[] = {{320, 480}, {1170, 2532}, {1920, 1080}, {200, 300}};
    for (const auto& screen : screens) {
        for (const auto& c : cases) {
            width = screen.width;
            height = screen.height;
            log.keys.clear();
            for (const Touch& t : c.touches) {
                finger(t);
            }
            frames(1500);
            EXPECT_EQ(log.keys, c.keys) << c.gesture << " on " << width << "x" << height;
        }
    }
}

// A swipe faster than the piece slides: one column per slide, each pressed
// for one frame. The slide a press starts may end as late as the first frame
// a slide's time after it (the rules count the frame's time from the frame
// before), so the next press waits for the frame after that one.
TEST_F(TouchInputTest, AFastSwipeIsPaidOutOneSlideApart) {
    finger({kDown, 250, 300, 0});
    finger({kMove, 165, 300, 10});  // four squares and a bit
    finger({kUp, 165, 300, 10});
    frames(1000);
    ASSERT_EQ(log.keys, (Keys{"+37", "-37", "+37", "-37", "+37", "-37", "+37", "-37"}));
    for (size_t i = 1; i < log.pressMs.size(); ++i) {
        const int64_t gap = log.pressMs[i] - log.pressMs[i - 1];
        EXPECT_GE(gap, catalogue::kSlideMs + 2 * 16) << "press " << i << " came during the slide";
        EXPECT_LE(gap, catalogue::kSlideMs + 3 * 16) << "press " << i << " waited too long";
    }
}

}  // namespace
