// How the picture fits a screen: the largest whole factor, centred, the
// lower-left corner where the screen is too small; and the first window's
// factor for the displays players have.

#include <gtest/gtest.h>

#include <climits>

#include "catalogue/ScreenFit.h"

namespace {

using catalogue::firstWindowFactor;
using catalogue::fitScreen;

TEST(ScreenFit, TheLargestWholeFactorCentred) {
    const struct {
        int width, height;
        int factor, x, y;  // x, y: the picture's lower-left corner
    } cases[] = {
        {320, 480, 1, 0, 0},       {300, 400, 1, 0, 0},         // as large, and too small
        {300, 600, 1, 0, 60},      {400, 300, 1, 40, 0},        // too small one way
        {641, 961, 2, 0, 0},       {1920, 1080, 2, 640, 60},    // a window, 1080p
        {1920, 1440, 3, 480, 0},   {3840, 2160, 4, 1280, 120},  // full screens
        {1170, 2532, 3, 105, 546}, {0, 0, 1, 0, 0},             // a phone; nothing
    };
    for (const auto& c : cases) {
        const catalogue::ScreenFit fit = fitScreen(c.width, c.height);
        EXPECT_EQ(fit.factor, c.factor) << c.width << "x" << c.height;
        EXPECT_EQ(fit.x, c.x) << c.width << "x" << c.height;
        EXPECT_EQ(fit.y, c.y) << c.width << "x" << c.height;
        EXPECT_EQ(fit.width, 320 * c.factor) << c.width << "x" << c.height;
        EXPECT_EQ(fit.height, 480 * c.factor) << c.width << "x" << c.height;
    }
}

TEST(ScreenFit, TheFirstWindowTakesAtMostMostOfTheDisplay) {
    const struct {
        int usableWidth, usableHeight;
        int factor;
    } cases[] = {
        {1920, 1040, 1}, {2560, 1400, 2}, {3840, 2120, 3},  // 1080p, 1440p, 2160p with a panel
        {640, 640, 1},   {1920, 1440, 2}, {1130, 1695, 3},  // the test screens; 85% exactly,
        {1129, 1695, 2},                                    // and a pixel short
        {0, 0, 1},       {-5, 900, 1},    {INT_MAX, INT_MAX, 16},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(firstWindowFactor(c.usableWidth, c.usableHeight), c.factor)
            << c.usableWidth << "x" << c.usableHeight;
    }
}

}  // namespace
