#include "tools/artgen/IconFile.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

// Adding a half and truncating rounds to nearest for the values here, which
// are never negative.
uint8_t roundedByte(double value) {
    return static_cast<uint8_t>(value + 0.5);  // NOLINT(bugprone-incorrect-roundings)
}

void put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFFu));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFFu));
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

// A bitmap entry: the info header, the colour rows and the mask rows. The
// header gives twice the height because the mask follows the colours.
std::vector<unsigned char> bitmap(const Image& img) {
    const auto w = static_cast<uint32_t>(img.width());
    const auto h = static_cast<uint32_t>(img.height());
    // Mask rows are padded to whole 32-bit words.
    const uint32_t maskRow = (w + 31) / 32 * 4;
    std::vector<unsigned char> out;
    put32(out, 40);     // size of the info header
    put32(out, w);      // width
    put32(out, h * 2);  // height of colours and mask together
    put16(out, 1);      // planes
    put16(out, 32);     // bits per pixel
    put32(out, 0);      // no compression
    put32(out, w * h * 4 + maskRow * h);
    for (int i = 0; i < 4; ++i) {
        put32(out, 0);  // resolution and palette: unused
    }
    for (int y = img.height() - 1; y >= 0; --y) {
        for (int x = 0; x < img.width(); ++x) {
            const Rgba p = img.at(x, y);
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
    }
    // Readers that ignore alpha draw through the mask: a set bit is a
    // transparent pixel.
    for (int y = img.height() - 1; y >= 0; --y) {
        std::vector<unsigned char> row(maskRow, 0);
        for (int x = 0; x < img.width(); ++x) {
            if (img.at(x, y).a == 0) {
                row[x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<unsigned char> encodeIcon(const std::vector<IconEntry>& entries) {
    constexpr uint32_t kLargest = 256;
    constexpr uint32_t kHeader = 6;
    constexpr uint32_t kDirectoryEntry = 16;
    std::vector<std::vector<unsigned char>> images;
    for (const IconEntry& e : entries) {
        if (e.image.width() <= 0 || e.image.height() <= 0 ||
            static_cast<uint32_t>(e.image.width()) > kLargest ||
            static_cast<uint32_t>(e.image.height()) > kLargest) {
            return {};
        }
        images.push_back(e.png.empty() ? bitmap(e.image) : e.png);
    }
    std::vector<unsigned char> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // type: icon
    put16(out, static_cast<uint32_t>(entries.size()));
    uint32_t offset = kHeader + kDirectoryEntry * static_cast<uint32_t>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        // A size of 256 is written as 0: the field is one byte.
        out.push_back(static_cast<unsigned char>(entries[i].image.width() & 0xFF));
        out.push_back(static_cast<unsigned char>(entries[i].image.height() & 0xFF));
        out.push_back(0);  // no palette
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, 32);    // bits per pixel
        put32(out, static_cast<uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& bytes : images) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

Image resampled(const Image& img, int size) {
    if (img.width() <= 0 || img.height() <= 0 || size <= 0) {
        return Image(std::max(size, 0), std::max(size, 0));
    }
    // On a grid fine enough for both sizes every new pixel covers whole
    // cells, each lying in one old pixel: the area average is a plain sum.
    const long gridW = std::lcm(static_cast<long>(img.width()), static_cast<long>(size));
    const long gridH = std::lcm(static_cast<long>(img.height()), static_cast<long>(size));
    const long inX = gridW / img.width(), inY = gridH / img.height();
    const long outX = gridW / size, outY = gridH / size;
    Image out(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (long gy = y * outY; gy < (y + 1) * outY; ++gy) {
                for (long gx = x * outX; gx < (x + 1) * outX; ++gx) {
                    const Rgba p = img.at(static_cast<int>(gx / inX), static_cast<int>(gy / inY));
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            }
            if (a > 0) {
                const double cells = static_cast<double>(outX * outY);
                auto channel = [a](double sum) { return roundedByte(sum / a); };
                out.set(x, y, {channel(r), channel(g), channel(b), roundedByte(a / cells)});
            }
        }
    }
    return out;
}
