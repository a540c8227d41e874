#include "app/TouchInput.h"

#include <cmath>

#include "catalogue/Catalogue.h"
#include "catalogue/ScreenFit.h"

using namespace catalogue;

namespace {

// clang-format off
// What each gesture presses.
constexpr int32_t kTapKey        = kKeyUp;  // turns; on a waiting screen it is any key
constexpr int32_t kSwipeLeftKey  = kKeyLeft;
constexpr int32_t kSwipeRightKey = kKeyRight;
constexpr int32_t kDragDownKey   = kKeyDown;
// clang-format on

}  // namespace

void TouchInput::handle(const SDL_TouchFingerEvent& event, int width, int height, int64_t nowMs,
                        KeyReceiver& keys) {
    // SDL gives the finger as a share of the window, whose drawing surface
    // the picture is fitted to; picture pixels follow from the fit.
    const ScreenFit fit = fitScreen(width, height);
    const float top = static_cast<float>(height - fit.y - fit.height);
    const float x = (event.x * static_cast<float>(width) - static_cast<float>(fit.x)) /
                    static_cast<float>(fit.factor);
    const float y = (event.y * static_cast<float>(height) - top) / static_cast<float>(fit.factor);

    if (event.type == SDL_FINGERDOWN) {
        if (gesture_ == Gesture::None) {
            gesture_ = Gesture::Undecided;
            device_ = event.touchId;
            finger_ = event.fingerId;
            startX_ = x;
            startY_ = y;
            startMs_ = nowMs;
            swiped_ = 0;
        }
        return;
    }
    if (gesture_ == Gesture::None || event.touchId != device_ || event.fingerId != finger_) {
        return;
    }
    // The last motion may not have been reported before the lift.
    follow(x, y, keys);
    if (event.type != SDL_FINGERUP) {
        return;
    }
    if (gesture_ == Gesture::Undecided && nowMs - startMs_ <= kTapMs) {
        // The rules keep a turn asked for until the next update, so the key
        // may come up at once.
        keys.press(kTapKey, false);
        keys.release(kTapKey);
    } else if (gesture_ == Gesture::Down) {
        keys.release(kDragDownKey);
    }
    gesture_ = Gesture::None;
}

void TouchInput::follow(float x, float y, KeyReceiver& keys) {
    const float dx = x - startX_, dy = y - startY_;
    if (gesture_ == Gesture::Undecided) {
        if (std::fabs(dx) < kSlop && std::fabs(dy) < kSlop) {
            return;
        }
        if (std::fabs(dx) >= std::fabs(dy)) {
            gesture_ = Gesture::Sideways;
        } else if (dy > 0.0f) {
            gesture_ = Gesture::Down;
            keys.press(kDragDownKey, false);
        } else {
            gesture_ = Gesture::Ignored;  // upward: nothing the game does
        }
    }
    if (gesture_ == Gesture::Sideways) {
        // Whole squares, toward zero: a swipe back undoes what is not yet pressed.
        const int squares = static_cast<int>(dx / static_cast<float>(kSquarePixels));
        pending_ += squares - swiped_;
        swiped_ = squares;
    }
}

void TouchInput::step(int64_t nowMs, KeyReceiver& keys) {
    if (held_ != 0) {
        keys.release(held_);
        held_ = 0;
    }
    if (pending_ != 0 && framesPastSlide_ >= 2) {
        held_ = pending_ < 0 ? kSwipeLeftKey : kSwipeRightKey;
        pending_ += pending_ < 0 ? 1 : -1;
        pressMs_ = nowMs;
        framesPastSlide_ = 0;
        keys.press(held_, false);
        return;
    }
    if (nowMs - pressMs_ >= kSlideMs && framesPastSlide_ < 2) {
        ++framesPastSlide_;
    }
}
