#include "tools/artgen/Artwork.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <string_view>

#include "tools/artgen/Bevel.h"
#include "tools/artgen/PixelFont.h"
#include "tools/artgen/TileSet.h"

namespace art {

using namespace catalogue;

namespace {

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

// Sizes of the pictures for where the game draws them.
constexpr int kFrameSlice = 16;  // length of the stretched side/edge pictures
constexpr int kPromptW = 288;    // prompt at x 16, centred on the screen
constexpr int kPlateW = 192;     // plates over the lower board, inside its 200 px
constexpr int kDigitScale = 5;   // 25 x 35 digits for a 28 px pitch
constexpr int kCountW = 12;      // piece-count columns
constexpr int kLabelH = 17;      // labels at y 463..480
constexpr int kIconSize = 64;

// The frame is neutral metal: the same light as the blocks, no hue.
// clang-format off
const Shading kMetal = {
    {24, 26, 32, 255},
    {{206, 211, 222, 255}, {168, 173, 184, 255}},
    {{ 66,  70,  80, 255}, { 96, 100, 112, 255}},
    {{134, 139, 150, 255}, {146, 151, 162, 255}},
};
// clang-format on

// The title's letters, drawn large enough that each cell is a small block.
constexpr int kTitleRows = 5;
struct TitleLetter {
    char piece;  // whose colour the letter wears
    const char* rows[kTitleRows];
};
// clang-format off
constexpr TitleLetter kTitle[] = {
    {'Z', {"###.", "#..#", "#..#", "#..#", "###."}},  // D
    {'L', {"#..#", "#..#", "#..#", "#..#", ".##."}},  // U
    {'O', {".##.", "#..#", "#..#", "#..#", ".##."}},  // O
    {'S', {"###.", "#..#", "###.", "#..#", "###."}},  // B
    {'I', {"###.", "#..#", "###.", "#.#.", "#..#"}},  // R
    {'J', {"###",  ".#.",  ".#.",  ".#.",  "###"}},   // I
    {'T', {"#..#", "#.#.", "##..", "#.#.", "#..#"}},  // K
};
// clang-format on

// ---- helpers -------------------------------------------------------------

Image flat(const Mask& m, Rgba c) {
    Image out(m.width(), m.height());
    for (int y = 0; y < m.height(); ++y) {
        for (int x = 0; x < m.width(); ++x) {
            if (m.at(x, y)) {
                out.set(x, y, c);
            }
        }
    }
    return out;
}

// Text in one colour with a hard 1-pixel shadow below right, so it reads over
// anything; the picture is one pixel larger than the text each way.
Image shadowedText(std::string_view text, int scale, Rgba colour) {
    Mask m(font::textWidth(text, scale), font::textHeight(scale));
    font::setText(m, text, 0, 0, scale);
    Image out(m.width() + 1, m.height() + 1);
    out.draw(flat(m, withAlpha(kBlack, 0.85f)), 1, 1);
    out.draw(flat(m, colour), 0, 0);
    return out;
}

Image blank() {
    return Image(1, 1);
}

// A soft, dim glow for the turning ring: `coverage` gives 0..1 for a point
// measured from the centre in pixels; alpha peaks at `peak`.
template <typename Coverage>
Image glow(int size, Rgba colour, float peak, Coverage coverage) {
    Image out(size, size);
    const float c = (size - 1) / 2.0f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float v = std::clamp(coverage(x - c, y - c), 0.0f, 1.0f);
            out.set(x, y, withAlpha(colour, v * peak));
        }
    }
    return out;
}

float smooth(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// ---- the pictures --------------------------------------------------------

void ringPictures(std::vector<Image>& r) {
    // Cool hues, alpha at most about a third, edges that fade over several
    // pixels: the ring shows through the playfield and must stay background.
    r[kRingA] = glow(40, {120, 200, 255, 255}, 0.34f, [](float x, float y) {
        const float d = std::abs(std::hypot(x, y) - 13.0f);
        return 1.0f - smooth(1.0f, 6.5f, d);
    });
    r[kRingB] = glow(36, {150, 140, 255, 255}, 0.34f, [](float x, float y) {
        // A four-pointed star: thin where |x| and |y| are both large.
        const float d = std::sqrt(std::abs(x)) + std::sqrt(std::abs(y));
        return 1.0f - smooth(1.5f, 5.6f, d);
    });
    r[kRingC] = glow(32, {110, 230, 220, 255}, 0.32f, [](float x, float y) {
        const float d = std::hypot(x, y);
        return std::exp(-d * d / 60.0f);
    });
    r[kRingD] = glow(40, {100, 150, 255, 255}, 0.30f, [](float x, float y) {
        // A soft plus: two crossing bars that fade towards their ends.
        const float bar = std::max(1.0f - smooth(2.0f, 6.0f, std::abs(x)),
                                   1.0f - smooth(2.0f, 6.0f, std::abs(y)));
        return bar * (1.0f - smooth(10.0f, 19.0f, std::hypot(x, y)));
    });
    r[kRingE] = glow(48, {180, 150, 255, 255}, 0.30f, [](float x, float y) {
        // A hexagon outline.
        const float ax = std::abs(x), ay = std::abs(y);
        const float hex = std::max(ax * 0.866f + ay * 0.5f, ay);
        return 1.0f - smooth(1.0f, 5.5f, std::abs(hex - 14.0f));
    });
}

void frame(std::vector<Image>& r) {
    // One ring of metal around the board, cut into its eight pieces.
    const int w = kBoardWidth + 2 * kFrameThickness, h = kBoardHeight + 2 * kFrameThickness;
    Mask m(w, h);
    m.fillRect(0, 0, w, h);
    m.fillRect(kFrameThickness, kFrameThickness, kBoardWidth, kBoardHeight, false);
    const Image f = shade(m, kMetal);
    const int midX = w / 2, midY = h / 2;
    r[kFrameTopLeft] = f.crop(0, 0, kFrameThickness, kFrameThickness);
    r[kFrameTopRight] = f.crop(w - kFrameThickness, 0, kFrameThickness, kFrameThickness);
    r[kFrameBottomLeft] = f.crop(0, h - kFrameThickness, kFrameThickness, kFrameThickness);
    r[kFrameBottomRight] =
        f.crop(w - kFrameThickness, h - kFrameThickness, kFrameThickness, kFrameThickness);
    // The sides and edges are stretched, so they are cut from the middle,
    // where every row (or column) is the same.
    r[kFrameTop] = f.crop(midX, 0, kFrameSlice, kFrameThickness);
    r[kFrameBottom] = f.crop(midX, h - kFrameThickness, kFrameSlice, kFrameThickness);
    r[kFrameLeft] = f.crop(0, midY, kFrameThickness, kFrameSlice);
    r[kFrameRight] = f.crop(w - kFrameThickness, midY, kFrameThickness, kFrameSlice);
}

Image band() {
    // A horizontal glow, brightest along its middle line; the game scales its
    // colour by the music's loudness, and alpha keeps it behind everything.
    constexpr int kH = 32;
    Image out(8, kH);
    for (int y = 0; y < kH; ++y) {
        const float s = std::sin(std::numbers::pi_v<float> * (y + 0.5f) / kH);
        const Rgba c =
            withAlpha(mixed({30, 70, 150, 255}, {80, 170, 230, 255}, s * s), 0.08f + 0.24f * s * s);
        out.fillRect(0, y, 8, 1, c);
    }
    return out;
}

bool tileSets(std::vector<Image>& r, std::string& error) {
    auto place = [&](unsigned base, Rgba colour) {
        std::vector<Image> set;
        if (!tiles::buildSet(tiles::blockShading(colour), set, error)) {
            return false;
        }
        for (int i = 0; i < tiles::kSetSize; ++i) {
            r[base + i] = std::move(set[i]);
        }
        return true;
    };
    for (const PieceColour& p : kPieces) {
        if (!place(p.setBase, p.base)) {
            return false;
        }
    }
    return place(kClearingSet, kClearingBase);
}

// Draws a little stack of pieces: `rows` top first, one letter per cell
// naming the piece (lower case for a second piece of the same kind).
Image pieceStack(const std::vector<Image>& r, std::initializer_list<std::string_view> rows,
                 int cell) {
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows.begin()->size());
    auto at = [&](int x, int y) -> char {
        if (x < 0 || y < 0 || x >= w || y >= h) {
            return '.';
        }
        return (rows.begin() + y)->at(x);
    };
    Image out(w * cell, h * cell);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char id = at(x, y);
            if (id == '.') {
                continue;
            }
            auto same = [&](int dx, int dy) { return at(x + dx, y + dy) == id; };
            tiles::Neighbours n{same(-1, 0), same(1, 0), same(0, 1),   same(0, -1),
                                same(-1, 1), same(1, 1), same(-1, -1), same(1, -1)};
            const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(id)));
            unsigned base = kClearingSet;
            for (const PieceColour& p : kPieces) {
                if (p.piece == kind) {
                    base = p.setBase;
                }
            }
            const Image square = tiles::assemble(tileSet(r, base), n);
            out.draw(square, x * cell, y * cell);
        }
    }
    return out;
}

// Deep blue night fading to black, with the faint grid of an empty board.
void drawNight(Image& out) {
    for (int y = 0; y < kScreenHeight; ++y) {
        const float t = static_cast<float>(y) / (kScreenHeight - 1);
        out.fillRect(0, y, kScreenWidth, 1, mixed({16, 22, 48, 255}, {4, 5, 12, 255}, t));
    }
    for (int x = 0; x < kScreenWidth; x += tiles::kSquare) {
        out.fillRect(x, 0, 1, kScreenHeight, withAlpha(kWhite, 0.035f));
    }
    for (int y = 0; y < kScreenHeight; y += tiles::kSquare) {
        out.fillRect(0, y, kScreenWidth, 1, withAlpha(kWhite, 0.035f));
    }
}

// The title, below the prompt's strip (y 50..90): letters laid in small
// bricks shaded like the pieces, one piece colour per letter.
void drawTitle(Image& out) {
    constexpr int kTitleCell = 9, kTitleY = 102;
    int titleCols = 0;
    for (const TitleLetter& l : kTitle) {
        titleCols += static_cast<int>(std::string_view(l.rows[0]).size()) + 1;
    }
    int x = (kScreenWidth - (titleCols - 1) * kTitleCell) / 2;
    for (const TitleLetter& l : kTitle) {
        const int cols = static_cast<int>(std::string_view(l.rows[0]).size());
        Mask brick(kTitleCell, kTitleCell);
        brick.fillRect(0, 0, kTitleCell, kTitleCell);
        const Image lit = shade(brick, tiles::blockShading(pieceColour(l.piece)));
        const Image shadow = flat(brick, withAlpha(kBlack, 0.6f));
        for (int pass = 0; pass < 2; ++pass) {
            for (int row = 0; row < kTitleRows; ++row) {
                for (int col = 0; col < cols; ++col) {
                    if (l.rows[row][col] == '#') {
                        const int bx = x + col * kTitleCell, by = kTitleY + row * kTitleCell;
                        // Shadows first, so no shadow falls on a neighbouring brick.
                        if (pass == 0) {
                            out.draw(shadow, bx + 3, by + 4);
                        } else {
                            out.draw(lit, bx, by);
                        }
                    }
                }
            }
        }
        x += (cols + 1) * kTitleCell;
    }
    const Image tagline = shadowedText("A FALLING BLOCK PUZZLE", 1, {150, 160, 190, 255});
    out.draw(tagline, (kScreenWidth - tagline.width()) / 2, 162);
}

// A few pieces come to rest on a metal ledge: one of each kind.
void drawLedge(Image& out, const std::vector<Image>& r) {
    const Image stack = pieceStack(r,
                                   {
                                       "TTT....ZZ.",
                                       ".TOO..SSZZ",
                                       "..OOJSS..L",
                                       "IIIIJJJLLL",
                                   },
                                   tiles::kSquare);
    const int stackX = (kScreenWidth - stack.width()) / 2, stackY = 206;
    out.draw(stack, stackX, stackY);
    Mask ledge(stack.width() + 2 * kFrameThickness, kFrameThickness);
    ledge.fillRect(0, 0, ledge.width(), ledge.height());
    out.draw(shade(ledge, kMetal), stackX - kFrameThickness, stackY + stack.height());
}

// The controls: what each does, on the keyboard and on a game pad.
void drawControls(Image& out) {
    struct Control {
        std::string_view action, keys, pad;
    };
    const std::string leftRight = std::string{font::kArrowLeft} + " " + font::kArrowRight;
    const std::string upOrSpace = std::string{font::kArrowUp} + " SPACE";
    const std::string down{font::kArrowDown};
    const Control kControls[] = {
        {"MOVE", leftRight, leftRight},
        {"ROTATE", upOrSpace, "A B X Y"},
        {"DROP", down, down},
        {"QUIT", "ESC", "BACK"},
    };
    constexpr int kActionX = 16, kKeysX = 106, kPadX = 220;
    const Rgba kHeading{150, 160, 190, 255};
    const Image heading = shadowedText("CONTROLS", 2, kHeading);
    out.draw(heading, (kScreenWidth - heading.width()) / 2, 326);
    out.draw(shadowedText("KEYS", 1, kHeading), kKeysX, 350);
    out.draw(shadowedText("PAD", 1, kHeading), kPadX, 350);
    int y = 362;
    for (const Control& c : kControls) {
        out.draw(shadowedText(c.action, 2, {235, 238, 245, 255}), kActionX, y);
        out.draw(shadowedText(c.keys, 2, {120, 220, 240, 255}), kKeysX, y);
        out.draw(shadowedText(c.pad, 2, {120, 220, 240, 255}), kPadX, y);
        y += 22;
    }
    const Image fullScreen = shadowedText("F11 OR ALT+ENTER: FULL SCREEN", 1, kHeading);
    out.draw(fullScreen, (kScreenWidth - fullScreen.width()) / 2, 458);
}

Image intro(const std::vector<Image>& r) {
    Image out(kScreenWidth, kScreenHeight);
    drawNight(out);
    drawTitle(out);
    drawLedge(out, r);
    drawControls(out);
    return out;
}

Image prompt() {
    const Image text = shadowedText("PRESS ANY KEY TO PLAY", 2, {255, 232, 140, 255});
    Image out(kPromptW, text.height());
    out.draw(text, (kPromptW - text.width()) / 2, 0);
    return out;
}

Image digit(int d) {
    // Solid bright strokes with only a hint of bevel and a black shadow:
    // the score must read at a glance over the turning ring.
    const std::string s(1, static_cast<char>('0' + d));
    Mask m(font::textWidth(s, kDigitScale), font::textHeight(kDigitScale));
    font::setText(m, s, 0, 0, kDigitScale);
    const Shading silver{{196, 202, 216, 255},
                         {{255, 255, 255, 255}},
                         {{200, 206, 220, 255}},
                         {{238, 241, 248, 255}}};
    Image out(m.width() + 1, m.height() + 1);
    out.draw(flat(m, withAlpha(kBlack, 0.85f)), 1, 1);
    out.draw(shade(m, silver), 0, 0);
    return out;
}

// A metal plate with one or two lines of text, centred: it has to read over
// any board, so the face is dark and opaque.
Image plate(std::initializer_list<std::string_view> lines, Rgba ink) {
    constexpr int kScale = 3, kLineGap = 4, kPad = 11;
    const int textH =
        static_cast<int>(lines.size()) * (font::textHeight(kScale) + kLineGap) - kLineGap;
    const int h = textH + 2 * kPad;
    Mask m(kPlateW, h);
    m.fillRect(0, 0, kPlateW, h);
    Shading s = kMetal;
    s.face = {{38, 42, 54, 255}};
    s.light = {{206, 211, 222, 255}, {92, 98, 112, 255}};
    s.dark = {{66, 70, 80, 255}, {30, 33, 42, 255}};
    Image out = shade(m, s);
    int y = kPad;
    for (std::string_view line : lines) {
        const Image t = shadowedText(line, kScale, ink);
        out.draw(t, (kPlateW - t.width()) / 2, y);
        y += font::textHeight(kScale) + kLineGap;
    }
    return out;
}

// Piece-count pictures: a dark pedestal with the piece's shape, the bar that
// grows out of it and the bright cap riding on the bar.
Image countLabel(char piece, Rgba colour) {
    struct Shape {
        char piece;
        std::string_view top, bottom;  // 3-pixel blocks
    };
    constexpr Shape kShapes[] = {
        {'O', "##", "##"},   {'T', "###", ".#."}, {'S', ".##", "##."}, {'Z', "##.", ".##"},
        {'J', "#..", "###"}, {'I', "####", ""},   {'L', "..#", "###"},
    };
    constexpr int kBlock = 3;
    Image out(kCountW, kLabelH, {22, 24, 32, 255});
    out.fillRect(0, 0, kCountW, 1, {70, 74, 86, 255});
    for (const Shape& s : kShapes) {
        if (s.piece != piece) {
            continue;
        }
        const int w = static_cast<int>(s.top.size()) * kBlock;
        const int h = (s.bottom.empty() ? 1 : 2) * kBlock;
        const int x0 = (kCountW - w) / 2, y0 = 4 + (2 * kBlock - h) / 2 + 3;
        for (int row = 0; row < 2; ++row) {
            const std::string_view bits = row == 0 ? s.top : s.bottom;
            for (size_t i = 0; i < bits.size(); ++i) {
                if (bits[i] == '#') {
                    const int bx = x0 + static_cast<int>(i) * kBlock, by = y0 + row * kBlock;
                    out.fillRect(bx, by, kBlock, kBlock, scaled(colour, 0.8f));
                    out.fillRect(bx, by, kBlock - 1, kBlock - 1, colour);
                }
            }
        }
    }
    return out;
}

Image countBar(Rgba colour) {
    // Stretched vertically, so every row is the same.
    Image out(kCountW, 4);
    const Rgba row[kCountW] = {kClear,
                               scaled(colour, 0.35f),
                               mixed(colour, kWhite, 0.4f),
                               colour,
                               colour,
                               colour,
                               colour,
                               colour,
                               colour,
                               scaled(colour, 0.72f),
                               scaled(colour, 0.35f),
                               kClear};
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < kCountW; ++x) {
            out.set(x, y, row[x]);
        }
    }
    return out;
}

Image countCap(Rgba colour) {
    Image out(kCountW, 3);
    out.fillRect(2, 0, kCountW - 4, 1, mixed(colour, kWhite, 0.7f));
    out.fillRect(1, 1, kCountW - 2, 1, mixed(colour, kWhite, 0.45f));
    out.fillRect(1, 2, kCountW - 2, 1, mixed(colour, kWhite, 0.2f));
    return out;
}

Image icon() {
    // Four pieces locked into a square, shaded like the board's blocks.
    constexpr int kCell = kIconSize / 4;
    constexpr std::string_view kRows[] = {"IIII", "LOOJ", "LOOJ", "LLJJ"};
    Image out(kIconSize, kIconSize);
    for (char piece : std::string_view("IOLJ")) {
        Mask m(kIconSize, kIconSize);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                if (kRows[y][x] == piece) {
                    m.fillRect(x * kCell, y * kCell, kCell, kCell);
                }
            }
        }
        out.draw(shade(m, tiles::blockShading(pieceColour(piece))), 0, 0);
    }
    return out;
}

}  // namespace

Rgba pieceColour(char piece) {
    for (const PieceColour& p : kPieces) {
        if (p.piece == piece) {
            return p.base;
        }
    }
    return kClearingBase;
}

std::vector<Image> tileSet(const std::vector<Image>& records, unsigned base) {
    return {records.begin() + base, records.begin() + base + tiles::kSetSize};
}

bool buildRecords(std::vector<Image>& r, std::string& error) {
    r.assign(kRecordCount, blank());
    ringPictures(r);
    frame(r);
    r[kBand] = band();
    if (!tileSets(r, error)) {
        return false;
    }
    r[kIntro] = intro(r);
    r[kPrompt] = prompt();
    for (int d = 0; d < 10; ++d) {
        r[kDigits + d] = digit(d);
    }
    r[kGameOver] = plate({"GAME OVER"}, {255, 110, 90, 255});
    for (size_t i = 0; i < std::size(kPieces); ++i) {
        const PieceColour& p = kPieces[i];
        r[kCountLabels + i] = countLabel(p.piece, p.base);
        r[kCountBars + i] = countBar(p.base);
        r[kCountCaps + i] = countCap(p.base);
    }
    r[kLevelComplete] = plate({"LEVEL", "COMPLETE"}, {120, 230, 140, 255});
    r[kYouWin] = plate({"YOU WIN!"}, {255, 214, 90, 255});
    r[kIcon] = icon();
    return true;
}

}  // namespace art
