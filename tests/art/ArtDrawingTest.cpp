// The generated squares as the OpenGL renderer really draws them, read back
// from an offscreen context: a lone square is outlined all round, and two
// squares of one piece side by side show no seam between them.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "ArtFile.h"
#include "pieces/Cell.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"
#include "support/OffscreenGL.h"

namespace arttest {
namespace {

class ArtDrawingTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context";
        std::memset(gTextures, 0, sizeof gTextures);
        ASSERT_GE(loadTexturesFrom(dataFilePath().c_str()), 223);
        gl.beginFrame();
    }
    void TearDown() override {
        for (TextureEntry& e : gTextures) {
            if (e.textureName != 0) {
                glDeleteTextures(1, &e.textureName);
            }
        }
        std::memset(gTextures, 0, sizeof gTextures);
    }
    // The cell of a square of set `base` with neighbours `bits` (see joinOffsets).
    static Cell cell(int base, unsigned bits) {
        const std::array<int, 9> t = joinOffsets(bits);
        auto at = [&](int k) { return static_cast<uint8_t>(base + t[k]); };
        return Cell(0, at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8));
    }
    static bool same(OffscreenGL::Rgba a, OffscreenGL::Rgba b) {
        return a.r == b.r && a.g == b.g && a.b == b.b;
    }

    OffscreenGL gl;
    OpenGLRenderer renderer;
};

TEST_P(ArtDrawingTest, LoneSquareIsOutlinedAndAJoinedPairHasNoSeam) {
    const int base = GetParam();
    constexpr unsigned kRight = 1u << 1, kLeft = 1u << 0;
    const Cell lone = cell(base, 0);
    const Cell a = cell(base, kRight), b = cell(base, kLeft);
    renderer.drawCell(100, 100, &lone);
    renderer.drawCell(100, 200, &a);
    renderer.drawCell(120, 200, &b);
    const auto px = gl.readPixels();

    const OffscreenGL::Rgba outline = OffscreenGL::at(px, 100, 100);
    const OffscreenGL::Rgba face = OffscreenGL::at(px, 110, 110);
    ASSERT_FALSE(same(outline, face)) << "set " << base;
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(same(OffscreenGL::at(px, 100 + i, 100), outline)) << "top edge, x+" << i;
        EXPECT_TRUE(same(OffscreenGL::at(px, 100 + i, 119), outline)) << "bottom edge, x+" << i;
        EXPECT_TRUE(same(OffscreenGL::at(px, 100, 100 + i), outline)) << "left edge, y+" << i;
        EXPECT_TRUE(same(OffscreenGL::at(px, 119, 100 + i), outline)) << "right edge, y+" << i;
    }
    // The pair: outlined at its outer ends, and one face across the seam
    // between x 119 and 120, below the top bevel and above the bottom one.
    for (int y = 200; y < 220; ++y) {
        EXPECT_TRUE(same(OffscreenGL::at(px, 100, y), outline)) << "pair's left end, y " << y;
        EXPECT_TRUE(same(OffscreenGL::at(px, 139, y), outline)) << "pair's right end, y " << y;
    }
    for (int y = 203; y < 217; ++y) {
        for (int x = 103; x < 137; ++x) {
            ASSERT_TRUE(same(OffscreenGL::at(px, x, y), face))
                << "set " << base << ": seam or edge inside the pair at (" << x << ", " << y << ")";
        }
    }
    for (int x = 100; x < 140; ++x) {
        EXPECT_TRUE(same(OffscreenGL::at(px, x, 200), outline)) << "pair's top, x " << x;
        EXPECT_TRUE(same(OffscreenGL::at(px, x, 219), outline)) << "pair's bottom, x " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(EverySet, ArtDrawingTest,
                         ::testing::Values(22, 42, 63, 86, 106, 128, 148, 168));

}  // namespace
}  // namespace arttest
