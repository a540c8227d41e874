#include "levels/IntroLevel.h"

#include "audio/AudioRenderer.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Sound.h"
#include "render/Renderer.h"

namespace {
constexpr int kPromptX = 16;
constexpr int kPromptY = 50;
constexpr int64_t kBlinkPeriod = 1000;  // ms
constexpr int64_t kHiddenPart = 500;    // ms of each period the prompt is hidden
}  // namespace

IntroLevel::~IntroLevel() {
    if (gAudio != nullptr) {
        gAudio->stopMusic();
    }
}

void IntroLevel::start() {
    gAudio->loadMusic(catalogue::sound::kTitleMusic);
    gAudio->playMusic(0);
}

void IntroLevel::update(int64_t nowMs, int64_t elapsedMs) {
    (void)elapsedMs;
    // The phase follows the clock, not the moment the screen appeared.
    blink = nowMs % kBlinkPeriod > kHiddenPart;
}

int64_t IntroLevel::msUntilChange(int64_t nowMs) const {
    const int64_t phase = nowMs % kBlinkPeriod;
    return phase <= kHiddenPart ? kHiddenPart + 1 - phase : kBlinkPeriod - phase;
}

void IntroLevel::draw() {
    gRenderer->drawTexture(0, 0, catalogue::kIntro);  // the whole screen
    if (blink) {
        gRenderer->drawTexture(kPromptX, kPromptY, catalogue::kPrompt);
    }
}

void IntroLevel::keyDown(int32_t key) {
    (void)key;
    state = StartGame;
}
