#include "levels/DuobrikLevel.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioRenderer.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Sound.h"
#include "render/Renderer.h"

using namespace catalogue;

namespace {

constexpr float kVoiceScale = 65535.0f;  // a voice's playing volume runs 0..65535

// The ring: six pictures 48 degrees apart on a circle around (160, 160).
constexpr unsigned kRingPictures[6] = {kRingA, kRingE, kRingB, kRingA, kRingC, kRingD};
constexpr int kRingCentre = 160;
constexpr int kRingRadius = 106;
constexpr float kRingStep = 0.837758f;  // 48 degrees in radians
constexpr float kPi = 3.14159265358979f;
constexpr int kMsPerDegree = 3;  // one turn in 1080 ms

// The four voice bands, full width, 32 pixels high, from y 320 down.
constexpr int kBandTop = 320;
constexpr int kBandHeight = 32;

// The bar of rows still to clear, right of the frame, 16 pixels per row.
constexpr int kBarX = 262;
constexpr int kBarBottom = 466;
constexpr int kBarWidth = 4;
constexpr int kBarPixelsPerRow = 16;

// The score: five digits, units at x 162, each 28 pixels left of the last.
constexpr int kUnitsX = 162;
constexpr int kDigitStep = 28;
constexpr int kDigitY = 7;
constexpr int kScoreDigits = 5;

// The piece-count columns. The pictures lie in the texture file in the order
// of catalogue::kPieceTileSets (O, T, S, Z, J, I, L), hence the offsets;
// column 8 repeats column 1 so that four columns stand on each side of the
// frame.
struct CountColumn {
    int x;
    int pieceType;  // index of pieceCounts: O Z S L J T I
    unsigned pictureOffset;
};
constexpr CountColumn kCountColumns[8] = {
    // x    type     offset
    {2, 0, 0},    // O
    {14, 1, 3},   // Z
    {26, 2, 2},   // S
    {38, 3, 6},   // L
    {270, 4, 4},  // J
    {282, 5, 1},  // T
    {294, 6, 5},  // I
    {306, 0, 0},  // O again
};
constexpr int kCountBottom = 466;
constexpr int kCountWidth = 12;
constexpr int kCountBase = 3;  // an empty column still shows a 3-pixel stub
constexpr int kCapY = 462;
constexpr int kLabelY = 463;

}  // namespace

DuobrikLevel::DuobrikLevel() {
    smoothSlide = true;
    smoothFall = true;
    musicSection = 0;
}

void DuobrikLevel::start() {
    BrikLevel::start();
    // The level before this one faded the player out; this one plays at full volume.
    gAudio->setMusicVolume(sound::kFullVolume);
    gAudio->loadMusic(sound::kPlayMusic);
    // The load order is the index the rules play each effect by.
    for (const char* file : sound::kEffectFiles) {
        gAudio->loadSample(file);
    }
    gAudio->playMusic(sound::sectionPosition(musicSection));
}

void DuobrikLevel::update(int64_t nowMs, int64_t elapsedMs) {
    BrikLevel::update(nowMs, elapsedMs);
    ringAngle = static_cast<int32_t>(360 - (nowMs / kMsPerDegree) % 360);
    for (int v = 0; v < 4; ++v) {
        voiceLevels[v] = static_cast<float>(gAudio->voiceVolume(v)) / kVoiceScale;
    }
}

void DuobrikLevel::drawScore(int32_t score) {
    int32_t rest = score;
    for (int i = 0; i < kScoreDigits; ++i) {
        // A negative score never happens in play; show its magnitude rather
        // than a picture index below the digits.
        const int digit = std::abs(rest % 10);
        rest /= 10;
        gRenderer->drawTexture(kUnitsX - kDigitStep * i, kDigitY,
                               kDigits + static_cast<unsigned>(digit));
    }
}

void DuobrikLevel::draw() {
    // The ring, worked in single precision step by step: a double-precision
    // angle would move some pictures by a pixel at some angles.
    float a = static_cast<float>(ringAngle) / 360.0f * 2.0f * kPi;
    for (unsigned picture : kRingPictures) {
        const int x =
            static_cast<int>(std::cos(static_cast<double>(a)) * kRingRadius + kRingCentre);
        const int y =
            static_cast<int>(std::sin(static_cast<double>(a)) * kRingRadius + kRingCentre);
        gRenderer->drawTextureCentered(x, y, picture);
        a += kRingStep;
    }

    for (int v = 0; v < 4; ++v) {
        gRenderer->drawTextureScaled(0, kBandTop + kBandHeight * v, kScreenWidth, kBandHeight,
                                     voiceLevels[v], kBand);
    }

    BrikLevel::draw();

    // Outside the shake: the plate stays steady and readable while the board
    // still settles after the winning clear. It lies where the game-over
    // plate goes after a loss.
    if (state == WinWait || state == WinFadeOut) {
        gRenderer->drawTextureCentered(kPlateCentreX, kPlateCentreY, kLevelComplete);
    }

    // The bar shakes with the field, but swings up and down at the pace it tilts.
    pushShake(1.0f);
    gRenderer->drawTextureScaled(kBarX, kBarBottom, kBarWidth,
                                 -kBarPixelsPerRow * std::max(0, linesToGo), 1.0f, kRowsBar);
    gRenderer->popTransform();

    drawScore(score);

    for (const CountColumn& count : kCountColumns) {
        const int n = pieceCounts[count.pieceType];
        if (n != 0) {
            gRenderer->drawTextureScaled(count.x, kCountBottom, kCountWidth, -(kCountBase + n),
                                         1.0f, kCountBars + count.pictureOffset);
        }
        gRenderer->drawTexture(count.x, kCapY - n, kCountCaps + count.pictureOffset);
        gRenderer->drawTexture(count.x, kLabelY, kCountLabels + count.pictureOffset);
    }
}
