// The main loop on a scripted clock with scripted events: when frames run
// (the pacer's grid, keys moving a frame, the refresh rate), that keys add no
// updates and leave the soft drop as fast as before, that skipping unchanged
// frames shows the very same pictures as drawing every frame, and what the
// draw list keeps of a frame.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/DrawList.h"
#include "app/DuobrikApplication.h"
#include "app/FramePacer.h"
#include "app/MainLoop.h"
#include "app/Window.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeRenderer.h"
#include "levels/BrikLevel.h"

namespace {

// The scripted counter ticks in microseconds.
constexpr int64_t kFrequency = 1'000'000;
constexpr int64_t kMs = kFrequency / 1000;
int64_t gNow = 0;

// Writes every call it gets, all arguments and the fade included, into one
// string: two screens showed the same picture when their strings are equal.
class ScreenRecorder : public Renderer {
public:
    std::string text;
    void clear() override { put('C', 0, 0); }
    void drawBoard(const Cell* board) override { put('B', 0, 0, board, 200); }
    void drawCell(int x, int y, const Cell* cell) override { put('c', x, y, cell, 1); }
    void drawTextureScaled(int x, int y, int w, int h, float brightness,
                           unsigned texture) override {
        put('S', x, y);
        bytes(&w, sizeof w);
        bytes(&h, sizeof h);
        bytes(&brightness, sizeof brightness);
        bytes(&texture, sizeof texture);
    }
    void drawTexture(int x, int y, unsigned texture) override {
        put('T', x, y);
        bytes(&texture, sizeof texture);
    }
    void drawTextureCentered(int x, int y, unsigned texture) override {
        put('M', x, y);
        bytes(&texture, sizeof texture);
    }
    void pushTransform() override { put('(', 0, 0); }
    void translate(float dx, float dy) override {
        put('t', 0, 0);
        bytes(&dx, sizeof dx);
        bytes(&dy, sizeof dy);
    }
    void rotate(float degrees) override {
        put('r', 0, 0);
        bytes(&degrees, sizeof degrees);
    }
    void popTransform() override { put(')', 0, 0); }

private:
    void bytes(const void* p, size_t n) { text.append(static_cast<const char*>(p), n); }
    void put(char op, int x, int y, const Cell* cells = nullptr, size_t count = 0) {
        text += op;
        bytes(&x, sizeof x);
        bytes(&y, sizeof y);
        bytes(&fade, sizeof fade);
        if (cells != nullptr) {
            bytes(cells, count * sizeof(Cell));
        }
    }
};

struct Scripted {
    int64_t atMs;
    SDL_Event event;
};

SDL_Event key(Uint32 type, SDL_Scancode scancode, bool repeat = false) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.repeat = repeat ? 1 : 0;
    return e;
}

SDL_Event windowEvent(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}

// The window system of a test: events at scripted times on the scripted
// clock, a quit once the script is played and `endMs` has passed, and a
// history of the screen: each picture shown with the time it appeared.
class ScriptedHost : public MainLoop::Host {
public:
    std::vector<Scripted> script;
    size_t played = 0;
    int64_t endMs = 0;
    std::vector<int> rates = {60};  // the refresh rate, one entry per display change

    struct Shown {
        int64_t atMs;
        std::string picture;
    };
    std::vector<Shown> history;      // a new entry only when the picture changed
    std::vector<int64_t> showTimes;  // when each frame was shown, in ticks

    bool waitEvent(SDL_Event& event, int timeoutMs) override {
        const int64_t deadline = gNow + timeoutMs * kMs;
        if (played < script.size() && script[played].atMs * kMs <= deadline) {
            gNow = std::max(gNow, script[played].atMs * kMs);
            event = script[played++].event;
            if (event.type == SDL_WINDOWEVENT &&
                event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED && rates.size() > 1) {
                rates.erase(rates.begin());
            }
            return true;
        }
        if (played == script.size() && gNow >= endMs * kMs) {
            event = SDL_Event{};
            event.type = SDL_QUIT;
            return true;
        }
        gNow = deadline;
        return false;
    }
    void show(const DrawList& frame) override {
        showTimes.push_back(gNow);
        ScreenRecorder screen;
        frame.replayShown(screen);
        if (history.empty() || history.back().picture != screen.text) {
            history.push_back({gNow / kMs, screen.text});
        }
    }
    int refreshRate() override { return rates.front(); }
};

// A level that counts its updates and draws the same picture every time.
struct CountingLevel : Level {
    void update(int64_t, int64_t) override { ++updates; }
    void draw() override { gRenderer->drawTexture(1, 2, 3); }
    int updates = 0;
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        gCounter = {[] { return gNow; }, [] { return kFrequency; }};
        gNow = 1'000'000 * kMs;
        gRenderer = &frame;
    }
    void TearDown() override {
        gApplication = nullptr;
        gRenderer = nullptr;
        gCounter = savedCounter;
        gActive = true;
        gEscapePressed = false;
        std::memset(gKeys, 0, sizeof gKeys);
    }
    // Runs `app` under `host` from the time of its construction until the host quits.
    MainLoop run(BrikApplication& app, ScriptedHost& host, MainLoop::Options options) {
        gApplication = &app;
        MainLoop loop(host, frame, options);
        loop.run();
        return loop;
    }
    // A scripted run of the whole game: the title, a game started, steering
    // with presses, auto-repeats and releases, the window exposed and
    // minimised. Times are ms from `startMs`.
    static std::vector<Scripted> wholeGameScript(int64_t startMs) {
        std::vector<Scripted> s;
        auto at = [&](int64_t ms, SDL_Event e) { s.push_back({startMs + ms, e}); };
        at(2'600, windowEvent(SDL_WINDOWEVENT_EXPOSED));
        at(3'210, key(SDL_KEYDOWN, SDL_SCANCODE_SPACE));
        at(3'290, key(SDL_KEYUP, SDL_SCANCODE_SPACE));
        for (int i = 0; i < 40; ++i) {
            const SDL_Scancode k = i % 3 == 0   ? SDL_SCANCODE_LEFT
                                   : i % 3 == 1 ? SDL_SCANCODE_RIGHT
                                                : SDL_SCANCODE_UP;
            const int64_t t = 4'000 + i * 353;
            at(t, key(SDL_KEYDOWN, k));
            at(t + 40, key(SDL_KEYDOWN, k, true));
            at(t + 73, key(SDL_KEYDOWN, k, true));
            at(t + 101, key(SDL_KEYUP, k));
        }
        at(19'000, key(SDL_KEYDOWN, SDL_SCANCODE_DOWN));
        for (int64_t t = 19'033; t < 21'000; t += 33) {
            at(t, key(SDL_KEYDOWN, SDL_SCANCODE_DOWN, true));
        }
        at(21'000, key(SDL_KEYUP, SDL_SCANCODE_DOWN));
        at(22'000, windowEvent(SDL_WINDOWEVENT_MINIMIZED));
        at(23'500, windowEvent(SDL_WINDOWEVENT_RESTORED));
        return s;
    }

    Counter savedCounter = gCounter;
    DrawList frame;
    FakeAudio audio;
};

// Each row: a refresh rate, then events at tick times on a 1 kHz-tick
// counter ("f" a frame started, "k" a key press) and the time the next frame
// is due after each.
TEST(FramePacer, FramesKeepToTheGridAndKeysMoveOneForward) {
    const struct {
        const char* name;
        int refreshHz;
        std::vector<std::pair<char, int64_t>> steps;
        std::vector<int64_t> due;  // after each step: the first tick at which due() holds
    } cases[] = {
        {"a 100 Hz grid", 100, {{'f', 0}, {'f', 10}, {'f', 21}}, {10, 20, 30}},
        {"a key moves the next frame to now, the one after keeps its place",
         100,
         {{'f', 0}, {'k', 7}, {'f', 7}, {'f', 20}},
         {10, 7, 20, 30}},
        {"a key right after a frame waits for the gap",
         100,
         {{'f', 0}, {'k', 1}},
         {10, FramePacer::kKeyFrameGapMs}},
        {"a second key before the moved frame changes nothing",
         100,
         {{'f', 0}, {'k', 6}, {'k', 8}},
         {10, 6, 6}},
        {"a frame more than a period late starts the grid afresh",
         100,
         {{'f', 0}, {'f', 35}},
         {10, 45}},
        {"no rate known counts as 60 Hz", 0, {{'f', 0}}, {16}},
        {"nor does a negative one", -144, {{'f', 0}}, {16}},
    };
    for (const auto& c : cases) {
        FramePacer pacer(1000, c.refreshHz, 0);
        EXPECT_TRUE(pacer.due(0)) << c.name << ": the first frame is due at once";
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const auto [what, at] = c.steps[i];
            if (what == 'f') {
                pacer.frameStarted(at);
            } else {
                pacer.keyPressed(at);
            }
            EXPECT_FALSE(pacer.due(c.due[i] - 1)) << c.name << ", step " << i;
            EXPECT_TRUE(pacer.due(c.due[i])) << c.name << ", step " << i;
            EXPECT_EQ(pacer.msUntilDue(at), c.due[i] > at ? c.due[i] - at : 0)
                << c.name << ", step " << i;
        }
    }
}

TEST(FramePacer, WaitsRoundUpToWholeMilliseconds) {
    FramePacer pacer(1'000'000, 60, 0);
    pacer.frameStarted(0);
    EXPECT_EQ(pacer.msUntilDue(0), 17) << "16.666 ms away";
    EXPECT_EQ(pacer.msUntilDue(16'666), 0);
    pacer.setRefreshRate(144);
    pacer.frameStarted(16'666);
    EXPECT_EQ(pacer.refreshRate(), 144);
    EXPECT_EQ(pacer.msUntilDue(16'666), 7) << "6.944 ms away";
}

// The draw list keeps what a frame drew by value: a board changed in place or
// a new fade is a new frame, and a replay gives every call back as made.
TEST(DrawListFrames, ReplaysEveryCallAndSeesEveryChange) {
    DrawList list;
    BrikLevel level;
    level.setCell(3, 4, 2);
    const Cell piece(0, 1, 2, 3, 4, 5, 6, 7, 8, 9);
    auto draw = [&](float fade) {
        list.startFrame();
        list.fade = fade;
        list.clear();
        list.drawBoard(level.board);
        list.pushTransform();
        list.translate(1.5f, -2.0f);
        list.rotate(0.25f);
        list.drawCell(80, 100, &piece);
        list.popTransform();
        list.drawTextureScaled(0, 40, 30, -20, 0.5f, 205);
        list.drawTexture(7, 8, 85);
        list.drawTextureCentered(160, 240, 126);
    };
    draw(0.25f);
    list.keepAsShown();
    EXPECT_EQ(list.shownCalls(), 10u);

    FakeRenderer fake;
    list.replayShown(fake);
    EXPECT_EQ(fake.trace(),
              "Clear Board Push Translate Rotate Cell(80,100) Pop Scaled(0,40,30,-20,205) "
              "Texture(7,8,85) Centered(160,240,126)");
    EXPECT_EQ(fake.callsOf(DrawCall::CellCall)[0].cell.tiles[8], 9);
    EXPECT_EQ(fake.callsOf(DrawCall::Translate)[0].fx, 1.5f);
    EXPECT_EQ(fake.callsOf(DrawCall::Scaled)[0].brightness, 0.5f);
    EXPECT_EQ(fake.fade, 0.25f);

    draw(0.25f);
    EXPECT_TRUE(list.sameAsShown()) << "the same calls on the same board";
    level.setCell(9, 19, 5);
    draw(0.25f);
    EXPECT_FALSE(list.sameAsShown()) << "a cell of the board changed in place";
    list.keepAsShown();
    draw(0.5f);
    EXPECT_FALSE(list.sameAsShown()) << "a new fade";
    list.keepAsShown();
    draw(0.5f);
    list.drawTexture(0, 0, 1);
    EXPECT_FALSE(list.sameAsShown()) << "one call more";
}

// The plain loop draws and swaps every frame; the optimised one skips the
// frames that equal the one on screen. Over a scripted game both screens
// show the same pictures from the same moments on, while the optimised loop
// shows far fewer frames on the still title.
TEST_F(MainLoopTest, SkippingUnchangedFramesShowsTheSameFramesAsDrawingAll) {
    std::vector<ScriptedHost::Shown> histories[2];
    int64_t shows[2] = {};
    for (bool skip : {false, true}) {
        gNow = 1'000'000 * kMs;
        std::memset(gKeys, 0, sizeof gKeys);
        DuobrikApplication app;
        app.init();
        srand(11);
        ScriptedHost host;
        host.script = wholeGameScript(gNow / kMs);
        host.endMs = gNow / kMs + 25'000;
        run(app, host, {.wakeOnKey = true, .skipUnchanged = skip});
        histories[skip] = host.history;
        shows[skip] = static_cast<int64_t>(host.showTimes.size());
    }
    ASSERT_EQ(histories[0].size(), histories[1].size()) << "pictures shown";
    for (size_t i = 0; i < histories[0].size(); ++i) {
        EXPECT_EQ(histories[0][i].atMs, histories[1][i].atMs) << "picture " << i;
        EXPECT_TRUE(histories[0][i].picture == histories[1][i].picture) << "picture " << i;
    }
    EXPECT_GT(histories[0].size(), 500u) << "the game in play changes every frame";
    EXPECT_LT(shows[1], shows[0] - 150) << "the title's unchanged frames were skipped";
}

// Keys move frames but add none: a minute with a fresh press every 350 ms
// (and its auto-repeats and release) runs exactly the updates of a minute
// without keys, and the frame after each press ran within the gap.
TEST_F(MainLoopTest, KeysMoveFramesButAddNoUpdates) {
    int updates[2] = {};
    for (bool withKeys : {false, true}) {
        gNow = 1'000'000 * kMs;
        BrikApplication app;
        app.level = std::make_unique<CountingLevel>();
        ScriptedHost host;
        const int64_t start = gNow / kMs;
        std::vector<int64_t> presses;
        for (int64_t t = 3; withKeys && t < 60'000; t += 350) {
            const SDL_Scancode k = t % 700 == 3 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT;
            presses.push_back((start + t) * kMs);
            host.script.push_back({start + t, key(SDL_KEYDOWN, k)});
            host.script.push_back({start + t + 30, key(SDL_KEYDOWN, k, true)});
            host.script.push_back({start + t + 61, key(SDL_KEYUP, k)});
        }
        host.endMs = start + 60'000;
        run(app, host, {});
        updates[withKeys] = static_cast<CountingLevel*>(app.level.get())->updates;
        // The level's picture never changes: a key is all that shows a frame.
        ASSERT_EQ(host.showTimes.size(), presses.size() + 1);
        for (size_t i = 0; i < presses.size(); ++i) {
            EXPECT_LE(host.showTimes[i + 1] - presses[i], FramePacer::kKeyFrameGapMs * kMs)
                << "press " << i;
        }
    }
    EXPECT_EQ(updates[1], updates[0]);
    EXPECT_GE(updates[0], 3590) << "60 Hz for a minute";
}

// Holding Down drops the piece as fast as the loop without key wake-ups did:
// the same pieces land in the same places.
TEST_F(MainLoopTest, HoldingDownDropsAsFastAsBefore) {
    std::vector<uint8_t> boards[2];
    int32_t rows[2] = {};
    int32_t pieces[2] = {};
    for (bool wake : {false, true}) {
        gNow = 1'000'000 * kMs;
        std::memset(gKeys, 0, sizeof gKeys);
        DuobrikApplication app;
        app.init();
        srand(5);
        ScriptedHost host;
        const int64_t start = gNow / kMs;
        host.script.push_back({start + 500, key(SDL_KEYDOWN, SDL_SCANCODE_SPACE)});
        host.script.push_back({start + 560, key(SDL_KEYUP, SDL_SCANCODE_SPACE)});
        host.script.push_back({start + 1'207, key(SDL_KEYDOWN, SDL_SCANCODE_DOWN)});
        for (int64_t t = 1'240; t < 6'000; t += 33) {
            host.script.push_back({start + t, key(SDL_KEYDOWN, SDL_SCANCODE_DOWN, true)});
        }
        host.script.push_back({start + 6'000, key(SDL_KEYUP, SDL_SCANCODE_DOWN)});
        host.endMs = start + 6'000;
        run(app, host, {.wakeOnKey = wake, .skipUnchanged = true});
        auto* level = dynamic_cast<BrikLevel*>(app.level.get());
        ASSERT_NE(level, nullptr) << "still in play";
        const auto* bytes = reinterpret_cast<const uint8_t*>(level->board);
        boards[wake].assign(bytes, bytes + sizeof level->board);
        rows[wake] = level->row;
        for (int32_t n : level->pieceCounts) {
            pieces[wake] += n;
        }
    }
    EXPECT_GE(pieces[0], 6) << "Down held for 4.8 s drops several pieces";
    EXPECT_EQ(pieces[1], pieces[0]);
    EXPECT_EQ(rows[1], rows[0]);
    EXPECT_TRUE(boards[1] == boards[0]) << "the pieces landed in the same places";
}

// A still frame is not drawn again, unless the window system may have lost
// it or a key was pressed.
TEST_F(MainLoopTest, ExposeRestoreAndKeysDrawAStillFrameAgain) {
    const struct {
        const char* name;
        SDL_Event event;
        int64_t extraShows;
    } cases[] = {
        {"exposed", windowEvent(SDL_WINDOWEVENT_EXPOSED), 1},
        {"restored", windowEvent(SDL_WINDOWEVENT_RESTORED), 1},
        {"shown", windowEvent(SDL_WINDOWEVENT_SHOWN), 1},
        {"a key", key(SDL_KEYDOWN, SDL_SCANCODE_A), 1},
        {"an auto-repeat", key(SDL_KEYDOWN, SDL_SCANCODE_A, true), 0},
        {"a release", key(SDL_KEYUP, SDL_SCANCODE_A), 0},
        {"moved", windowEvent(SDL_WINDOWEVENT_MOVED), 0},
    };
    for (const auto& c : cases) {
        gNow = 1'000'000 * kMs;
        BrikApplication app;
        app.level = std::make_unique<CountingLevel>();
        ScriptedHost host;
        host.script.push_back({gNow / kMs + 500, c.event});
        host.endMs = gNow / kMs + 1'000;
        const MainLoop loop = run(app, host, {});
        EXPECT_EQ(loop.framesShown(), 1 + c.extraShows) << c.name;
        EXPECT_GE(loop.framesRun(), 59) << c.name;
    }
}

// Moved to a display of another rate, the loop takes up that rate.
TEST_F(MainLoopTest, ADisplayChangeBringsItsRefreshRate) {
    BrikApplication app;
    app.level = std::make_unique<CountingLevel>();
    ScriptedHost host;
    host.rates = {60, 144};
    const int64_t start = gNow / kMs;
    host.script.push_back({start + 1'000, windowEvent(SDL_WINDOWEVENT_DISPLAY_CHANGED)});
    host.endMs = start + 2'000;
    const MainLoop loop = run(app, host, {});
    EXPECT_NEAR(loop.framesRun(), 60 + 144, 2);
}

// Minimised, the game stands still and nothing is drawn; the frame after
// restoring is drawn again.
TEST_F(MainLoopTest, MinimisedNothingRunsOrIsDrawn) {
    BrikApplication app;
    app.level = std::make_unique<CountingLevel>();
    ScriptedHost host;
    const int64_t start = gNow / kMs;
    host.script.push_back({start + 100, windowEvent(SDL_WINDOWEVENT_MINIMIZED)});
    host.script.push_back({start + 10'000, windowEvent(SDL_WINDOWEVENT_RESTORED)});
    host.endMs = start + 10'100;
    const MainLoop loop = run(app, host, {});
    EXPECT_LE(static_cast<CountingLevel*>(app.level.get())->updates, 14);
    EXPECT_EQ(loop.framesShown(), 2);
}

// Escape ends the loop after the frame that follows it, a tap included.
TEST_F(MainLoopTest, EscapeEndsTheLoopAfterAFrame) {
    BrikApplication app;
    app.level = std::make_unique<CountingLevel>();
    ScriptedHost host;
    const int64_t start = gNow / kMs;
    host.script.push_back({start + 300, key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE)});
    host.script.push_back({start + 300, key(SDL_KEYUP, SDL_SCANCODE_ESCAPE)});
    host.endMs = start + 60'000;
    const MainLoop loop = run(app, host, {});
    EXPECT_LT(gNow / kMs - start, 400);
    EXPECT_EQ(loop.framesShown(), 2) << "the first frame and the one after Escape";
}

}  // namespace
