// What the OpenGL renderer puts on the screen, read back from an offscreen
// context: placement, the clearing set's fade, bars that grow upward, the
// nine-tile squares and the board frame.

#include "render/OpenGLRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "catalogue/Catalogue.h"
#include "catalogue/Cell.h"
#include "offscreen/OffscreenGL.h"
#include "support/TestPictures.h"

namespace {

using namespace catalogue;

// CTest runs each test as a process of its own, several at once: one file each.
const std::string kFileName = "renderer_test-" + std::to_string(getpid()) + ".dat";
const char* kFile = kFileName.c_str();
using Box = std::array<int, 4>;  // left, top, right, bottom, inclusive

class OpenGLRendererTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context"; }
    void TearDown() override {
        gTextures.release();  // while the context that made them is current
        std::remove(kFile);
    }
    // Makes picture `index` a solid w x h block of the given red (blue and green 0).
    void set(unsigned index, int w, int h, uint8_t red) {
        pictures[index] = solidPicture(w, h, 0, 0, red);
    }
    void load() {
        writePictureFile(kFile, pictures);
        ASSERT_EQ(gTextures.load(kFile), static_cast<int>(pictures.size()));
        gl.beginFrame();
    }
    // The box of visible pixels with the given red value.
    Box boxOf(uint8_t red) const {
        Box box{kScreenWidth, kScreenHeight, -1, -1};
        for (int i = 0; i < kScreenWidth * kScreenHeight; ++i) {
            const int x = i % kScreenWidth, y = i / kScreenWidth;
            if (OffscreenGL::at(px, x, y).r == red && OffscreenGL::at(px, x, y).a != 0) {
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x),
                       std::max(box[3], y)};
            }
        }
        return box;
    }
    uint8_t redAt(int x, int y) const { return OffscreenGL::at(px, x, y).r; }

    OffscreenGL gl;
    OpenGLRenderer renderer;
    // 200 records, each 1x1 transparent unless a test makes it something else.
    std::vector<TestPicture> pictures =
        std::vector<TestPicture>(200, solidPicture(1, 1, 0, 0, 0, 0));
    std::vector<uint8_t> px;
};

TEST_F(OpenGLRendererTest, PlacementUpwardBarsAndTheClearingFade) {
    constexpr unsigned kClearingTile = kClearingSet + 2;
    set(5, 5, 7, 200);
    set(kRowsBar, 4, 4, 90);
    set(kClearingTile, 4, 4, 255);
    set(30, 4, 4, 255);
    load();
    renderer.drawTextureCentered(10, 10, 5);
    renderer.drawTextureScaled(262, 466, 4, -16, 1.0f, kRowsBar);
    renderer.fade = 1.0f;
    renderer.drawTexture(0, 100, kClearingTile);
    renderer.drawTexture(10, 100, 30);
    renderer.drawTextureScaled(20, 100, 4, 4, 1.0f, kClearingTile);
    renderer.fade = 0.5f;
    renderer.drawTexture(30, 100, kClearingTile);
    px = gl.readPixels();
    EXPECT_EQ(boxOf(200), (Box{8, 7, 12, 13})) << "5x7 centred on (10,10)";
    EXPECT_EQ(boxOf(90), (Box{262, 450, 265, 465})) << "a negative height grows upward";
    EXPECT_EQ(redAt(1, 101), 0) << "clearing tile at fade 1 is black";
    EXPECT_EQ(redAt(11, 101), 255) << "other pictures keep full brightness";
    EXPECT_EQ(redAt(21, 101), 255) << "scaled drawing ignores fade";
    EXPECT_NEAR(redAt(31, 101), 128, 2) << "half fade, half brightness";
}

TEST_F(OpenGLRendererTest, CellTilesFillTheirBoxFromTheBottom) {
    // Corner tiles 4x4, edges 12x4 / 4x12, centre 12x12: each tile its own red value.
    Cell cell(0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int k = 0; k < 9; ++k) {
        set(40 + k, k % 3 == 1 ? 12 : 4, k / 3 == 1 ? 12 : 4, static_cast<uint8_t>(10 + 20 * k));
        cell.tiles[k] = static_cast<uint8_t>(40 + k);
    }
    load();
    renderer.drawCell(100, 100, &cell);
    px = gl.readPixels();
    EXPECT_EQ(boxOf(10), (Box{100, 116, 103, 119})) << "tile 1 bottom-left";
    EXPECT_EQ(boxOf(50), (Box{116, 116, 119, 119})) << "tile 3 bottom-right";
    EXPECT_EQ(boxOf(90), (Box{104, 104, 115, 115})) << "tile 5 centre";
    EXPECT_EQ(boxOf(170), (Box{116, 100, 119, 103})) << "tile 9 top-right";
}

TEST_F(OpenGLRendererTest, BoardFrameSurroundsThePlayfieldAndUnknownPicturesDrawNothing) {
    // Each frame picture 10x10 in its own red, and where it must land.
    const struct {
        unsigned texture;
        Box box;
    } kFrame[] = {{kFrameBottomLeft, {50, 460, 59, 469}}, {kFrameLeft, {50, 60, 59, 459}},
                  {kFrameTopLeft, {50, 50, 59, 59}},      {kFrameTop, {60, 50, 259, 59}},
                  {kFrameBottom, {60, 460, 259, 469}},    {kFrameBottomRight, {260, 460, 269, 469}},
                  {kFrameRight, {260, 60, 269, 459}},     {kFrameTopRight, {260, 50, 269, 59}}};
    for (const auto& f : kFrame) {
        set(f.texture, 10, 10, static_cast<uint8_t>(11 * f.texture));
    }
    constexpr uint8_t kCentre = kFrameBottomLeft + 6;  // the frame never draws this piece
    set(kCentre, 10, 10, 77);
    load();
    Cell board[kBoardCells];
    // Column 0, row 0: nine 10x10 tiles of 77.
    board[0] =
        Cell(0, kCentre, kCentre, kCentre, kCentre, kCentre, kCentre, kCentre, kCentre, kCentre);
    renderer.drawBoard(board);
    // Pictures out of the table, or in it but not in the file (200 records),
    // draw nothing: no untextured white block.
    for (unsigned unknown : {300u, 4000000000u, 1000u, 250u}) {
        renderer.drawTextureScaled(0, 0, 320, 480, 1.0f, unknown);
        renderer.drawTextureCentered(160, 240, unknown);
    }
    px = gl.readPixels();
    for (const auto& f : kFrame) {
        EXPECT_EQ(boxOf(static_cast<uint8_t>(11 * f.texture)), f.box) << "picture " << f.texture;
    }
    // The one filled cell sits on the bottom row of column 0, its tiles piled
    // from the box's lower edge (10-pixel tiles overflow a 20-pixel box upward).
    EXPECT_EQ(redAt(65, 455), 77);
    EXPECT_EQ(OffscreenGL::at(px, 160, 250).a, 0) << "empty cells and unknown pictures";
    EXPECT_EQ(OffscreenGL::at(px, 0, 0).a, 0) << "unknown pictures draw nothing";
}

}  // namespace
