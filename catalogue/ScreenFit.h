#pragma once
// How the game's 320x480 picture fits a screen of any size, the way pixel-art
// games fit theirs: enlarged by the largest whole factor that fits, so that
// every picture pixel becomes a square block of screen pixels and nothing
// blurs, and centred with black around it. A screen smaller than the picture
// keeps it at its own size in the lower-left corner, showing what fits.
//
// The desktop window and the web page both place the picture with fitScreen,
// and the desktop sizes its first window with firstWindowFactor. Sizes are
// the pixels of the drawing surface (a high-DPI screen has more of them than
// its window has points).

#include "catalogue/Catalogue.h"

namespace catalogue {

struct ScreenFit {
    int factor;         // each picture pixel is a factor x factor block, 1 or more
    int x, y;           // the picture's lower-left corner on the surface, OpenGL's way up
    int width, height;  // its size on the surface: the picture's times the factor
};

constexpr ScreenFit fitScreen(int surfaceWidth, int surfaceHeight) {
    const int across = surfaceWidth / kScreenWidth, down = surfaceHeight / kScreenHeight;
    const int factor = across < down ? (across > 1 ? across : 1) : (down > 1 ? down : 1);
    const int width = kScreenWidth * factor, height = kScreenHeight * factor;
    // Halves rounded down; a short side leaves the picture at 0 on that axis.
    const int x = surfaceWidth > width ? (surfaceWidth - width) / 2 : 0;
    const int y = surfaceHeight > height ? (surfaceHeight - height) / 2 : 0;
    return {factor, x, y, width, height};
}

// The share of the display's usable area that a first window may take: the
// rest leaves room for its frame and for the desktop around it.
inline constexpr int kFirstWindowPercent = 85;
// Sixteen times 480 pixels is taller than any display made: a larger factor
// can only come from a usable area misreported, and would ask for a window
// too large to create.
inline constexpr int kLargestFirstFactor = 16;

// The factor of the first window on a display whose usable area (without
// panels and docks) is usableWidth x usableHeight: the largest whose window
// fits in kFirstWindowPercent of it, and at least 1.
constexpr int firstWindowFactor(int usableWidth, int usableHeight) {
    // In 64 bits: a display's size times the percentage may pass 2^31.
    const long long across =
        static_cast<long long>(usableWidth) * kFirstWindowPercent / (100LL * kScreenWidth);
    const long long down =
        static_cast<long long>(usableHeight) * kFirstWindowPercent / (100LL * kScreenHeight);
    const long long factor = across < down ? across : down;
    return factor > 1
               ? static_cast<int>(factor < kLargestFirstFactor ? factor : kLargestFirstFactor)
               : 1;
}

}  // namespace catalogue
