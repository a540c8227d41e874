#include "tools/artgen/Bevel.h"

#include <algorithm>
#include <cstdlib>

void Mask::fillRect(int x, int y, int w, int h, bool on) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            set(i, j, on);
        }
    }
}

void Mask::draw(const Mask& src, int x, int y, int scale) {
    for (int j = 0; j < src.height(); ++j) {
        for (int i = 0; i < src.width(); ++i) {
            if (src.at(i, j)) {
                fillRect(x + i * scale, y + j * scale, scale, scale);
            }
        }
    }
}

namespace {

// Chebyshev distance to the nearest outside point, capped at `limit` + 1; 1
// means the point touches the outside, diagonals included, so the outline
// closes around inner corners too.
int depth(const Mask& m, int x, int y, int limit) {
    for (int r = 1; r <= limit; ++r) {
        for (int j = -r; j <= r; ++j) {
            for (int i = -r; i <= r; ++i) {
                if ((std::abs(i) == r || std::abs(j) == r) && !m.at(x + i, y + j)) {
                    return r;
                }
            }
        }
    }
    return limit + 1;
}

// Which way the nearby outside lies: the sum of the offsets of every outside
// point in the window, projected on the light's diagonal. Negative means the
// surface faces up or left, towards the light; zero is a corner seam on the
// light's diagonal, which keeps the face colour.
int facing(const Mask& m, int x, int y, int r) {
    int sum = 0;
    for (int j = -r; j <= r; ++j) {
        for (int i = -r; i <= r; ++i) {
            if (!m.at(x + i, y + j)) {
                sum += i + j;
            }
        }
    }
    return sum;
}

}  // namespace

Image shade(const Mask& shape, const Shading& s) {
    return shade(shape, s, 0, 0, shape.width(), shape.height());
}

Image shade(const Mask& shape, const Shading& s, int x0, int y0, int w, int h) {
    Image out(w, h);
    const int bevel = static_cast<int>(s.light.size());
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            if (!shape.at(x, y)) {
                continue;
            }
            const int d = depth(shape, x, y, bevel + static_cast<int>(s.face.size()));
            Rgba c;
            if (d == 1) {
                c = s.outline;
            } else if (d <= bevel + 1) {
                const int f = facing(shape, x, y, d);
                const size_t ring = static_cast<size_t>(d - 2);
                c = f < 0 ? s.light[ring] : f > 0 ? s.dark[ring] : s.face.front();
            } else {
                c = s.face[std::min(static_cast<size_t>(d - bevel - 2), s.face.size() - 1)];
            }
            out.set(x - x0, y - y0, c);
        }
    }
    return out;
}
