// The generated squares as the OpenGL renderer really draws them, read back
// from an offscreen context: a lone square is outlined all round, and two
// squares of one piece side by side, or one above the other, show no seam.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "catalogue/Catalogue.h"
#include "catalogue/Cell.h"
#include "offscreen/OffscreenGL.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

namespace {

class ArtDrawingTest : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context";
        ASSERT_GE(loadTextures(), static_cast<int>(catalogue::kRecordCount));
        gl.beginFrame();
    }
    void TearDown() override { gTextures.release(); }  // while their context is current
    // Draws a square of set GetParam() with the given neighbours of its piece.
    void draw(int x, int y, const catalogue::Neighbours& n) {
        const std::array<int, 9> t = catalogue::joinOffsets(n);
        auto at = [&](int k) { return static_cast<uint8_t>(GetParam() + t[k]); };
        const Cell cell(0, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8));
        renderer.drawCell(x, y, &cell);
    }
    // Whether the pixel at (x, y) has colour `c`, alpha aside.
    bool is(int x, int y, OffscreenGL::Rgba c) const {
        const OffscreenGL::Rgba p = OffscreenGL::at(px, x, y);
        return p.r == c.r && p.g == c.g && p.b == c.b;
    }

    OffscreenGL gl;
    OpenGLRenderer renderer;
    std::vector<uint8_t> px;
};

TEST_P(ArtDrawingTest, LoneSquareIsOutlinedAndJoinedPairsHaveNoSeam) {
    draw(100, 100, {});
    draw(100, 200, {.right = true});  // pair across x 100..139
    draw(120, 200, {.left = true});
    draw(200, 200, {.down = true});  // pair down y 200..239
    draw(200, 220, {.up = true});
    px = gl.readPixels();
    const OffscreenGL::Rgba outline = OffscreenGL::at(px, 100, 100);
    const OffscreenGL::Rgba face = OffscreenGL::at(px, 110, 110);
    ASSERT_FALSE(is(110, 110, outline)) << "set " << GetParam() << " has no outline";
    // The lone square and each pair: outlined all round its outside, and one
    // face inside the 3-pixel outline and bevel, across any seam.
    for (const auto [x0, y0, w, h] : {std::array{100, 100, 20, 20}, std::array{100, 200, 40, 20},
                                      std::array{200, 200, 20, 40}}) {
        for (int x = x0; x < x0 + w; ++x) {
            EXPECT_TRUE(is(x, y0, outline) && is(x, y0 + h - 1, outline)) << "top/bottom x " << x;
        }
        for (int y = y0; y < y0 + h; ++y) {
            EXPECT_TRUE(is(x0, y, outline) && is(x0 + w - 1, y, outline)) << "sides y " << y;
        }
        for (int y = y0 + 3; y < y0 + h - 3; ++y) {
            for (int x = x0 + 3; x < x0 + w - 3; ++x) {
                ASSERT_TRUE(is(x, y, face)) << "seam or edge inside at (" << x << ", " << y << ")";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PieceSets, ArtDrawingTest, ::testing::ValuesIn(catalogue::kPieceTileSets));
INSTANTIATE_TEST_SUITE_P(ClearingSet, ArtDrawingTest, ::testing::Values(catalogue::kClearingSet));

}  // namespace
