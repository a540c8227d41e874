// An enlarged frame is the frame enlarged: every pixel of the 320x480
// picture a k x k block of the screen, nearest neighbour, centred on the
// surface with black around it. The scene is a play level mid-shake with
// fading rows, so turned, blended and darkened pixels are all covered.

#include <gtest/gtest.h>

#include <memory>

#include "catalogue/Catalogue.h"
#include "catalogue/ScreenFit.h"
#include "fakes/FakeAudio.h"
#include "levels/DuobrikLevel.h"
#include "levels/DuobrikLevels.h"
#include "offscreen/OffscreenGL.h"
#include "render/FrameScaler.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

namespace {

using catalogue::kScreenHeight;
using catalogue::kScreenWidth;

TEST(FrameScaler, AnEnlargedFrameIsTheFrameEnlarged) {
    const struct {
        int width, height;  // the drawing surface
        int factor, x, y;   // where the picture lands: its lower-left corner
    } cases[] = {
        {640, 960, 2, 0, 0},
        {700, 1001, 2, 30, 20},
        {1000, 1500, 3, 20, 30},
    };
    OffscreenGL gl(1000, 1500);
    ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context";
    ASSERT_GE(loadTextures(), static_cast<int>(catalogue::kRecordCount))
        << "the game's picture file is missing";
    OpenGLRenderer renderer;
    FakeAudio audio;
    gRenderer = &renderer;
    std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(9);
    level->start();
    level->update(1000, 1);
    level->board.markClearing(0);
    renderer.fade = 0.37f;
    level->shakeAmplitude = 23.5f;
    level->shakePhase = 4.2f;
    FrameScaler scaler;
    for (const auto& c : cases) {
        const catalogue::ScreenFit fit = catalogue::fitScreen(c.width, c.height);
        ASSERT_EQ(fit.factor, c.factor) << c.width << "x" << c.height;
        ASSERT_EQ(fit.x, c.x) << c.width << "x" << c.height;
        ASSERT_EQ(fit.y, c.y) << c.width << "x" << c.height;
        gl.beginFrame();
        renderer.clear();
        level->draw();
        const std::vector<uint8_t> picture = gl.readPixels();
        scaler.enlarge(fit, c.width, c.height);
        const std::vector<uint8_t> screen = gl.readSurface(c.width, c.height);

        // Rows count from the top here; the fit's y from the bottom.
        const int top = c.height - fit.y - fit.height;
        int wrong = 0;
        int firstX = -1, firstY = -1;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const int px = x - fit.x, py = y - top;
                const bool inside = px >= 0 && px < fit.width && py >= 0 && py < fit.height;
                const uint8_t* seen = &screen[(static_cast<size_t>(y) * c.width + x) * 4];
                uint8_t black[3] = {0, 0, 0};
                const uint8_t* want =
                    inside ? &picture[(static_cast<size_t>(py / fit.factor) * kScreenWidth +
                                       px / fit.factor) *
                                      4]
                           : black;
                if (seen[0] != want[0] || seen[1] != want[1] || seen[2] != want[2]) {
                    if (wrong++ == 0) {
                        firstX = x;
                        firstY = y;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0) << c.width << "x" << c.height << ": first wrong pixel at " << firstX
                            << "," << firstY;
    }
    scaler.release();
    gTextures.release();
    gRenderer = nullptr;
}

}  // namespace
