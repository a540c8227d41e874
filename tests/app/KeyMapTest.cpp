// The key table: the game's keys get their codes, every other key some code,
// system keys never arrive.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "app/KeyMap.h"

namespace {

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
