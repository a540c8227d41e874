#include "app/PadInput.h"

#include <cstdlib>

#include "catalogue/Catalogue.h"

using namespace catalogue;

namespace {

// The game keys a pad can hold, each one bit of a mask in this order.
constexpr int32_t kKeys[] = {kKeyLeft, kKeyRight, kKeyDown, kKeyUp, kKeyReturn, kKeyEscape};
constexpr int kKeyCount = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);

constexpr uint32_t bitOf(int32_t key) {
    for (int i = 0; i < kKeyCount; ++i) {
        if (kKeys[i] == key) {
            return 1u << i;
        }
    }
    return 0;
}

// Held, these repeat as held arrow keys do; the others are pressed once.
constexpr uint32_t kRepeating = bitOf(kKeyLeft) | bitOf(kKeyRight) | bitOf(kKeyDown);

struct ButtonKey {
    SDL_GameControllerButton button;
    int32_t key;
};

// clang-format off
constexpr ButtonKey kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT,  kKeyLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kKeyRight},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN,  kKeyDown},
    {SDL_CONTROLLER_BUTTON_A,          kKeyUp},
    {SDL_CONTROLLER_BUTTON_B,          kKeyUp},
    {SDL_CONTROLLER_BUTTON_X,          kKeyUp},
    {SDL_CONTROLLER_BUTTON_Y,          kKeyUp},
    {SDL_CONTROLLER_BUTTON_START,      kKeyReturn},
    {SDL_CONTROLLER_BUTTON_BACK,       kKeyEscape},
};
// clang-format on
static_assert(sizeof kButtons / sizeof kButtons[0] <= 32, "a pad keeps its buttons in 32 bits");

// The keys a pad's held buttons (bit i: kButtons[i]) hold.
uint32_t keysOfButtons(uint32_t buttons) {
    uint32_t keys = 0;
    for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i) {
        if ((buttons >> i) & 1u) {
            keys |= bitOf(kButtons[i].key);
        }
    }
    return keys;
}

// One stick axis as a key: pressed beyond kStickPress of travel in the key's
// direction, let go once back within kStickRelease.
uint32_t stickKey(uint32_t held, uint32_t key, int value, int sign) {
    const int travel = sign * value;
    if (travel >= PadInput::kStickPress) {
        return held | key;
    }
    if (travel < PadInput::kStickRelease) {
        return held & ~key;
    }
    return held;
}

}  // namespace

PadInput::PadInput(Repeat repeat) : repeat_(repeat) {}

PadInput::~PadInput() {
    for (int i = 0; i < count_; ++i) {
        SDL_GameControllerClose(pads_[i].controller);
    }
}

PadInput::Pad* PadInput::find(SDL_JoystickID id) {
    for (int i = 0; i < count_; ++i) {
        if (pads_[i].id == id) {
            return &pads_[i];
        }
    }
    return nullptr;
}

void PadInput::open(int deviceIndex) {
    if (count_ == kMaxPads) {
        return;
    }
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // SDL announces the pads present at start, and may announce one twice.
    if (id < 0 || find(id) != nullptr) {
        SDL_GameControllerClose(controller);
        return;
    }
    pads_[count_++] = Pad{id, controller, 0, 0};
}

void PadInput::close(SDL_JoystickID id) {
    Pad* pad = find(id);
    if (pad == nullptr) {
        return;
    }
    SDL_GameControllerClose(pad->controller);
    *pad = pads_[--count_];
    pads_[count_] = Pad{};
}

bool PadInput::handle(const SDL_Event& event, int64_t nowMs, KeyReceiver& keys) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            open(event.cdevice.which);
            return true;
        case SDL_CONTROLLERDEVICEREMOVED:
            close(event.cdevice.which);
            settle(nowMs, keys);
            return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            Pad* pad = find(event.cbutton.which);
            if (pad == nullptr) {
                return true;
            }
            for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i) {
                if (kButtons[i].button == event.cbutton.button) {
                    const uint32_t bit = 1u << i;
                    pad->buttons = event.cbutton.state == SDL_PRESSED ? pad->buttons | bit
                                                                      : pad->buttons & ~bit;
                }
            }
            settle(nowMs, keys);
            return true;
        }
        case SDL_CONTROLLERAXISMOTION: {
            Pad* pad = find(event.caxis.which);
            if (pad == nullptr) {
                return true;
            }
            // SDL's axes run -32768..32767, y growing downward.
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                pad->stick = stickKey(pad->stick, bitOf(kKeyLeft), event.caxis.value, -1);
                pad->stick = stickKey(pad->stick, bitOf(kKeyRight), event.caxis.value, 1);
            } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                pad->stick = stickKey(pad->stick, bitOf(kKeyDown), event.caxis.value, 1);
            }
            settle(nowMs, keys);
            return true;
        }
        default:
            return false;
    }
}

void PadInput::settle(int64_t nowMs, KeyReceiver& keys) {
    uint32_t down = 0;
    for (int i = 0; i < count_; ++i) {
        down |= keysOfButtons(pads_[i].buttons) | pads_[i].stick;
    }
    const uint32_t released = down_ & ~down, pressed = down & ~down_;
    down_ = down;
    for (int i = 0; i < kKeyCount; ++i) {
        if ((released >> i) & 1u) {
            if (repeatKey_ == kKeys[i]) {
                repeatKey_ = 0;
            }
            keys.release(kKeys[i]);
        }
    }
    for (int i = 0; i < kKeyCount; ++i) {
        if ((pressed >> i) & 1u) {
            // As on a keyboard, the key pressed last is the one that repeats.
            repeatKey_ = ((kRepeating >> i) & 1u) != 0 ? kKeys[i] : 0;
            nextRepeatMs_ = nowMs + repeat_.delayMs;
            keys.press(kKeys[i], false);
        }
    }
}

void PadInput::repeat(int64_t nowMs, KeyReceiver& keys) {
    if (repeatKey_ == 0 || nowMs < nextRepeatMs_) {
        return;
    }
    keys.press(repeatKey_, true);
    // A loop that was held up (minimised, a slow frame) gets one repeat, not
    // every one it missed.
    nextRepeatMs_ += repeat_.intervalMs;
    if (nextRepeatMs_ <= nowMs) {
        nextRepeatMs_ = nowMs + repeat_.intervalMs;
    }
}

int PadInput::msUntilRepeat(int64_t nowMs) const {
    if (repeatKey_ == 0) {
        return -1;
    }
    return nextRepeatMs_ <= nowMs ? 0 : static_cast<int>(nextRepeatMs_ - nowMs);
}

void PadInput::closeAll(KeyReceiver& keys) {
    while (count_ > 0) {
        close(pads_[0].id);
    }
    settle(0, keys);
}
