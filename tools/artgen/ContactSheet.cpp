#include "tools/artgen/ContactSheet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "tools/artgen/Artwork.h"
#include "tools/artgen/Bevel.h"
#include "tools/artgen/PixelFont.h"
#include "tools/artgen/TileSet.h"

using namespace catalogue;

namespace {

constexpr Rgba kSheetBack{40, 42, 48, 255};
constexpr Rgba kInk{220, 224, 232, 255};
constexpr int kSheetW = 1100;
constexpr int kMargin = 16;
constexpr int kGap = 10;

Image label(std::string_view text, int scale, Rgba colour) {
    Mask m(font::textWidth(text, scale), font::textHeight(scale));
    font::setText(m, text, 0, 0, scale);
    Image out(m.width(), m.height());
    for (int y = 0; y < m.height(); ++y) {
        for (int x = 0; x < m.width(); ++x) {
            if (m.at(x, y)) {
                out.set(x, y, colour);
            }
        }
    }
    return out;
}

// A checkerboard under each picture, so transparency shows.
void checker(Image& dst, int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const bool odd = ((i / 4) + (j / 4)) % 2 != 0;
            dst.set(x + i, y + j, odd ? Rgba{70, 72, 80, 255} : Rgba{54, 56, 64, 255});
        }
    }
}

// Small pictures are enlarged so their pixels can be seen.
int zoomFor(const Image& img) {
    const int side = std::max({img.width(), img.height(), 1});
    return std::clamp(48 / side, 1, 8);
}

// ---- a software stand-in for the game's drawing ---------------------------

class MockScreen {
public:
    explicit MockScreen(const std::vector<Image>& records)
        : tex_(records), screen_(kScreenWidth, kScreenHeight, {0, 0, 0, 255}) {}

    // As the game's textured quad: nearest sampling, colour times brightness,
    // negative sizes extend left or up with the picture mirrored.
    void scaled(int x, int y, int w, int h, float brightness, unsigned index) {
        const Image& t = tex_[index];
        if (w == 0 || h == 0 || t.width() == 0 || t.height() == 0) {
            return;
        }
        for (int j = 0; j < std::abs(h); ++j) {
            for (int i = 0; i < std::abs(w); ++i) {
                const float s = (i + 0.5f) / std::abs(w), u = (j + 0.5f) / std::abs(h);
                const int sx = static_cast<int>((w > 0 ? s : 1.0f - s) * t.width());
                const int sy = static_cast<int>((h > 0 ? u : 1.0f - u) * t.height());
                Rgba c = t.at(std::min(sx, t.width() - 1), std::min(sy, t.height() - 1));
                const Rgba lit = ::scaled(c, brightness);
                c = {lit.r, lit.g, lit.b, c.a};
                screen_.blend(std::min(x, x + w) + i, std::min(y, y + h) + j, c);
            }
        }
    }
    void draw(int x, int y, unsigned index, float brightness = 1.0f) {
        scaled(x, y, tex_[index].width(), tex_[index].height(), brightness, index);
    }
    void centred(int x, int y, unsigned index) {
        draw(x - tex_[index].width() / 2, y - tex_[index].height() / 2, index);
    }
    void cell(int x, int y, const std::array<unsigned, 9>& t, float fade) {
        const int w1 = tex_[t[0]].width(), w2 = tex_[t[1]].width();
        const int h1 = tex_[t[0]].height(), h4 = tex_[t[3]].height(), h7 = tex_[t[6]].height();
        const int xs[] = {x, x + w1, x + w1 + w2};
        const int ys[] = {y + kSquarePixels - h1, y + kSquarePixels - h1 - h4,
                          y + kSquarePixels - h1 - h4 - h7};
        for (int k = 0; k < 9; ++k) {
            const bool clearing = t[k] >= kClearingSet && t[k] < kClearingSet + kTileSetSize;
            draw(xs[k % 3], ys[k / 3], t[k], clearing ? 1.0f - fade : 1.0f);
        }
    }
    void frame() {
        constexpr int left = kBoardLeft - kFrameThickness, right = kBoardLeft + kBoardWidth;
        constexpr int top = kBoardTop - kFrameThickness, bottom = kBoardTop + kBoardHeight;
        draw(left, bottom, kFrameBottomLeft);
        for (int twice = 0; twice < 2; ++twice) {
            scaled(left, kBoardTop, tex_[kFrameLeft].width(), kBoardHeight, 1.0f, kFrameLeft);
        }
        draw(left, top, kFrameTopLeft);
        scaled(kBoardLeft, top, kBoardWidth, tex_[kFrameTop].height(), 1.0f, kFrameTop);
        scaled(kBoardLeft, bottom, kBoardWidth, tex_[kFrameBottom].height(), 1.0f, kFrameBottom);
        draw(right, bottom, kFrameBottomRight);
        scaled(right, kBoardTop, tex_[kFrameRight].width(), kBoardHeight, 1.0f, kFrameRight);
        draw(right, top, kFrameTopRight);
    }

    // Draws the pieces of a grid (top row first; a letter per square names
    // its piece, 'X' the clearing set) with their top-left square at (x, y).
    void pieces(std::initializer_list<std::string_view> rows, int x, int y, float fade = 0.0f) {
        const int h = static_cast<int>(rows.size());
        auto at = [&](int c, int r) -> char {
            if (r < 0 || r >= h || c < 0 || c >= static_cast<int>((rows.begin() + r)->size())) {
                return '.';
            }
            return (rows.begin() + r)->at(c);
        };
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < static_cast<int>((rows.begin() + r)->size()); ++c) {
                const char id = at(c, r);
                if (id == '.') {
                    continue;
                }
                auto same = [&](int dc, int dr) { return at(c + dc, r + dr) == id; };
                const tiles::Neighbours n{same(-1, 0), same(1, 0), same(0, 1),   same(0, -1),
                                          same(-1, 1), same(1, 1), same(-1, -1), same(1, -1)};
                const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(id)));
                unsigned base = kClearingSet;
                for (const art::PieceColour& p : art::kPieces) {
                    if (p.piece == kind) {
                        base = p.setBase;
                    }
                }
                const std::array<int, 9> offsets = tiles::joinOffsets(n);
                std::array<unsigned, 9> t;
                for (int k = 0; k < 9; ++k) {
                    t[k] = base + static_cast<unsigned>(offsets[k]);
                }
                cell(x + kSquarePixels * c, y + kSquarePixels * r, t, fade);
            }
        }
    }

    const Image& image() const { return screen_; }

private:
    const std::vector<Image>& tex_;
    Image screen_;
};

Image introMock(const std::vector<Image>& r) {
    MockScreen s(r);
    s.draw(0, 0, kIntro);
    s.draw(16, 50, kPrompt);
    return s.image();
}

Image playMock(const std::vector<Image>& r, bool lost) {
    MockScreen s(r);
    // The ring at the angle of 270 degrees, as the game places it.
    float a = 270.0f / 360.0f * 2.0f * std::numbers::pi_v<float>;
    for (unsigned index : {kRingA, kRingE, kRingB, kRingA, kRingC, kRingD}) {
        s.centred(static_cast<int>(std::cos(a) * 106 + 160),
                  static_cast<int>(std::sin(a) * 106 + 160), index);
        a += 0.837758f;
    }
    const float levels[] = {0.9f, 0.55f, 0.3f, 0.75f};
    for (int v = 0; v < 4; ++v) {
        s.scaled(0, 320 + 32 * v, kScreenWidth, 32, levels[v], kBand);
    }
    s.frame();
    if (lost) {
        s.pieces(
            {"XXXXXXXXXX", "XXXXXXXXXX", "XXXXXXXXXX", "XXXXXXXXXX", "XXXXXXXXXX", "XXXXXXXXXX"},
            squareX(0), squareY(5));
    } else {
        s.pieces({"I.........", "I.....ZZ..", "IT....LZZ.", "ITT.J.L.OO", ".TSSJ.LLOO",
                  ".SSJJ.....", "XXXXXXXXXX"},
                 squareX(0), squareY(6), 0.35f);
        s.pieces({".S.", ".SS", "..S"}, squareX(2), squareY(14));  // the falling piece
    }
    s.pieces({".T.", "TTT"}, 200, 5);  // the preview
    s.scaled(262, 466, 4, -16 * 7, 1.0f, kRowsBar);
    for (int i = 0, score = 1230; i < 5; ++i, score /= 10) {
        s.draw(162 - 28 * i, 7, kDigits + static_cast<unsigned>(score % 10));
    }
    struct Column {
        int x, count;
        unsigned offset;
    };
    const Column columns[] = {{2, 12, 0},   {14, 5, 3},  {26, 7, 2},  {38, 6, 6},
                              {270, 10, 4}, {282, 9, 1}, {294, 8, 5}, {306, 12, 0}};
    for (const Column& c : columns) {
        if (c.count != 0) {
            s.scaled(c.x, 466, 12, -(3 + c.count * 4), 1.0f, kCountBars + c.offset);
        }
        s.draw(c.x, 462 - c.count * 4, kCountCaps + c.offset);
        s.draw(c.x, 463, kCountLabels + c.offset);
    }
    if (lost) {
        s.centred(kPlateCentreX, kPlateCentreY, kGameOver);
    }
    return s.image();
}

}  // namespace

Image contactSheet(const std::vector<Image>& records) {
    // First pass lays the records out in rows to learn the sheet's height.
    struct Placed {
        int index, x, y, zoom;
    };
    std::vector<Placed> placed;
    int x = kMargin, y = kMargin + 40, rowH = 0;
    for (int i = 0; i < static_cast<int>(records.size()); ++i) {
        const Image& img = records[i];
        const int zoom = zoomFor(img);
        const int w = std::max(img.width() * zoom, 28) + 4;
        const int h = img.height() * zoom + 4 + 12;
        if (x + w > kSheetW - kMargin) {
            x = kMargin;
            y += rowH + kGap;
            rowH = 0;
        }
        placed.push_back({i, x, y, zoom});
        x += w + kGap;
        rowH = std::max(rowH, h);
    }
    const int mocksY = y + rowH + 3 * kGap + 20;
    Image sheet(kSheetW, mocksY + kScreenHeight + kMargin, kSheetBack);
    sheet.draw(label("BRIKRESOURCE.DAT - " + std::to_string(records.size()) + " RECORDS", 2, kInk),
               kMargin, kMargin);
    for (const Placed& p : placed) {
        const Image& img = records[p.index];
        sheet.draw(label(std::to_string(p.index), 1, kInk), p.x, p.y);
        checker(sheet, p.x, p.y + 12, img.width() * p.zoom + 4, img.height() * p.zoom + 4);
        sheet.draw(img, p.x + 2, p.y + 14, p.zoom);
    }
    sheet.draw(label("MOCK SCREENS: INTRO, PLAY, LOST", 2, kInk), kMargin, mocksY - 24);
    sheet.draw(introMock(records), kMargin, mocksY);
    sheet.draw(playMock(records, false), kMargin + 340, mocksY);
    sheet.draw(playMock(records, true), kMargin + 680, mocksY);
    return sheet;
}
