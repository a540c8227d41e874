#pragma once
// The game's one typeface: capitals, digits, a little punctuation and four
// arrows, each a 5 x 7 grid of pixels. Text is set into a Mask at a whole-
// number scale, so it stays crisp at 1:1 and can be shaded like any block.

#include <string_view>

#include "tools/artgen/Bevel.h"

namespace font {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kSpacing = 1;  // empty font pixels between glyphs

// Arrow glyphs sit on control codes so they can be spliced into strings.
constexpr char kArrowLeft = '\x11';
constexpr char kArrowRight = '\x12';
constexpr char kArrowUp = '\x13';
constexpr char kArrowDown = '\x14';

// Width in screen pixels of `text` set at `scale` (no trailing gap).
int textWidth(std::string_view text, int scale);
constexpr int textHeight(int scale) {
    return kGlyphHeight * scale;
}

// Sets `text` into `mask` with its top-left at (x, y). Characters without a
// glyph leave a blank of a glyph's width.
void setText(Mask& mask, std::string_view text, int x, int y, int scale);
// The glyph of one character as a 5 x 7 mask (blank when it has none).
Mask glyph(char c);

}  // namespace font
