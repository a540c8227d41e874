#pragma once
// A plain RGBA picture in memory, rows top first, as the generator builds every
// record of the picture file. It knows only the few operations the artwork
// needs: pixel access, straight-alpha "over" blending, copying and cropping.
// Byte order is red, green, blue, alpha here; the file writer swaps to the
// blue-first order the game reads.

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;

    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Colour arithmetic used to derive shades from one base colour.
Rgba scaled(Rgba c, float factor);             // darker (< 1) or brighter (> 1), alpha kept
Rgba mixed(Rgba from, Rgba to, float amount);  // linear mix of all four channels
Rgba withAlpha(Rgba c, float alpha);

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = {});

    int width() const { return w_; }
    int height() const { return h_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    Rgba at(int x, int y) const { return px_[index(x, y)]; }
    void set(int x, int y, Rgba c);    // ignores points outside
    void blend(int x, int y, Rgba c);  // source-over with straight alpha, ignores points outside
    void fillRect(int x, int y, int w, int h, Rgba c);  // blended

    // Copies `src` with its top-left at (x, y), each source pixel as a
    // scale x scale block, blended over what is there.
    void draw(const Image& src, int x, int y, int scale = 1);
    Image crop(int x, int y, int w, int h) const;

    const std::vector<Rgba>& pixels() const { return px_; }

    friend bool operator==(const Image&, const Image&) = default;

private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * w_ + x; }

    int w_ = 0, h_ = 0;
    std::vector<Rgba> px_;
};
