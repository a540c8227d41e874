#include "levels/WinLevel.h"

#include <algorithm>

#include "audio/AudioRenderer.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Sound.h"
#include "levels/DuobrikLevel.h"
#include "render/Renderer.h"

void WinLevel::start() {
    gAudio->setMusicVolume(catalogue::sound::kFullVolume);
    gAudio->loadMusic(catalogue::sound::kTitleMusic);
    gAudio->playMusic(0);
}

void WinLevel::update(int64_t nowMs, int64_t elapsedMs) {
    (void)nowMs;
    // Counted in steps no longer than the guard, so a long pause cannot overflow it.
    if (shownMs < kKeyGuardMs) {
        shownMs += std::min(elapsedMs, kKeyGuardMs);
    }
}

int64_t WinLevel::msUntilChange(int64_t nowMs) const {
    (void)nowMs;
    return shownMs < kKeyGuardMs ? kKeyGuardMs - shownMs : kStill;
}

void WinLevel::draw() {
    gRenderer->drawTexture(0, 0, catalogue::kIntro);
    // The plate sits where the game-over and level-complete plates sit in play.
    gRenderer->drawTextureCentered(catalogue::kPlateCentreX, catalogue::kPlateCentreY,
                                   catalogue::kYouWin);
    DuobrikLevel::drawScore(score);
}

void WinLevel::keyDown(int32_t key) {
    (void)key;
    if (shownMs >= kKeyGuardMs) {
        state = BackToIntro;
    }
}
