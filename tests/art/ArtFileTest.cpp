// The generated picture file against every place the game draws from it:
// the format, the record count, each picture's size for its screen position,
// the tile sets under every joining combination, and the piece colours.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/PictureFile.h"

namespace {

using namespace catalogue;

struct Pixel {
    uint8_t b, g, r, a;
    bool operator==(const Pixel&) const = default;
};

struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bgra;  // rows top first

    Pixel at(int x, int y) const {
        const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

// Every record of the generated file, read through the game's own reader, so
// that the tests check what the game will draw.
class ArtFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::FILE* file = openDataFile(DUOBRIK_DATA_DIR "/BrikResource.dat");
        ASSERT_NE(file, nullptr) << "no picture file in " << DUOBRIK_DATA_DIR;
        picturefile::Reader reader(file);
        Picture p;
        bool whole = true;
        while (whole && reader.next(p.width, p.height)) {
            p.bgra.assign(static_cast<size_t>(p.width) * p.height * 4, 0);
            whole = reader.readRows(p.bgra.data(), static_cast<size_t>(p.width) * 4);
            if (whole) {
                records_.push_back(p);
            }
        }
        whole = whole && std::fgetc(file) == EOF;  // the reader stops at the end, or at damage
        std::fclose(file);
        ASSERT_TRUE(whole) << "record " << records_.size() << " is damaged or cut short";
    }
    static const Picture& pic(unsigned index) { return records_.at(index); }

    static std::vector<Picture> records_;
};

std::vector<Picture> ArtFileTest::records_;

struct SizeRule {
    unsigned first, last;  // texture indices
    int minW, maxW;        // allowed width
    int minH, maxH;        // allowed height
    const char* where;     // where it is drawn
};

// clang-format off
constexpr SizeRule kSizes[] = {
    {kFrameBottomLeft,  kFrameBottomLeft,  10, 10, 10, 10, "frame corner at (50, 460)"},
    {kFrameBottomRight, kFrameBottomRight, 10, 10, 10, 10, "frame corner at (260, 460)"},
    {kFrameTopLeft,     kFrameTopLeft,     10, 10, 10, 10, "frame corner at (50, 50)"},
    {kFrameTopRight,    kFrameTopRight,    10, 10, 10, 10, "frame corner at (260, 50)"},
    {kFrameBottom,      kFrameBottom,       1, 400, 10, 10, "bottom edge, stretched to 200"},
    {kFrameTop,         kFrameTop,          1, 400, 10, 10, "top edge, stretched to 200"},
    {kFrameLeft,        kFrameLeft,        10, 10,  1, 400, "left side, stretched to 400"},
    {kFrameRight,       kFrameRight,       10, 10,  1, 400, "right side, stretched to 400"},
    {kBand,             kBand,              1, 320, 32, 32, "band stretched to 320 x 32"},
    {kRingA,            kRingA,            24, 48, 24, 48, "ring picture"},
    {kRingB,            kRingB,            24, 48, 24, 48, "ring picture"},
    {kRingC,            kRingD,            24, 48, 24, 48, "ring pictures"},
    {kRingE,            kRingE,            24, 48, 24, 48, "ring picture"},
    {kIntro,            kIntro,           320, 320, 480, 480, "intro screen at (0, 0)"},
    {kPrompt,           kPrompt,            1, 288,  1, 40, "prompt at (16, 50), inside y 50..90"},
    {kDigits,           kDigits + 9,        1, 28, 30, 36, "score digits, 28 px apart at y 7"},
    {kGameOver,         kGameOver,          1, 200, 40, 70, "game-over plate over the board"},
    {kCountLabels,      kCountLabels + 6,   1, 12,  1, 17, "count labels at y 463..480"},
    {kCountBars,        kCountBars + 6,    12, 12,  1, 64, "count bars, 12 px columns"},
    {kCountCaps,        kCountCaps + 6,    12, 12,  1,  6, "count bar caps"},
    {kLevelComplete,    kYouWin,            1, 200, 40, 70, "level complete and win plates"},
    {kIcon,             kIcon,             32, 64, 32, 64, "window icon"},
};
// clang-format on

TEST_F(ArtFileTest, EveryRecordIsThereAndFitsWhereItIsDrawn) {
    EXPECT_GE(records_.size(), kRecordCount);
    EXPECT_LE(records_.size(), 300u) << "the game's texture table has 300 entries";
    for (const SizeRule& r : kSizes) {
        for (unsigned i = r.first; i <= r.last; ++i) {
            const Picture& p = pic(i);
            EXPECT_TRUE(p.width >= r.minW && p.width <= r.maxW && p.height >= r.minH &&
                        p.height <= r.maxH)
                << "record " << i << " (" << r.where << ") is " << p.width << "x" << p.height;
        }
    }
}

// drawCell takes column widths from the bottom band and band heights from the
// left column; every tile must match both, and the sums must be 20, for every
// combination the joining rule can give.
TEST_F(ArtFileTest, EveryTileSetFillsTheSquareForEveryJoin) {
    for (unsigned base : {kTileSetO, kTileSetT, kTileSetS, kTileSetZ, kTileSetJ, kTileSetI,
                          kTileSetL, kClearingSet}) {
        for (unsigned bits = 0; bits < 256; ++bits) {
            const std::array<int, 9> t = joinOffsets(Neighbours::fromBits(bits));
            auto w = [&](int k) { return pic(base + t[k]).width; };
            auto h = [&](int k) { return pic(base + t[k]).height; };
            ASSERT_TRUE(w(0) + w(1) + w(2) == 20 && h(0) + h(3) + h(6) == 20)
                << "set " << base << " join " << bits;
            for (int k = 0; k < 9; ++k) {
                ASSERT_TRUE(w(k) == w(k % 3) && h(k) == h(k / 3 * 3))
                    << "set " << base << " join " << bits << " tile " << k + 1;
            }
        }
    }
}

TEST_F(ArtFileTest, PieceColoursAreDistinctFromEachOtherAndTheClearingSet) {
    // The face colour of each set: the middle of its centre tile (offset 6).
    auto face = [](unsigned base) {
        const Picture& c = pic(base + 6);
        return c.at(c.width / 2, c.height / 2);
    };
    auto distance = [](Pixel a, Pixel b) { return std::hypot(a.r - b.r, a.g - b.g, a.b - b.b); };
    const Pixel clearing = face(kClearingSet);
    for (size_t i = 0; i < std::size(kPieceTileSets); ++i) {
        const Pixel a = face(kPieceTileSets[i]);
        EXPECT_GT(distance(a, clearing), 60.0) << "set " << kPieceTileSets[i] << " vs clearing set";
        for (size_t j = i + 1; j < std::size(kPieceTileSets); ++j) {
            EXPECT_GT(distance(a, face(kPieceTileSets[j])), 60.0)
                << "sets " << kPieceTileSets[i] << " and " << kPieceTileSets[j] << " look alike";
        }
    }
}

// Stretched pictures look the same at any length (every row or column along
// the stretched axis equals the first); the frame, plates, labels and intro
// hide what lies under them.
TEST_F(ArtFileTest, StretchedPicturesAreUniformAndSolidOnesOpaque) {
    const struct {
        unsigned index;
        bool vertical;  // stretched in y
    } kStretched[] = {{kFrameLeft, true},     {kFrameRight, true},    {kFrameBottom, false},
                      {kFrameTop, false},     {kBand, false},         {kCountBars, true},
                      {kCountBars + 1, true}, {kCountBars + 2, true}, {kCountBars + 3, true},
                      {kCountBars + 4, true}, {kCountBars + 5, true}, {kCountBars + 6, true},
                      {kRowsBar, false},      {kRowsBar, true}};
    for (const auto& s : kStretched) {
        const Picture& p = pic(s.index);
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                ASSERT_EQ(p.at(x, y), s.vertical ? p.at(x, 0) : p.at(0, y))
                    << "record " << s.index << " varies at (" << x << ", " << y << ")";
            }
        }
    }
    for (unsigned i : {kIntro, kGameOver, kLevelComplete, kYouWin, kCountLabels, kCountLabels + 1,
                       kCountLabels + 2, kCountLabels + 3, kCountLabels + 4, kCountLabels + 5,
                       kCountLabels + 6, kFrameBottomLeft, kFrameBottom, kFrameBottomRight,
                       kFrameLeft, kFrameRight, kFrameTopLeft, kFrameTop, kFrameTopRight}) {
        for (size_t k = 3; k < pic(i).bgra.size(); k += 4) {
            ASSERT_EQ(pic(i).bgra[k], 255) << "record " << i << " byte " << k;
        }
    }
}

// The Windows icon file: a directory whose entries lie inside the file, the
// sizes Windows asks for, and bitmaps that show the window icon (record 222)
// itself at its own size, bottom row first and with an empty mask where it
// is opaque. Windows shows no icon at all for a file it cannot read.
TEST_F(ArtFileTest, WindowsIconFileHoldsTheWindowIconAtEverySize) {
    std::ifstream in(std::string(DUOBRIK_ART_DIR) + "/duobrik.ico", std::ios::binary);
    const std::vector<uint8_t> ico{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    ASSERT_GE(ico.size(), 6u) << "no icon file in " << DUOBRIK_ART_DIR;
    auto u16 = [&ico](size_t p) { return static_cast<uint32_t>(ico[p] | ico[p + 1] << 8); };
    auto u32 = [&](size_t p) { return u16(p) | u16(p + 2) << 16; };
    ASSERT_EQ(u16(2), 1u) << "type";
    const uint32_t count = u16(4);
    const int kIconSizes[] = {16, 24, 32, 48, 64, 256};
    ASSERT_EQ(count, std::size(kIconSizes));
    ASSERT_GE(ico.size(), 6 + 16 * count);

    const Picture& icon = pic(kIcon);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t dir = 6 + 16 * i;
        const int size = kIconSizes[i];
        const uint32_t bytes = u32(dir + 8), offset = u32(dir + 12);
        EXPECT_EQ(ico[dir], size & 0xFF) << "width of entry " << i;
        EXPECT_EQ(ico[dir + 1], size & 0xFF) << "height of entry " << i;
        ASSERT_TRUE(offset >= 6 + 16 * count && bytes > 40 && offset + bytes <= ico.size())
            << "entry " << i << " at " << offset << " (" << bytes << " bytes) is outside the file";
        if (size == 256) {
            EXPECT_EQ(std::string(ico.begin() + offset + 1, ico.begin() + offset + 4), "PNG");
            continue;
        }
        EXPECT_EQ(u32(offset + 4), static_cast<uint32_t>(size)) << "bitmap width, entry " << i;
        EXPECT_EQ(u32(offset + 8), static_cast<uint32_t>(2 * size)) << "bitmap height, entry " << i;
        EXPECT_EQ(u16(offset + 14), 32u) << "bits per pixel, entry " << i;
        const size_t maskRow = (size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + size * size * 4 + maskRow * size) << "entry " << i;
        if (size != icon.width) {
            continue;
        }
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const uint8_t* p = &ico[offset + 40 + ((size - 1 - y) * size + x) * 4];
                ASSERT_EQ((Pixel{p[0], p[1], p[2], p[3]}), icon.at(x, y))
                    << "pixel (" << x << ", " << y << ") of the " << size << " px bitmap";
                const uint8_t mask =
                    ico[offset + 40 + size * size * 4 + (size - 1 - y) * maskRow + x / 8];
                ASSERT_EQ((mask >> (7 - x % 8)) & 1, icon.at(x, y).a == 0 ? 1 : 0)
                    << "mask bit (" << x << ", " << y << ")";
            }
        }
    }
}

}  // namespace
