// Game controllers as the game's keys, driven through SDL's virtual game
// controller (no device needed): the d-pad, the stick with its dead zone,
// the buttons, a held direction's repeat, and pads that come and go.

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/PadInput.h"

namespace {

// Every key as text: "+37" pressed, "r37" repeated, "-37" let go.
struct KeyLog : KeyReceiver {
    std::vector<std::string> keys;
    void press(int32_t code, bool repeat) override {
        keys.push_back((repeat ? "r" : "+") + std::to_string(code));
    }
    void release(int32_t code) override { keys.push_back("-" + std::to_string(code)); }
    std::vector<std::string> take() { return std::exchange(keys, {}); }
};

class PadInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    }
    void TearDown() override {
        pads.reset();
        for (SDL_Joystick* j : joysticks) {
            if (j != nullptr) {
                SDL_JoystickClose(j);
            }
        }
        while (SDL_NumJoysticks() > 0) {
            SDL_JoystickDetachVirtual(0);
        }
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    // Plugs in a virtual game controller; returns its number in `joysticks`.
    int plugIn() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        joysticks.push_back(SDL_JoystickOpen(index));
        pump();
        return static_cast<int>(joysticks.size()) - 1;
    }
    void pullOut(int pad) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(joysticks[pad]);
        SDL_JoystickClose(joysticks[pad]);
        joysticks[pad] = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                SDL_JoystickDetachVirtual(i);
            }
        }
        pump();
    }
    void button(int pad, SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joysticks[pad], b, down ? 1 : 0);
        pump();
    }
    void axis(int pad, SDL_GameControllerAxis a, int value) {
        SDL_JoystickSetVirtualAxis(joysticks[pad], a, static_cast<Sint16>(value));
        pump();
    }
    // Hands SDL's events to the pads at the test's clock.
    void pump() {
        SDL_JoystickUpdate();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            pads->handle(event, nowMs, log);
        }
    }

    std::unique_ptr<PadInput> pads = std::make_unique<PadInput>(PadInput::Repeat{500, 50});
    std::vector<SDL_Joystick*> joysticks;
    KeyLog log;
    int64_t nowMs = 1000;
};

using Keys = std::vector<std::string>;

TEST_F(PadInputTest, ButtonsAreTheGamesKeys) {
    const int pad = plugIn();
    ASSERT_EQ(pads->padCount(), 1) << "the virtual pad was not taken as a game controller";
    const struct {
        SDL_GameControllerButton button;
        const char* key;
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, "37"}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "39"},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, "40"}, {SDL_CONTROLLER_BUTTON_A, "38"},
        {SDL_CONTROLLER_BUTTON_B, "38"},         {SDL_CONTROLLER_BUTTON_X, "38"},
        {SDL_CONTROLLER_BUTTON_Y, "38"},         {SDL_CONTROLLER_BUTTON_START, "13"},
        {SDL_CONTROLLER_BUTTON_BACK, "27"},
    };
    for (const auto& c : cases) {
        button(pad, c.button, true);
        button(pad, c.button, false);
        EXPECT_EQ(log.take(), (Keys{std::string("+") + c.key, std::string("-") + c.key}))
            << SDL_GameControllerGetStringForButton(c.button);
    }
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    button(pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    EXPECT_EQ(log.take(), Keys{}) << "buttons the game does not use";
}

// Two buttons on one key: the key goes down with the first and up with the last.
TEST_F(PadInputTest, AKeyHeldByTwoButtonsIsLetGoWithTheLast) {
    const int pad = plugIn();
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    button(pad, SDL_CONTROLLER_BUTTON_X, true);
    button(pad, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(log.take(), Keys{"+38"});
    button(pad, SDL_CONTROLLER_BUTTON_X, false);
    EXPECT_EQ(log.take(), Keys{"-38"});
}

TEST_F(PadInputTest, TheStickSteersOutsideItsDeadZone) {
    const int pad = plugIn();
    const struct {
        SDL_GameControllerAxis axis;
        int value;
        Keys keys;
    } steps[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -10000, {}},              // resting off centre
        {SDL_CONTROLLER_AXIS_LEFTX, -20000, {"+37"}},         // pushed left
        {SDL_CONTROLLER_AXIS_LEFTX, -14000, {}},              // easing back, still held
        {SDL_CONTROLLER_AXIS_LEFTX, -10000, {"-37"}},         // back in the dead zone
        {SDL_CONTROLLER_AXIS_LEFTX, 32767, {"+39"}},          // hard right
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, {"-39", "+37"}},  // straight over to the left
        {SDL_CONTROLLER_AXIS_LEFTY, 20000, {"+40"}},          // down as well
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, {"-40"}},         // up turns nothing
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, {}},              // the other stick is not used
    };
    for (const auto& s : steps) {
        axis(pad, s.axis, s.value);
        EXPECT_EQ(log.take(), s.keys)
            << SDL_GameControllerGetStringForAxis(s.axis) << " at " << s.value;
    }
}

// As a held key: after the delay, then at the rate, only the direction
// pressed last, and not after it is let go; buttons do not repeat.
TEST_F(PadInputTest, AHeldDirectionRepeatsAsAHeldKey) {
    const int pad = plugIn();
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    log.take();
    EXPECT_EQ(pads->msUntilRepeat(nowMs), 500);
    pads->repeat(nowMs + 499, log);
    EXPECT_EQ(log.take(), Keys{}) << "before the delay";
    pads->repeat(nowMs + 500, log);
    pads->repeat(nowMs + 520, log);
    pads->repeat(nowMs + 550, log);
    EXPECT_EQ(log.take(), (Keys{"r37", "r37"})) << "at the delay, then one interval later";
    pads->repeat(nowMs + 5000, log);
    pads->repeat(nowMs + 5001, log);
    EXPECT_EQ(log.take(), Keys{"r37"}) << "a late loop gets one repeat, not all it missed";

    nowMs += 6000;
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    pads->repeat(nowMs + 500, log);
    EXPECT_EQ(log.take(), (Keys{"+40", "r40"})) << "the direction pressed last repeats";
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    EXPECT_EQ(pads->msUntilRepeat(nowMs), -1) << "nothing repeats once it is let go";
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    pads->repeat(nowMs + 5000, log);
    EXPECT_EQ(log.take(), (Keys{"-40", "+38"})) << "a button does not repeat";
}

// A pad pulled out lets go of what it held, unless another pad holds it too;
// pads plugged in later play at once.
TEST_F(PadInputTest, PadsComeAndGoWhileTheGameRuns) {
    const int first = plugIn();
    const int second = plugIn();
    ASSERT_EQ(pads->padCount(), 2);
    button(first, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    button(second, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    button(first, SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    EXPECT_EQ(log.take(), (Keys{"+37", "+40"}));
    pullOut(first);
    EXPECT_EQ(pads->padCount(), 1);
    EXPECT_EQ(log.take(), Keys{"-40"}) << "the other pad still holds Left";
    pullOut(second);
    EXPECT_EQ(log.take(), Keys{"-37"});
    EXPECT_EQ(pads->msUntilRepeat(nowMs), -1) << "a pulled-out pad's direction repeats";

    const int third = plugIn();
    button(third, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(log.take(), Keys{"+13"});
}

}  // namespace
