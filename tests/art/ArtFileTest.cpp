// The generated picture file against every place the game draws from it:
// the format, the record count, each picture's size for its screen position,
// the tile sets under every joining combination, and the piece colours.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "ArtFile.h"

namespace arttest {
namespace {

class ArtFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::vector<uint8_t> bytes = readDataFile();
        ASSERT_FALSE(bytes.empty()) << "no picture file at " << dataFilePath();
        std::string why;
        ASSERT_TRUE(parseRecords(bytes, records_, why)) << why;
    }
    static const Picture& pic(int index) { return records_.at(static_cast<size_t>(index)); }

    static std::vector<Picture> records_;
};

std::vector<Picture> ArtFileTest::records_;

TEST_F(ArtFileTest, HoldsEveryRecordTheGameAndItsScreensUse) {
    // 0..219 for the game's table, 220 level complete, 221 you win, 222 the icon.
    EXPECT_GE(records_.size(), 223u);
    EXPECT_LE(records_.size(), 300u) << "the game's texture table has 300 entries";
}

TEST_F(ArtFileTest, ParserRejectsCutFiles) {
    std::vector<uint8_t> bytes = readDataFile();
    std::vector<Picture> out;
    std::string why;
    bytes.pop_back();
    EXPECT_FALSE(parseRecords(bytes, out, why)) << "a file one byte short must not parse whole";
}

struct SizeRule {
    int first, last;    // texture indices
    int minW, maxW;     // allowed width
    int minH, maxH;     // allowed height
    const char* where;  // where it is drawn
};

// clang-format off
constexpr SizeRule kSizes[] = {
    {  1,   1, 10, 10, 10, 10, "frame corner at (50, 460)"},
    {  4,   4, 10, 10, 10, 10, "frame corner at (260, 460)"},
    {  9,   9, 10, 10, 10, 10, "frame corner at (50, 50)"},
    { 12,  12, 10, 10, 10, 10, "frame corner at (260, 50)"},
    {  3,   3,  1, 400, 10, 10, "bottom edge, stretched to 200"},
    { 11,  11,  1, 400, 10, 10, "top edge, stretched to 200"},
    {  6,   6, 10, 10,  1, 400, "left side, stretched to 400"},
    {  8,   8, 10, 10,  1, 400, "right side, stretched to 400"},
    { 21,  21,  1, 320, 32, 32, "band stretched to 320 x 32"},
    {  0,   0, 24, 48, 24, 48, "ring picture"},
    { 62,  62, 24, 48, 24, 48, "ring picture"},
    { 83,  84, 24, 48, 24, 48, "ring pictures"},
    {127, 127, 24, 48, 24, 48, "ring picture"},
    { 85,  85, 320, 320, 480, 480, "intro screen at (0, 0)"},
    {126, 126,  1, 288,  1, 40, "prompt at (16, 50), inside y 50..90"},
    {188, 197,  1, 28, 30, 36, "score digits, 28 px apart at y 7"},
    {198, 198,  1, 200, 40, 70, "game-over plate over the board"},
    {199, 205,  1, 12,  1, 17, "count labels at y 463..480"},
    {206, 212, 12, 12,  1, 64, "count bars, 12 px columns"},
    {213, 219, 12, 12,  1,  6, "count bar caps"},
    {220, 221,  1, 200, 40, 70, "level complete and win plates"},
};
// clang-format on

TEST_F(ArtFileTest, EveryPictureFitsWhereItIsDrawn) {
    for (const SizeRule& r : kSizes) {
        for (int i = r.first; i <= r.last; ++i) {
            const Picture& p = pic(i);
            EXPECT_TRUE(p.width >= r.minW && p.width <= r.maxW && p.height >= r.minH &&
                        p.height <= r.maxH)
                << "record " << i << " (" << r.where << ") is " << p.width << "x" << p.height;
        }
    }
}

TEST_F(ArtFileTest, DigitsShareOneSize) {
    for (int i = 189; i <= 197; ++i) {
        EXPECT_EQ(pic(i).width, pic(188).width) << "digit " << i - 188;
        EXPECT_EQ(pic(i).height, pic(188).height) << "digit " << i - 188;
    }
}

TEST_F(ArtFileTest, IconIsSquareAndSmall) {
    const Picture& icon = pic(222);
    EXPECT_TRUE((icon.width == 32 && icon.height == 32) || (icon.width == 64 && icon.height == 64))
        << icon.width << "x" << icon.height;
}

// Stretched pictures must look the same at any length: every row (or column)
// along the stretched axis equal to the first.
TEST_F(ArtFileTest, StretchedPicturesAreUniformAlongTheirLength) {
    const struct {
        int index;
        bool vertical;  // stretched in y
    } kStretched[] = {{6, true},   {8, true},   {3, false},  {11, false}, {21, false},
                      {206, true}, {207, true}, {208, true}, {209, true}, {210, true},
                      {211, true}, {212, true}, {28, false}, {28, true}};
    for (const auto& s : kStretched) {
        const Picture& p = pic(s.index);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const auto a = p.at(x, y);
                const auto b = s.vertical ? p.at(x, 0) : p.at(0, y);
                ASSERT_TRUE(a.b == b.b && a.g == b.g && a.r == b.r && a.a == b.a)
                    << "record " << s.index << " varies at (" << x << ", " << y << ")";
            }
        }
    }
}

// drawCell takes column widths from the bottom band and band heights from the
// left column; every tile must match both, and the sums must be 20, for every
// combination the joining rule can give.
TEST_F(ArtFileTest, EveryTileSetFillsTheSquareForEveryJoin) {
    std::vector<int> sets(kPieceSets.begin(), kPieceSets.end());
    sets.push_back(kClearingSet);
    for (int base : sets) {
        for (unsigned bits = 0; bits < 256; ++bits) {
            const std::array<int, 9> t = joinOffsets(bits);
            auto w = [&](int k) { return pic(base + t[k - 1]).width; };
            auto h = [&](int k) { return pic(base + t[k - 1]).height; };
            ASSERT_EQ(w(1) + w(2) + w(3), 20) << "set " << base << " join " << bits;
            ASSERT_EQ(h(1) + h(4) + h(7), 20) << "set " << base << " join " << bits;
            for (int band = 0; band < 3; ++band) {
                for (int col = 1; col <= 3; ++col) {
                    const int k = band * 3 + col;
                    ASSERT_EQ(w(k), w(col)) << "set " << base << " join " << bits << " tile " << k;
                    ASSERT_EQ(h(k), h(band * 3 + 1))
                        << "set " << base << " join " << bits << " tile " << k;
                }
            }
        }
    }
}

// A square put together the way drawCell does, as 20 x 20 opaque pixels.
std::vector<Picture::Pixel> compose(const std::vector<Picture>& recs, int base, unsigned bits) {
    std::vector<Picture::Pixel> out(400, Picture::Pixel{0, 0, 0, 0});
    const std::array<int, 9> t = joinOffsets(bits);
    const Picture& t1 = recs[base + t[0]];
    const int xs[3] = {0, t1.width, t1.width + recs[base + t[1]].width};
    const int bandTop[3] = {20 - t1.height, 20 - t1.height - recs[base + t[3]].height,
                            20 - t1.height - recs[base + t[3]].height - recs[base + t[6]].height};
    for (int k = 0; k < 9; ++k) {
        const Picture& p = recs[base + t[k]];
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const int sx = xs[k % 3] + x, sy = bandTop[k / 3] + y;
                if (sx >= 0 && sx < 20 && sy >= 0 && sy < 20) {
                    out[sy * 20 + sx] = p.at(x, y);
                }
            }
        }
    }
    return out;
}

bool same(Picture::Pixel a, Picture::Pixel b) {
    return a.b == b.b && a.g == b.g && a.r == b.r && a.a == b.a;
}

// Outer sides carry the outline along their whole length; sides where the
// piece continues carry none (outside the corners, which belong to the
// neighbouring sides), so the squares of a piece read as one shape.
TEST_F(ArtFileTest, OutlineFollowsOuterSidesOnlyForEveryJoin) {
    std::vector<int> sets(kPieceSets.begin(), kPieceSets.end());
    sets.push_back(kClearingSet);
    for (int base : sets) {
        const auto lone = compose(records_, base, 0);
        const Picture::Pixel outline = lone[0];
        const Picture::Pixel face = lone[10 * 20 + 10];
        ASSERT_EQ(outline.a, 255) << "squares are opaque";
        ASSERT_FALSE(same(outline, face)) << "set " << base << " has no outline";
        for (unsigned bits = 0; bits < 16; ++bits) {  // the four sides; diagonals don't touch them
            const auto sq = compose(records_, base, bits);
            struct Side {
                int bit;
                int x0, y0, dx, dy;  // the side's pixels, corners left out
            } sides[] = {{0, 0, 3, 0, 1}, {1, 19, 3, 0, 1}, {2, 3, 19, 1, 0}, {3, 3, 0, 1, 0}};
            for (const Side& s : sides) {
                const bool joined = ((bits >> s.bit) & 1u) != 0;
                for (int i = 0; i < 14; ++i) {
                    const Picture::Pixel p = sq[(s.y0 + s.dy * i) * 20 + s.x0 + s.dx * i];
                    ASSERT_EQ(same(p, outline), !joined)
                        << "set " << base << " join " << bits << " side " << s.bit << " pixel " << i
                        << (joined ? ": outline on a joined side" : ": outer side not outlined");
                }
            }
            ASSERT_TRUE(same(sq[10 * 20 + 10], face)) << "set " << base << " join " << bits;
        }
    }
}

double distance(Picture::Pixel a, Picture::Pixel b) {
    const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return std::sqrt(dr * dr + dg * dg + db * db);
}

double luma(Picture::Pixel p) {
    return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
}

TEST_F(ArtFileTest, PieceColoursAreDistinctAndEquallyBright) {
    // The face colour of each set: the middle of its centre tile (offset 6).
    auto face = [](int base) {
        const Picture& c = pic(base + 6);
        return c.at(c.width / 2, c.height / 2);
    };
    const Picture::Pixel clearing = face(kClearingSet);
    for (size_t i = 0; i < kPieceSets.size(); ++i) {
        const Picture::Pixel a = face(kPieceSets[i]);
        EXPECT_GT(distance(a, clearing), 60.0) << "set " << kPieceSets[i] << " vs clearing set";
        EXPECT_GT(luma(a), 110.0) << "set " << kPieceSets[i] << " too dark";
        EXPECT_LT(luma(a), 215.0) << "set " << kPieceSets[i] << " too bright";
        for (size_t j = i + 1; j < kPieceSets.size(); ++j) {
            EXPECT_GT(distance(a, face(kPieceSets[j])), 60.0)
                << "sets " << kPieceSets[i] << " and " << kPieceSets[j] << " look alike";
        }
    }
    EXPECT_GT(luma(clearing), 200.0) << "the clearing set flashes bright";
}

TEST_F(ArtFileTest, BackgroundPicturesStayDim) {
    // The ring and the bands lie behind the playfield: soft, low alpha, and
    // the ring's pictures fade out before their borders.
    for (int i : {0, 62, 83, 84, 127}) {
        const Picture& p = pic(i);
        int maxAlpha = 0, borderAlpha = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                maxAlpha = std::max<int>(maxAlpha, p.at(x, y).a);
                if (x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1) {
                    borderAlpha = std::max<int>(borderAlpha, p.at(x, y).a);
                }
            }
        }
        EXPECT_LE(maxAlpha, 115) << "ring picture " << i;
        EXPECT_GT(maxAlpha, 20) << "ring picture " << i << " is invisible";
        EXPECT_LE(borderAlpha, 8) << "ring picture " << i << " has a hard edge";
    }
    const Picture& band = pic(21);
    for (int y = 0; y < band.height; ++y) {
        EXPECT_LT(band.at(0, y).a, 128) << "band row " << y;
    }
}

TEST_F(ArtFileTest, OpaqueWhereTheGameNeedsSolidPictures) {
    // The intro covers the whole screen; plates, labels and the frame must
    // hide what lies under them.
    for (int i : {85, 198, 220, 221, 199, 200, 201, 202, 203, 204, 205, 1, 3, 4, 6, 8, 9, 11, 12}) {
        const Picture& p = pic(i);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                ASSERT_EQ(p.at(x, y).a, 255) << "record " << i << " at (" << x << ", " << y << ")";
            }
        }
    }
}

TEST_F(ArtFileTest, UnusedRecordsAreInvisible) {
    for (int i : {2, 5, 7, 10, 13, 14, 15, 16, 17, 18, 19, 20}) {
        const Picture& p = pic(i);
        EXPECT_LE(p.width * p.height, 16) << "record " << i;
        for (size_t k = 3; k < p.bgra.size(); k += 4) {
            EXPECT_EQ(p.bgra[k], 0) << "record " << i;
        }
    }
}

}  // namespace
}  // namespace arttest
