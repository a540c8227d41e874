// The main loop on a scripted clock with scripted events: when frames run
// (keys moving a frame, the refresh rate, the title resting), that keys add
// no updates, and that skipping unchanged frames shows the very same
// pictures as drawing every frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/DrawList.h"
#include "app/FramePacer.h"
#include "app/MainLoop.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "game/Clock.h"
#include "game/DuobrikApplication.h"
#include "levels/Board.h"

namespace {

// The scripted counter ticks in microseconds and starts at this millisecond.
constexpr int64_t kMs = 1000;
constexpr int64_t kStartMs = 1'000'000;
int64_t gNow = 0;

// One scripted event: a window event (`what` its kind) or a key (`what` its scancode).
struct Scripted {
    int64_t atMs;  // after the start
    Uint32 type;
    int what;
    bool repeat = false;
    Uint16 mod = KMOD_NONE;
};

// The window system of a test: the scripted events at their times, a quit
// once they are played and `endMs` has passed, and a history of the screen:
// each picture shown with the time it appeared.
class ScriptedHost : public MainLoop::Host {
public:
    std::vector<Scripted> script;
    size_t played = 0;
    int64_t endMs = 0;
    int rate = 60;
    int rateAfterDisplayChange = 60;
    std::vector<std::pair<int64_t, std::vector<DrawCall>>>
        history;                     // only when the picture changed
    std::vector<int64_t> showTimes;  // ms after the start

    bool waitEvent(SDL_Event& event, int timeoutMs) override {
        const int64_t deadline = gNow + timeoutMs * kMs;
        event = SDL_Event{};
        if (played < script.size() && (kStartMs + script[played].atMs) * kMs <= deadline) {
            const Scripted& s = script[played++];
            gNow = std::max(gNow, (kStartMs + s.atMs) * kMs);
            event.type = s.type;
            if (s.type == SDL_WINDOWEVENT) {
                event.window.event = static_cast<Uint8>(s.what);
                rate = s.what == SDL_WINDOWEVENT_DISPLAY_CHANGED ? rateAfterDisplayChange : rate;
            } else {
                event.key.keysym.scancode = static_cast<SDL_Scancode>(s.what);
                event.key.repeat = s.repeat ? 1 : 0;
                event.key.keysym.mod = s.mod;
            }
            return true;
        }
        if (played == script.size() && gNow >= (kStartMs + endMs) * kMs) {
            event.type = SDL_QUIT;
            return true;
        }
        gNow = deadline;
        return false;
    }
    void show(const DrawList& frame) override {
        showTimes.push_back(gNow / kMs - kStartMs);
        Renderer* drawing = gRenderer;  // the screen's recorder takes its place for a moment
        {
            FakeRenderer screen;
            frame.replayShown(screen);
            if (history.empty() || history.back().second != screen.calls) {
                history.emplace_back(showTimes.back(), screen.calls);
            }
        }
        gRenderer = drawing;
    }
    int refreshRate() override { return rate; }
    void toggleFullscreen() override { ++toggles; }
    int toggles = 0;
};

// A level that notes when it is updated and draws the same picture every time.
struct StillLevel : Level {
    void update(int64_t now, int64_t) override { updates.push_back(now - kStartMs); }
    void draw() override { gRenderer->drawTexture(1, 2, 3); }
    void keyDown(int32_t key) override { keys.push_back(key); }
    void keyUp(int32_t key) override { keys.push_back(-key); }
    std::vector<int64_t> updates;  // ms after the start
    std::vector<int32_t> keys;     // presses, and releases as negative codes
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        gCounter = {[] { return gNow; }, [] { return 1000 * kMs; }};
    }
    void TearDown() override {
        gRenderer = nullptr;
        gCounter = savedCounter;
    }
    // The whole game (with rand seeded by `seed`) or one still level.
    std::unique_ptr<BrikApplication> makeApp(unsigned seed = 0) {
        gNow = kStartMs * kMs;
        gRenderer = &frame;
        std::unique_ptr<BrikApplication> app;
        if (seed != 0) {
            app = std::make_unique<DuobrikApplication>();
            app->init();
            srand(seed);
        } else {
            app = std::make_unique<BrikApplication>();
            app->level = std::make_unique<StillLevel>();
        }
        app_ = app.get();
        return app;
    }
    // What a run came to: frames run (drawn or not) and frames shown.
    struct Frames {
        int64_t run, shown;
    };
    Frames run(ScriptedHost& host, MainLoop::Options options = {}) {
        MainLoop loop(host, frame, *app_, options);
        loop.run();
        return {loop.framesRun(), loop.framesShown()};
    }

    // The same pictures in the same order, each appearing at most `lateMs` later.
    static void expectSamePictures(const ScriptedHost& expected, const ScriptedHost& actual,
                                   int64_t lateMs) {
        ASSERT_EQ(expected.history.size(), actual.history.size()) << "pictures shown";
        for (size_t i = 0; i < expected.history.size(); ++i) {
            EXPECT_TRUE(expected.history[i].second == actual.history[i].second) << "picture " << i;
            EXPECT_NEAR(actual.history[i].first, expected.history[i].first, lateMs)
                << "picture " << i << " appeared";
        }
    }

    Counter savedCounter = gCounter;
    BrikApplication* app_ = nullptr;
    DrawList frame;
    FakeAudio audio;
};

// The plain loop draws and swaps every frame; the optimised one skips the
// frames that equal the one on screen. Over a scripted game (the title, an
// expose, a game started, presses with auto-repeats and releases, Down held,
// the window minimised and restored) both screens show the same pictures
// from the same moments on, and the optimised one far fewer frames.
TEST_F(MainLoopTest, SkippingUnchangedFramesShowsTheSameFramesAsDrawingAll) {
    std::vector<Scripted> script = {{2'600, SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED},
                                    {3'210, SDL_KEYDOWN, SDL_SCANCODE_SPACE},
                                    {3'290, SDL_KEYUP, SDL_SCANCODE_SPACE}};
    for (int i = 0; i < 40; ++i) {
        const int k = SDL_SCANCODE_RIGHT + i % 3;  // Right, Left, Down
        const int64_t t = 4'000 + i * 353;
        script.insert(script.end(), {{t, SDL_KEYDOWN, k},
                                     {t + 40, SDL_KEYDOWN, k, true},
                                     {t + 73, SDL_KEYDOWN, k, true},
                                     {t + 101, SDL_KEYUP, k}});
    }
    script.insert(script.end(), {{19'000, SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED},
                                 {20'500, SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED}});
    ScriptedHost hosts[2];
    for (bool skip : {false, true}) {
        const auto app = makeApp(11);
        hosts[skip].script = script;
        hosts[skip].endMs = 22'000;
        run(hosts[skip], {.wakeOnKey = true, .skipUnchanged = skip, .sleepWhenStill = false});
    }
    expectSamePictures(hosts[0], hosts[1], 0);
    EXPECT_GT(hosts[0].history.size(), 500u) << "the game in play changes every frame";
    EXPECT_LT(hosts[1].showTimes.size() + 150, hosts[0].showTimes.size())
        << "the title's unchanged frames were skipped";
}

// Keys move frames but add none: a minute with a fresh press every 350 ms
// (and its auto-repeat and release) runs exactly the updates of a minute
// without keys, and the frame after each press ran within the gap.
TEST_F(MainLoopTest, KeysMoveFramesButAddNoUpdates) {
    size_t updates[2] = {};
    for (bool withKeys : {false, true}) {
        const auto app = makeApp();
        ScriptedHost host;
        for (int64_t t = 3; withKeys && t < 60'000; t += 350) {
            const int k = t % 700 == 3 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT;
            host.script.insert(
                host.script.end(),
                {{t, SDL_KEYDOWN, k}, {t + 30, SDL_KEYDOWN, k, true}, {t + 61, SDL_KEYUP, k}});
        }
        host.endMs = 60'000;
        run(host);
        updates[withKeys] = static_cast<StillLevel*>(app->level.get())->updates.size();
        // The level's picture never changes: a key is all that shows a frame.
        ASSERT_EQ(host.showTimes.size(), 1 + host.script.size() / 3);
        for (size_t i = 1; i < host.showTimes.size(); ++i) {
            EXPECT_LE(host.showTimes[i] - host.script[3 * (i - 1)].atMs, FramePacer::kKeyFrameGapMs)
                << "press " << i;
        }
    }
    EXPECT_EQ(updates[1], updates[0]);
    EXPECT_GE(updates[0], 3590u) << "60 Hz for a minute";
}

// A still frame is not drawn again, unless the window system may have lost
// it or a key was pressed. Only a fresh press brings the next frame forward
// to its own moment: a held key's auto-repeats doing so would hasten the
// soft drop.
TEST_F(MainLoopTest, ExposeRestoreAndKeysDrawAStillFrameAgain) {
    const struct {
        const char* name;
        Scripted event;
        int64_t shows;
        bool updatedAtOnce;
    } cases[] = {
        {"exposed", {510, SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED}, 2, false},
        {"restored", {510, SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED}, 2, false},
        {"shown", {510, SDL_WINDOWEVENT, SDL_WINDOWEVENT_SHOWN}, 2, false},
        {"a key", {510, SDL_KEYDOWN, SDL_SCANCODE_A}, 2, true},
        {"an auto-repeat", {510, SDL_KEYDOWN, SDL_SCANCODE_A, true}, 1, false},
        {"a release", {510, SDL_KEYUP, SDL_SCANCODE_A}, 1, false},
        {"moved", {510, SDL_WINDOWEVENT, SDL_WINDOWEVENT_MOVED}, 1, false},
    };
    for (const auto& c : cases) {
        const auto app = makeApp();
        ScriptedHost host;
        host.script = {c.event};
        host.endMs = 1'000;
        const Frames frames = run(host);
        EXPECT_EQ(frames.shown, c.shows) << c.name;
        EXPECT_GE(frames.run, 59) << c.name;
        const std::vector<int64_t>& updates = static_cast<StillLevel*>(app->level.get())->updates;
        EXPECT_EQ(std::ranges::count(updates, 510), c.updatedAtOnce ? 1 : 0) << c.name;
    }
}

// Moved to a display of another rate, the loop takes up that rate.
TEST_F(MainLoopTest, ADisplayChangeBringsItsRefreshRate) {
    const auto app = makeApp();
    ScriptedHost host;
    host.rateAfterDisplayChange = 144;
    host.script = {{1'000, SDL_WINDOWEVENT, SDL_WINDOWEVENT_DISPLAY_CHANGED}};
    host.endMs = 2'000;
    EXPECT_NEAR(run(host).run, 60 + 144, 2);
}

// Where the display calls the program once per refresh (a web page), each
// pass takes every waiting event, then runs one frame; a pass that sees
// Escape ends the game after its frame, a close request before it.
TEST_F(MainLoopTest, OnePassTakesTheWaitingEventsThenOneFrame) {
    auto app = makeApp();
    ScriptedHost host;
    host.endMs = 60'000;  // no close request meanwhile
    host.script = {{0, SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED},
                   {0, SDL_KEYDOWN, SDL_SCANCODE_LEFT},
                   {0, SDL_KEYUP, SDL_SCANCODE_LEFT}};
    MainLoop loop(host, frame, *app, {});
    EXPECT_TRUE(loop.runOnce());
    EXPECT_EQ(host.played, 3u) << "every waiting event comes before the frame";
    EXPECT_EQ(loop.framesRun(), 1);
    EXPECT_EQ(loop.framesShown(), 1);
    EXPECT_TRUE(loop.runOnce());
    EXPECT_EQ(loop.framesRun(), 2) << "one frame per pass, with no event waiting too";
    EXPECT_EQ(loop.framesShown(), 1) << "the unchanged frame was shown again";

    host.script.push_back({0, SDL_KEYDOWN, SDL_SCANCODE_ESCAPE});
    EXPECT_FALSE(loop.runOnce()) << "Escape did not end the game";
    EXPECT_EQ(loop.framesRun(), 3) << "the frame of the Escape press";
    host.script.push_back({0, SDL_QUIT, 0});
    EXPECT_FALSE(loop.runOnce()) << "a close request did not end the game";
    EXPECT_EQ(loop.framesRun(), 3) << "a frame ran after the close request";
}

// F11 and Alt+Enter switch the screen and reach no level (a held F11 does
// not flip it back and forth); Escape still ends the game.
TEST_F(MainLoopTest, FullScreenKeysSwitchTheScreenAndReachNoLevel) {
    const auto app = makeApp();
    ScriptedHost host;
    host.script = {{100, SDL_KEYDOWN, SDL_SCANCODE_F11},
                   {130, SDL_KEYDOWN, SDL_SCANCODE_F11, true},
                   {160, SDL_KEYUP, SDL_SCANCODE_F11},
                   {200, SDL_KEYDOWN, SDL_SCANCODE_RETURN, false, KMOD_LALT},
                   {260, SDL_KEYUP, SDL_SCANCODE_RETURN, false, KMOD_LALT},
                   {300, SDL_KEYDOWN, SDL_SCANCODE_ESCAPE}};
    host.endMs = 60'000;
    const Frames frames = run(host);
    EXPECT_EQ(host.toggles, 2);
    EXPECT_EQ(static_cast<StillLevel*>(app->level.get())->keys, std::vector<int32_t>{27});
    EXPECT_LT(frames.run, 60) << "Escape did not end the game";
}

// Between two blinks of its prompt the title rests: the loop runs no frame
// at all, and wakes for each blink on the frame grid, showing the pictures
// a loop that runs every frame shows, at most a frame later. A key ends the
// rest at once.
TEST_F(MainLoopTest, TheTitleRestsBetweenBlinks) {
    ScriptedHost hosts[2];
    int64_t framesRun[2] = {};
    for (bool rest : {false, true}) {
        const auto app = makeApp(11);
        hosts[rest].script = {{10'250, SDL_KEYDOWN, SDL_SCANCODE_SPACE}};
        hosts[rest].endMs = 10'400;
        framesRun[rest] = run(hosts[rest], {.sleepWhenStill = rest}).run;
    }
    expectSamePictures(hosts[0], hosts[1], 17);
    EXPECT_LE(framesRun[1], 30 + 10) << "20 blinks in 10 s, then 150 ms of play";
    EXPECT_EQ(hosts[1].showTimes.at(21), 10'250) << "the key's frame";
}

}  // namespace
