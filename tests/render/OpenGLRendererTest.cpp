// What the OpenGL renderer puts on the screen, read back from an offscreen
// context: placement, the clearing set's fade, bars that grow upward, the
// nine-tile squares and the board frame.

#include "render/OpenGLRenderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "pieces/Cell.h"
#include "support/OffscreenGL.h"

namespace {

const char* kFile = "renderer_test.dat";

// A few distinct colours (stored blue, green, red).
struct Colour {
    uint8_t b, g, r;
};
constexpr Colour kWhite{255, 255, 255};

class OpenGLRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context";
        std::memset(gTextures, 0, sizeof gTextures);
        // 200 records, each 1x1 transparent unless a test makes it something else.
        pictures.assign(200, solidPicture(1, 1, 0, 0, 0, 0));
    }
    void TearDown() override {
        for (TextureEntry& e : gTextures) {
            if (e.textureName != 0) {
                glDeleteTextures(1, &e.textureName);
            }
        }
        std::memset(gTextures, 0, sizeof gTextures);
        std::remove(kFile);
    }
    void set(unsigned index, int w, int h, Colour c) {
        pictures[index] = solidPicture(w, h, c.b, c.g, c.r);
    }
    void load() {
        writePictureFile(kFile, pictures);
        ASSERT_EQ(loadTexturesFrom(kFile), static_cast<int>(pictures.size()));
        gl.beginFrame();
    }
    // The box of pixels with the given red value, as {left, top, right, bottom} inclusive.
    std::array<int, 4> boxOf(const std::vector<uint8_t>& px, uint8_t red) {
        std::array<int, 4> box{320, 480, -1, -1};
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 320; ++x) {
                if (OffscreenGL::at(px, x, y).r == red && OffscreenGL::at(px, x, y).a != 0) {
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x),
                           std::max(box[3], y)};
                }
            }
        }
        return box;
    }
    OffscreenGL gl;
    OpenGLRenderer renderer;
    std::vector<TestPicture> pictures;
};

TEST_F(OpenGLRendererTest, PicturesLandWhereTheyAreAsked) {
    set(5, 5, 7, {0, 0, 200});
    load();
    renderer.drawTextureCentered(10, 10, 5);
    auto px = gl.readPixels();
    EXPECT_EQ(boxOf(px, 200), (std::array<int, 4>{8, 7, 12, 13})) << "5x7 centred on (10,10)";

    gl.beginFrame();
    renderer.drawTexture(100, 200, 5);
    px = gl.readPixels();
    EXPECT_EQ(boxOf(px, 200), (std::array<int, 4>{100, 200, 104, 206}));
}

TEST_F(OpenGLRendererTest, NegativeHeightGrowsUpward) {
    set(28, 4, 4, {0, 0, 90});
    load();
    renderer.drawTextureScaled(262, 466, 4, -16, 1.0f, 28);
    const auto px = gl.readPixels();
    EXPECT_EQ(boxOf(px, 90), (std::array<int, 4>{262, 450, 265, 465}));
}

TEST_F(OpenGLRendererTest, FadeDarkensTheClearingSetOnly) {
    set(150, 4, 4, kWhite);
    set(30, 4, 4, kWhite);
    load();
    renderer.fade = 1.0f;
    renderer.drawTexture(0, 0, 150);
    renderer.drawTexture(10, 0, 30);
    renderer.drawTextureScaled(20, 0, 4, 4, 1.0f, 150);
    renderer.fade = 0.5f;
    renderer.drawTexture(30, 0, 150);
    const auto px = gl.readPixels();
    EXPECT_EQ(OffscreenGL::at(px, 1, 1).r, 0) << "clearing tile at fade 1 is black";
    EXPECT_EQ(OffscreenGL::at(px, 11, 1).r, 255) << "other pictures keep full brightness";
    EXPECT_EQ(OffscreenGL::at(px, 21, 1).r, 255) << "scaled drawing ignores fade";
    EXPECT_NEAR(OffscreenGL::at(px, 31, 1).r, 128, 2) << "half fade, half brightness";
}

TEST_F(OpenGLRendererTest, UnknownTexturesDrawNothing) {
    load();
    renderer.drawTexture(0, 0, 300);
    renderer.drawTextureCentered(10, 10, 4000000000u);
    renderer.drawTextureScaled(0, 0, 50, 50, 1.0f, 1000);
    // Below 300 but not in the file (200 records): no untextured white block.
    renderer.drawTextureScaled(0, 0, 320, 480, 1.0f, 250);
    const auto px = gl.readPixels();
    for (size_t i = 0; i < px.size(); ++i) {
        ASSERT_EQ(px[i], 0) << "byte " << i;
    }
}

TEST_F(OpenGLRendererTest, CellTilesFillTheirBoxFromTheBottom) {
    // Corner tiles 4x4, edges 12x4 / 4x12, centre 12x12: each tile its own red value.
    const int widths[9] = {4, 12, 4, 4, 12, 4, 4, 12, 4};
    const int heights[9] = {4, 4, 4, 12, 12, 12, 4, 4, 4};
    Cell cell(0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int k = 0; k < 9; ++k) {
        set(40 + k, widths[k], heights[k], {0, 0, static_cast<uint8_t>(10 + 20 * k)});
        cell.tiles[k] = static_cast<uint8_t>(40 + k);
    }
    load();
    renderer.drawCell(100, 100, &cell);
    Cell empty;
    renderer.drawCell(150, 150, &empty);
    const auto px = gl.readPixels();
    // Tile 1 bottom-left, tile 3 bottom-right, tile 5 centre, tile 9 top-right.
    EXPECT_EQ(boxOf(px, 10), (std::array<int, 4>{100, 116, 103, 119}));
    EXPECT_EQ(boxOf(px, 50), (std::array<int, 4>{116, 116, 119, 119}));
    EXPECT_EQ(boxOf(px, 90), (std::array<int, 4>{104, 104, 115, 115}));
    EXPECT_EQ(boxOf(px, 170), (std::array<int, 4>{116, 100, 119, 103}));
    EXPECT_EQ(OffscreenGL::at(px, 155, 155).a, 0) << "an empty cell draws nothing";
}

TEST_F(OpenGLRendererTest, BoardFrameSurroundsThePlayfield) {
    const struct {
        unsigned texture;
        int w, h;
        uint8_t red;
    } frame[] = {{1, 10, 10, 11}, {3, 10, 10, 33}, {4, 10, 10, 44},   {6, 10, 10, 66},
                 {8, 10, 10, 88}, {9, 10, 10, 99}, {11, 10, 10, 111}, {12, 10, 10, 122}};
    for (const auto& f : frame) {
        set(f.texture, f.w, f.h, {0, 0, f.red});
    }
    set(7, 10, 10, {0, 0, 77});  // the unused centre piece is never drawn
    load();
    Cell board[200];
    board[0] = Cell(0, 7, 7, 7, 7, 7, 7, 7, 7, 7);  // column 0, row 0: nine 10x10 tiles of 77
    renderer.drawBoard(board);
    const auto px = gl.readPixels();
    EXPECT_EQ(boxOf(px, 11), (std::array<int, 4>{50, 460, 59, 469})) << "bottom-left";
    EXPECT_EQ(boxOf(px, 66), (std::array<int, 4>{50, 60, 59, 459})) << "left side";
    EXPECT_EQ(boxOf(px, 99), (std::array<int, 4>{50, 50, 59, 59})) << "top-left";
    EXPECT_EQ(boxOf(px, 111), (std::array<int, 4>{60, 50, 259, 59})) << "top edge";
    EXPECT_EQ(boxOf(px, 33), (std::array<int, 4>{60, 460, 259, 469})) << "bottom edge";
    EXPECT_EQ(boxOf(px, 44), (std::array<int, 4>{260, 460, 269, 469})) << "bottom-right";
    EXPECT_EQ(boxOf(px, 88), (std::array<int, 4>{260, 60, 269, 459})) << "right side";
    EXPECT_EQ(boxOf(px, 122), (std::array<int, 4>{260, 50, 269, 59})) << "top-right";
    // The one filled cell sits on the bottom row of column 0, its tiles piled
    // from the box's lower edge (10-pixel tiles overflow a 20-pixel box upward).
    EXPECT_EQ(OffscreenGL::at(px, 65, 455).r, 77);
    EXPECT_EQ(OffscreenGL::at(px, 160, 250).a, 0) << "empty cells draw nothing";
}

}  // namespace
