#pragma once
// Turns a flat shape into a raised, lit block: a 1-pixel outline where the
// shape meets its outside, a bevel that is light on faces turned up or left
// and dark on faces turned down or right, and a face in the middle. Squares,
// the board frame, the title letters and the digits all go through it, so
// everything solid on screen shares one light and one material.
//
// The shading of a pixel depends only on the shape within 1 + bevel pixels of
// it, which is what lets a square be cut into tiles that fit any neighbours.

#include <cstddef>
#include <vector>

#include "tools/artgen/Image.h"

class Mask {
public:
    Mask(int width, int height)
        : w_(width), h_(height), bits_(static_cast<size_t>(width) * height) {}

    int width() const { return w_; }
    int height() const { return h_; }
    // Points outside the mask are outside the shape.
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && bits_[static_cast<size_t>(y) * w_ + x];
    }
    void set(int x, int y, bool on = true) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) {
            bits_[static_cast<size_t>(y) * w_ + x] = on;
        }
    }
    void fillRect(int x, int y, int w, int h, bool on = true);
    // Each set point of `src` becomes a scale x scale block at (x, y).
    void draw(const Mask& src, int x, int y, int scale = 1);

private:
    int w_, h_;
    std::vector<bool> bits_;
};

struct Shading {
    Rgba outline;
    std::vector<Rgba> light;  // bevel rings from the outline inward, faces turned up/left
    std::vector<Rgba> dark;   // same for faces turned down/right; same length as `light`
    std::vector<Rgba> face;   // by depth beyond the bevel; the last one fills the rest
};

// Shades every point of the shape; points outside stay transparent.
Image shade(const Mask& shape, const Shading& shading);
// The same for the w x h window at (x, y) of the shape only.
Image shade(const Mask& shape, const Shading& shading, int x, int y, int w, int h);
