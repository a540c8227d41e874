#pragma once
// Writes Windows icon files (.ico), for the executable's icon resource and
// the installer. An icon file is a directory of the same picture at several
// sizes, from which Windows picks the one nearest to what it shows: 16 pixels
// in title bars, 32 on the taskbar, 48 and up in Explorer.
//
// Each size is stored either as a 32-bit bitmap (blue, green, red, alpha rows,
// bottom row first, followed by the one-bit mask older readers want), which
// every Windows version reads, or as PNG bytes handed in by the caller, which
// Windows reads from Vista on and which keeps the 256-pixel size small.

#include <vector>

#include "tools/artgen/Image.h"

struct IconEntry {
    Image image;                     // the picture at this size (at most 256 x 256)
    std::vector<unsigned char> png;  // if not empty: stored as these PNG bytes instead
};

// The icon file's bytes; empty when an entry is empty or larger than 256 pixels.
std::vector<unsigned char> encodeIcon(const std::vector<IconEntry>& entries);

// `img` made `size` pixels square by averaging the area each new pixel
// covers, weighted by opacity, so that edges stay clean at small sizes.
Image resampled(const Image& img, int size);
