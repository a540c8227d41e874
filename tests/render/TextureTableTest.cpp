// The picture file loader, on a real (offscreen) OpenGL context: what lands in
// the table and in the textures, and that no file content can break it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include <unistd.h>

#include "offscreen/OffscreenGL.h"
#include "render/TextureTable.h"
#include "support/TestPictures.h"

namespace {

// CTest runs each test as a process of its own, several at once: one file each.
const std::string kFileName = "texture_table_test-" + std::to_string(getpid()) + ".dat";
const char* kFile = kFileName.c_str();

class TextureTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context"; }
    void TearDown() override {
        gTextures.release();  // while the context that made them is current
        std::remove(kFile);
    }
    int load(const std::vector<TestPicture>& pictures) {
        writePictureFile(kFile, pictures);
        return gTextures.load(kFile);
    }
    // The whole padded texture of an entry, RGBA.
    static std::vector<uint8_t> textureOf(const TextureEntry& e) {
        std::vector<uint8_t> out(static_cast<size_t>(e.paddedWidth) * e.paddedHeight * 4);
        glBindTexture(GL_TEXTURE_2D, e.textureName);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    OffscreenGL gl;
};

TEST_F(TextureTableTest, PicturesArePaddedToPowersOfTwoWithTransparentBlack) {
    ASSERT_EQ(load({solidPicture(3, 5, 10, 20, 30, 40)}), 1);
    const TextureEntry& e = gTextures[0];
    EXPECT_NE(e.textureName, 0u);
    EXPECT_EQ((std::array{e.width, e.height, e.paddedWidth, e.paddedHeight}),
              (std::array<int32_t, 4>{3, 5, 4, 8}));
    const std::vector<uint8_t> tex = textureOf(e);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) {
            // Stored blue, green, red, alpha; uploaded red first; padding transparent black.
            const std::array<uint8_t, 4> want =
                x < 3 && y < 5 ? std::array<uint8_t, 4>{30, 20, 10, 40} : std::array<uint8_t, 4>{};
            EXPECT_EQ(std::memcmp(&tex[(y * 4 + x) * 4], want.data(), 4), 0) << x << "," << y;
        }
    }
}

TEST_F(TextureTableTest, RecordCountsFromEmptyShortAndOverlongFiles) {
    EXPECT_EQ(gTextures.load("no-such-file.dat"), 0);
    EXPECT_EQ(load({}), 0);
    EXPECT_EQ(gTextures[0].textureName, 0u);
    // A 0x0 record takes its eight bytes and keeps its index.
    ASSERT_EQ(load({solidPicture(0, 0, 0, 0, 0), solidPicture(1, 1, 1, 2, 3)}), 2);
    EXPECT_EQ(gTextures[0].width + gTextures[0].paddedWidth, 0);
    EXPECT_EQ(gTextures[1].width + gTextures[1].paddedWidth, 2);
    // Tools read a picture the same way, without OpenGL.
    Picture p;
    EXPECT_TRUE(readPicture(kFile, 1, p) && p.width == 1 && p.height == 1 && p.bgra[2] == 3);
    EXPECT_FALSE(readPicture(kFile, 2, p) || readPicture("no-such.dat", 0, p));
    // A short final record keeps what it had, the rest transparent.
    TestPicture cut = solidPicture(2, 2, 50, 60, 70);
    cut.bgra.resize(2 * 4 + 3);  // one whole row and a few bytes of the next
    ASSERT_EQ(load({solidPicture(1, 1, 1, 1, 1), cut}), 2);
    const std::vector<uint8_t> tex = textureOf(gTextures[1]);
    EXPECT_TRUE(tex[0] == 70 && tex[2 * 4 + 3] == 0) << "the first row arrived, the second not";
    // The table has room for 300.
    EXPECT_EQ(load(std::vector<TestPicture>(301, solidPicture(1, 1, 9, 9, 9))), kMaxTextures);
    EXPECT_NE(gTextures[299].textureName, 0u);
}

// The texture names a load made: its pictures' and its stack's.
std::vector<GLuint> namesInUse() {
    std::vector<GLuint> names{gTextures.stack().textureName()};
    for (unsigned i = 0; i < kMaxTextures; ++i) {
        names.push_back(gTextures[i].textureName);
    }
    std::erase(names, 0u);
    return names;
}

TEST_F(TextureTableTest, ReleaseDeletesEveryTextureOfTheTableAndItsStack) {
    ASSERT_EQ(load({solidPicture(2, 2, 1, 1, 1), solidPicture(4, 4, 2, 2, 2)}), 2);
    const std::vector<GLuint> made = namesInUse();
    ASSERT_EQ(made.size(), 3u) << "two pictures and the stack";
    gTextures.release();
    for (const GLuint name : made) {
        EXPECT_EQ(glIsTexture(name), GL_FALSE) << "texture " << name << " was kept";
    }
    EXPECT_TRUE(namesInUse().empty()) << "the released table still names textures";
}

TEST_F(TextureTableTest, LoadingAgainLeavesNothingOfTheLoadBefore) {
    ASSERT_EQ(load({solidPicture(2, 2, 1, 1, 1), solidPicture(4, 4, 2, 2, 2)}), 2);
    const std::vector<GLuint> before = namesInUse();
    ASSERT_EQ(load({solidPicture(1, 1, 3, 3, 3)}), 1);
    const std::vector<GLuint> now = namesInUse();
    for (const GLuint name : before) {
        // OpenGL may hand a deleted name out again, to a texture of the new load.
        const bool reused = std::find(now.begin(), now.end(), name) != now.end();
        EXPECT_TRUE(reused || glIsTexture(name) == GL_FALSE) << "texture " << name << " leaked";
    }
    EXPECT_EQ(gTextures[1].textureName, 0u);
    EXPECT_EQ(gTextures[1].width, 0);
    EXPECT_EQ(gTextures.stack().find(1), nullptr) << "the stack still holds the old picture 1";
}

TEST_F(TextureTableTest, DamagedSizesAndGarbageEndLoadingSafely) {
    const int32_t bad[][2] = {{-1, 4}, {4, -1}, {1 << 30, 1}, {1, 1 << 30}, {100000, 100000}};
    for (const auto& size : bad) {
        const TestPicture good = solidPicture(2, 2, 1, 1, 1);
        EXPECT_EQ(load({good, {size[0], size[1], {}}, good}), 1) << size[0] << "x" << size[1];
        EXPECT_EQ(gTextures[1].textureName, 0u);
    }
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 600, '\0');
        for (char& b : bytes) {
            // Mostly small numbers, so that some sizes parse as plausible pictures.
            b = static_cast<char>(random() % 4 == 0 ? random() : random() % 8);
        }
        std::ofstream(kFile, std::ios::binary) << bytes;
        // A negative count would show as a huge unsigned one.
        EXPECT_LE(static_cast<unsigned>(gTextures.load(kFile)), unsigned{kMaxTextures});
    }
}

}  // namespace
