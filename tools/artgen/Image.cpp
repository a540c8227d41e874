#include "tools/artgen/Image.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t clampByte(float v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Rgba scaled(Rgba c, float factor) {
    return {clampByte(c.r * factor), clampByte(c.g * factor), clampByte(c.b * factor), c.a};
}

Rgba mixed(Rgba from, Rgba to, float amount) {
    auto lerp = [amount](uint8_t a, uint8_t b) { return clampByte(a + (b - a) * amount); };
    return {lerp(from.r, to.r), lerp(from.g, to.g), lerp(from.b, to.b), lerp(from.a, to.a)};
}

Rgba withAlpha(Rgba c, float alpha) {
    c.a = clampByte(alpha * 255.0f);
    return c;
}

Image::Image(int width, int height, Rgba fill)
    : w_(std::max(width, 0)), h_(std::max(height, 0)), px_(static_cast<size_t>(w_) * h_, fill) {}

void Image::set(int x, int y, Rgba c) {
    if (contains(x, y)) {
        px_[index(x, y)] = c;
    }
}

void Image::blend(int x, int y, Rgba c) {
    if (!contains(x, y) || c.a == 0) {
        return;
    }
    Rgba& d = px_[index(x, y)];
    if (c.a == 255 || d.a == 0) {
        d = c;
        return;
    }
    // Straight-alpha "over": the result's alpha is the union of both coverages.
    const float sa = c.a / 255.0f, da = d.a / 255.0f;
    const float oa = sa + da * (1.0f - sa);
    auto ch = [&](uint8_t s, uint8_t t) { return clampByte((s * sa + t * da * (1.0f - sa)) / oa); };
    d = {ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), clampByte(oa * 255.0f)};
}

void Image::fillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            blend(i, j, c);
        }
    }
}

void Image::draw(const Image& src, int x, int y, int scale) {
    for (int j = 0; j < src.height() * scale; ++j) {
        for (int i = 0; i < src.width() * scale; ++i) {
            blend(x + i, y + j, src.at(i / scale, j / scale));
        }
    }
}

Image Image::crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (contains(x + i, y + j)) {
                out.set(i, j, at(x + i, y + j));
            }
        }
    }
    return out;
}
