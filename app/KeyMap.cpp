#include "app/KeyMap.h"

#include <array>

#include "catalogue/Catalogue.h"

namespace {

struct KeyCode {
    SDL_Scancode scancode;
    uint8_t virtualKey;
};

// Letters, digits and F1-F12 are runs and are filled in below; this table
// holds the rest, by the platform's virtual-key numbering.
constexpr KeyCode kKeyCodes[] = {
    {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, catalogue::kKeyReturn},
    {SDL_SCANCODE_KP_ENTER, catalogue::kKeyReturn},
    {SDL_SCANCODE_LSHIFT, 16},
    {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},
    {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18},
    {SDL_SCANCODE_PAUSE, 19},
    {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, catalogue::kKeyEscape},
    {SDL_SCANCODE_SPACE, catalogue::kKeySpace},
    {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},
    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, catalogue::kKeyLeft},
    {SDL_SCANCODE_UP, catalogue::kKeyUp},
    {SDL_SCANCODE_RIGHT, catalogue::kKeyRight},
    {SDL_SCANCODE_DOWN, catalogue::kKeyDown},
    {SDL_SCANCODE_PRINTSCREEN, 44},
    {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},
    {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99},
    {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},
    {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105},
    {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_F13, 124},
    {SDL_SCANCODE_F14, 125},
    {SDL_SCANCODE_F15, 126},
    {SDL_SCANCODE_F16, 127},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},
    {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
    {SDL_SCANCODE_NONUSBACKSLASH, 226},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> buildTable() {
    std::array<uint8_t, SDL_NUM_SCANCODES> table{};
    for (uint8_t& code : table) {
        code = kOtherKey;
    }
    for (int i = 0; i < 26; ++i) {
        table[SDL_SCANCODE_A + i] = static_cast<uint8_t>('A' + i);
    }
    // SDL numbers the digit row 1..9 then 0.
    for (int i = 0; i < 9; ++i) {
        table[SDL_SCANCODE_1 + i] = static_cast<uint8_t>('1' + i);
    }
    table[SDL_SCANCODE_0] = '0';
    for (int i = 0; i < 12; ++i) {
        table[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(112 + i);
    }
    for (const KeyCode& k : kKeyCodes) {
        table[k.scancode] = k.virtualKey;
    }
    return table;
}

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kTable = buildTable();

}  // namespace

int virtualKeyFromScancode(SDL_Scancode scancode) {
    const int index = static_cast<int>(scancode);
    if (index < 0 || index >= SDL_NUM_SCANCODES) {
        return kOtherKey;
    }
    return kTable[index];
}

bool isSystemKey(SDL_Scancode scancode, uint16_t modifiers) {
    return scancode == SDL_SCANCODE_F10 || scancode == SDL_SCANCODE_LALT ||
           scancode == SDL_SCANCODE_RALT || (modifiers & KMOD_ALT) != 0;
}

bool isFullscreenToggle(SDL_Scancode scancode, uint16_t modifiers) {
    return scancode == SDL_SCANCODE_F11 ||
           ((scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER) &&
            (modifiers & KMOD_ALT) != 0);
}
