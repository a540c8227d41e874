#include "tools/artgen/TileSet.h"

namespace tiles {

Rect tileRect(int k) {
    const int col = (k - 1) % 3, band = (k - 1) / 3;  // band 0 is the bottom band
    const int xs[] = {0, kCorner, kSquare - kCorner};
    const int ws[] = {kCorner, kMiddle, kCorner};
    const int ys[] = {kSquare - kCorner, kCorner, 0};
    const int hs[] = {kCorner, kMiddle, kCorner};
    return {xs[col], ys[band], ws[col], hs[band]};
}

Shading blockShading(Rgba base) {
    const Rgba white{255, 255, 255, 255};
    return {
        scaled(base, 0.32f),
        {mixed(base, white, 0.55f), mixed(base, white, 0.28f)},
        {scaled(base, 0.55f), scaled(base, 0.75f)},
        {base},
    };
}

Image shadeSquare(const Neighbours& n, const Shading& shading) {
    // The square in the middle of its 3 x 3 neighbourhood; the shading looks
    // at most three pixels beyond the square, well inside the neighbours.
    Mask m(3 * kSquare, 3 * kSquare);
    auto put = [&m](bool on, int col, int row) {
        m.fillRect(col * kSquare, row * kSquare, kSquare, kSquare, on);
    };
    put(true, 1, 1);
    put(n.left, 0, 1);
    put(n.right, 2, 1);
    put(n.up, 1, 0);
    put(n.down, 1, 2);
    put(n.upLeft, 0, 0);
    put(n.upRight, 2, 0);
    put(n.downLeft, 0, 2);
    put(n.downRight, 2, 2);
    return shade(m, shading, kSquare, kSquare, kSquare, kSquare);
}

bool buildSet(const Shading& shading, std::vector<Image>& set, std::string& error) {
    set.assign(kSetSize, Image());
    std::array<bool, kSetSize> seen{};
    // Every neighbourhood, the plain ones (diagonals empty) first, so each
    // role is cut from its simplest case and all others are checked against it.
    for (unsigned bits = 0; bits < 256; ++bits) {
        const Neighbours n = Neighbours::fromBits(bits);
        const Image square = shadeSquare(n, shading);
        const std::array<int, 9> offsets = joinOffsets(n);
        for (int k = 1; k <= 9; ++k) {
            const Rect r = tileRect(k);
            const int off = offsets[k - 1];
            Image tile = square.crop(r.x, r.y, r.w, r.h);
            if (!seen[off]) {
                seen[off] = true;
                set[off] = std::move(tile);
            } else if (!(set[off] == tile)) {
                error = "tile role " + std::to_string(off) + " differs at tile " +
                        std::to_string(k) + " for neighbours " + std::to_string(bits);
                return false;
            }
        }
    }
    return true;
}

Image assemble(const std::vector<Image>& set, const Neighbours& n) {
    Image out(kSquare, kSquare);
    const std::array<int, 9> offsets = joinOffsets(n);
    for (int k = 1; k <= 9; ++k) {
        const Rect r = tileRect(k);
        out.draw(set[offsets[k - 1]], r.x, r.y);
    }
    return out;
}

}  // namespace tiles
