// The picture stack must not change a single pixel: the game's own scenes,
// drawn by the real levels with the game's picture file, come out byte for
// byte the same whether the renderer draws from the stack or binds each
// picture's own texture. The shake turns the playfield by fractions of a
// degree and the bands, bars and frame sides stretch their pictures, so
// those sample between texel centres and are covered as well.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>

#include "catalogue/Catalogue.h"
#include "fakes/FakeAudio.h"
#include "levels/DuobrikLevel.h"
#include "levels/DuobrikLevels.h"
#include "levels/IntroLevel.h"
#include "offscreen/OffscreenGL.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

namespace {

class StackedDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL context";
        ASSERT_GE(loadTextures(), static_cast<int>(catalogue::kRecordCount))
            << "the game's picture file is missing";
        ASSERT_NE(gTextures.stack().textureName(), 0u) << "no picture stack was made";
        gRenderer = &plain;  // the levels write the fade through it
    }
    void TearDown() override {
        gRenderer = nullptr;
        gTextures.release();  // while the context that made them is current
    }

    // Draws the scene once with each renderer and expects the same bytes.
    template <typename Scene>
    void expectSameFrames(const std::string& name, Scene&& scene) {
        std::vector<uint8_t> frames[2];
        for (OpenGLRenderer* r : {&stacked, &plain}) {
            gRenderer = r;
            gl.beginFrame();
            gRenderer->clear();
            scene();
            frames[r == &plain] = gl.readPixels();
        }
        const auto diff = std::mismatch(frames[0].begin(), frames[0].end(), frames[1].begin());
        EXPECT_TRUE(diff.first == frames[0].end())
            << name << ": differs first at pixel " << (diff.first - frames[0].begin()) / 4;
        size_t lit = 0;  // a blank frame would prove nothing
        for (size_t i = 3; i < frames[0].size(); i += 4)
            lit += frames[0][i] != 0 ? 1 : 0;
        EXPECT_GT(lit, 1000u) << name << " drew almost nothing";
    }

    OffscreenGL gl;
    FakeAudio audio;
    OpenGLRenderer stacked{OpenGLRenderer::Drawing::Stacked};
    OpenGLRenderer plain{OpenGLRenderer::Drawing::PerPicture};
};

TEST_F(StackedDrawingTest, TheGamesScenesDrawTheSame) {
    IntroLevel intro;
    intro.blink = true;
    expectSameFrames("intro", [&] { intro.draw(); });

    // A play level with its music and bands running and every cell filled
    // with blocks of mixed colours joined into rows.
    std::unique_ptr<DuobrikLevel> level = makeDuobrikLevel(1);
    level->start();
    level->update(1000, 1);
    for (int row = 0; row < catalogue::kBoardRows - 1; ++row) {
        for (int c = 0; c < catalogue::kBoardColumns; ++c) {
            level->board.setCell(c, row, 1 + (c * 3 + row) % 7);
        }
        level->board.closeLowerEdges(row);
    }
    std::ranges::copy(std::array{0.15f, 0.5f, 0.77f, 1.0f}, level->voiceLevels);
    level->score = 123456;
    expectSameFrames("full board with bands", [&] { level->draw(); });

    for (int row = 0; row < 4; ++row) {
        level->board.markClearing(row);
    }
    for (float fade : {0.0f, 0.37f, 0.5f, 0.99f}) {
        stacked.fade = plain.fade = fade;
        expectSameFrames("rows fading " + std::to_string(fade), [&] { level->draw(); });
    }
    stacked.fade = plain.fade = 0.0f;

    std::mt19937 random(99);
    for (int i = 0; i < 24; ++i) {
        level->shakeAmplitude = static_cast<float>(random() % 6000) / 100.0f;
        level->shakePhase = static_cast<float>(random() % 10000) / 100.0f;
        expectSameFrames("shake " + std::to_string(i), [&] { level->draw(); });
    }

    auto preset = makeDuobrikLevel(9);
    preset->start();
    preset->update(1000, 1);
    expectSameFrames("preset board", [&] { preset->draw(); });
}

// Every stacked picture stretched and squeezed, turned and moved by
// fractions of a pixel: the samples fall anywhere between texel centres,
// also on the picture's very edges where its own texture wraps.
TEST_F(StackedDrawingTest, StretchedAndTurnedPicturesDrawTheSame) {
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        const float angle = static_cast<float>(random() % 2000) / 100.0f - 10.0f;
        const float dx = static_cast<float>(random() % 100) / 37.0f;
        const float dy = static_cast<float>(random() % 100) / 41.0f;
        const int seed = static_cast<int>(random());
        expectSameFrames("round " + std::to_string(round), [&] {
            std::mt19937 pick(seed);
            gRenderer->pushTransform();
            gRenderer->translate(160.0f + dx, 240.0f + dy);
            gRenderer->rotate(angle);
            gRenderer->translate(-160.0f, -240.0f);
            for (unsigned t = 0; t < kMaxTextures; ++t) {
                if (gTextures.stack().find(t) != nullptr) {
                    const int w = static_cast<int>(pick() % 90) - 20;
                    const int h = static_cast<int>(pick() % 90) - 20;
                    gRenderer->drawTextureScaled(static_cast<int>(pick() % 300),
                                                 static_cast<int>(pick() % 460), w, h, 0.8f, t);
                    gRenderer->drawTexture(static_cast<int>(pick() % 300),
                                           static_cast<int>(pick() % 460), t);
                }
            }
            gRenderer->popTransform();
        });
    }
}

}  // namespace
