// The picture file loader, on a real (offscreen) OpenGL context: what lands in
// the table and in the textures, and that no file content can break it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "render/TextureTable.h"
#include "support/OffscreenGL.h"

namespace {

const char* kFile = "texture_table_test.dat";

class TextureTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context";
        std::memset(gTextures, 0, sizeof gTextures);
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
    int load(const std::vector<TestPicture>& pictures) {
        writePictureFile(kFile, pictures);
        return loadTexturesFrom(kFile);
    }
    // The whole padded texture of an entry, RGBA.
    std::vector<uint8_t> textureOf(const TextureEntry& e) {
        std::vector<uint8_t> out(static_cast<size_t>(e.paddedWidth) * e.paddedHeight * 4);
        glBindTexture(GL_TEXTURE_2D, e.textureName);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    OffscreenGL gl;
};

TEST_F(TextureTableTest, MissingAndEmptyFilesMakeNoEntry) {
    EXPECT_EQ(loadTexturesFrom("no-such-file.dat"), 0);
    EXPECT_EQ(load({}), 0);
    EXPECT_EQ(gTextures[0].textureName, 0u);
}

TEST_F(TextureTableTest, PicturesArePaddedToPowersOfTwoWithTransparentBlack) {
    ASSERT_EQ(load({solidPicture(3, 5, 10, 20, 30, 40)}), 1);
    const TextureEntry& e = gTextures[0];
    EXPECT_NE(e.textureName, 0u);
    EXPECT_EQ(e.width, 3);
    EXPECT_EQ(e.height, 5);
    EXPECT_EQ(e.paddedWidth, 4);
    EXPECT_EQ(e.paddedHeight, 8);
    const std::vector<uint8_t> tex = textureOf(e);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) {
            const uint8_t* p = &tex[(y * 4 + x) * 4];
            if (x < 3 && y < 5) {
                // Stored blue, green, red, alpha; uploaded red first.
                EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}),
                          (std::vector<int>{30, 20, 10, 40}))
                    << "picture pixel " << x << "," << y;
            } else {
                EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0) << "padding pixel " << x << "," << y;
            }
        }
    }
}

TEST_F(TextureTableTest, PaddedSizes) {
    const int32_t cases[][2] = {{0, 0}, {1, 1}, {3, 4}, {20, 32}, {200, 256}, {320, 512}};
    for (const auto& c : cases) {
        EXPECT_EQ(paddedSize(c[0]), c[1]) << "size " << c[0];
    }
}

TEST_F(TextureTableTest, EmptyRecordTakesEightBytesAndKeepsItsIndex) {
    ASSERT_EQ(load({solidPicture(0, 0, 0, 0, 0), solidPicture(1, 1, 1, 2, 3)}), 2);
    EXPECT_EQ(gTextures[0].width, 0);
    EXPECT_EQ(gTextures[0].paddedWidth, 0);
    EXPECT_EQ(gTextures[1].width, 1);
    EXPECT_EQ(gTextures[1].paddedWidth, 1);
}

TEST_F(TextureTableTest, ShortFinalRecordKeepsWhatItHad) {
    TestPicture cut = solidPicture(2, 2, 50, 60, 70);
    cut.bgra.resize(2 * 4 + 3);  // one whole row and a few bytes of the next
    ASSERT_EQ(load({solidPicture(1, 1, 1, 1, 1), cut}), 2);
    const std::vector<uint8_t> tex = textureOf(gTextures[1]);
    EXPECT_EQ(tex[0], 70);  // first row arrived
    EXPECT_EQ(tex[2 * 4 * 1 + 3], 0) << "the second row was cut short: transparent";
}

TEST_F(TextureTableTest, NoMoreThanThreeHundredRecords) {
    std::vector<TestPicture> many(301, solidPicture(1, 1, 9, 9, 9));
    EXPECT_EQ(load(many), kMaxTextures);
    EXPECT_NE(gTextures[299].textureName, 0u);
}

TEST_F(TextureTableTest, DamagedSizesEndLoadingBeforeAllocating) {
    const int32_t bad[][2] = {{-1, 4}, {4, -1}, {1 << 30, 1}, {1, 1 << 30}, {100000, 100000}};
    for (const auto& size : bad) {
        TearDown();
        const int made = load(
            {solidPicture(2, 2, 1, 1, 1), {size[0], size[1], {}}, solidPicture(2, 2, 1, 1, 1)});
        EXPECT_EQ(made, 1) << "size " << size[0] << "x" << size[1];
        EXPECT_EQ(gTextures[1].textureName, 0u);
    }
}

TEST_F(TextureTableTest, GarbageFilesNeverCrash) {
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        TearDown();
        std::vector<uint8_t> bytes(random() % 600);
        for (uint8_t& b : bytes) {
            // Mostly small numbers, so that some sizes parse as plausible pictures.
            b = static_cast<uint8_t>(random() % 4 == 0 ? random() : random() % 8);
        }
        FILE* f = std::fopen(kFile, "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        const int made = loadTexturesFrom(kFile);
        EXPECT_GE(made, 0);
        EXPECT_LE(made, kMaxTextures);
    }
}

TEST_F(TextureTableTest, ReadPictureFindsARecordWithoutOpenGL) {
    writePictureFile(kFile, {solidPicture(2, 1, 1, 2, 3), solidPicture(3, 2, 4, 5, 6)});
    std::vector<uint8_t> bgra;
    int32_t w = 0;
    int32_t h = 0;
    ASSERT_TRUE(readPicture(kFile, 1, bgra, w, h));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    ASSERT_EQ(bgra.size(), 24u);
    EXPECT_EQ(bgra[0], 4);
    EXPECT_FALSE(readPicture(kFile, 2, bgra, w, h));
    EXPECT_FALSE(readPicture("no-such-file.dat", 0, bgra, w, h));
}

}  // namespace
