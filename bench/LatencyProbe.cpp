// Key-to-screen latency of the game in play, measured from outside as a
// player sees it: XTest presses Left and Right in turn, and XGetImage polls
// the upper half of the board until the falling piece shows the move.
//
// The board's upper half is summed per pixel column, counting saturated
// (strongly coloured) pixels: the pieces are, the background, the frame and
// the ring behind the board are not. A piece falling inside that band keeps
// its counts; a sideways move changes them. So the probe waits until the
// piece is well inside the band and its counts hold still, presses, and
// times the first poll whose counts differ. A piece too low to measure is
// sent to one side and dropped with Down, so that the board fills evenly and
// the game goes on.
//
// The picture may be enlarged in its window (catalogue/ScreenFit.h): the
// probe fits it as the game does and reads the middle of each enlarged
// pixel, so the figures stay comparable at any size.
//
// Usage: latency_probe WINDOW-ID [presses, default 60] [ms between presses, default 350]
// Prints one line per press and a summary line:
//   key-to-screen: N presses, median M ms, p90 P ms, L lost
// Exits 1 when the window or XTest is missing, or no press could be measured.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "catalogue/ScreenFit.h"

namespace {

using Clock = std::chrono::steady_clock;

// The board's inside spans x 60..260 and y 60..460 of the 320x480 picture;
// its upper half is watched. The preview piece (above y 50) and the score
// stay outside.
constexpr int kLeft = 60;
constexpr int kTop = 52;
constexpr int kWidth = 200;
constexpr int kHeight = 208;
// A piece is measured only while it is this far inside the band, so that a
// fall during one measurement cannot carry it over the band's edges.
constexpr int kMargin = 24;
// Saturated: the strongest channel bright and far above the weakest.
constexpr int kMinBrightest = 140;
constexpr int kMinSpread = 100;
// The strip read while waiting for a move: rows 10 to 13 of the piece's top
// row of squares (20 pixels high). At level 1 a piece falls 25 pixels a
// second, so it takes 400 ms for its top edge to reach the strip.
constexpr int kStripOffset = 10;
constexpr int kStripRows = 4;
// A measurement gives up after this long without a change (a blocked move).
constexpr auto kGiveUp = std::chrono::milliseconds(300);
// Polls this far apart: finer than the figures measured, light on the
// X server the game draws through.
constexpr auto kPollStep = std::chrono::microseconds(250);

struct Band {
    std::array<int, kWidth> counts{};
    int top = kHeight;  // first and last row holding saturated pixels
    int bottom = -1;
    bool operator==(const Band& o) const { return counts == o.counts; }
    bool pieceInside() const { return bottom >= 0 && top >= kMargin && bottom < kHeight - kMargin; }
};

// Where the picture lies in the window: its top-left corner and factor.
struct Placement {
    int x = 0, y = 0, factor = 1;
};
Placement gPlacement;

Placement placementIn(Display* display, Window window) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, window, &a) == 0) {
        return {};
    }
    const catalogue::ScreenFit fit = catalogue::fitScreen(a.width, a.height);
    return {fit.x, a.height - fit.y - fit.height, fit.factor};
}

// Reads rows `from`..`from + rows` of the band (all of it by default).
bool readBand(Display* display, Window window, Band& band, int from = 0, int rows = kHeight) {
    const int k = gPlacement.factor;
    XImage* image = XGetImage(display, window, gPlacement.x + kLeft * k,
                              gPlacement.y + (kTop + from) * k, static_cast<unsigned>(kWidth * k),
                              static_cast<unsigned>(rows * k), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    band = Band{};
    const bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xff0000 &&
                        image->green_mask == 0xff00 && image->blue_mask == 0xff;
    for (int y = 0; y < rows; ++y) {
        const int iy = y * k + k / 2;
        const auto* row =
            reinterpret_cast<const uint32_t*>(image->data + iy * image->bytes_per_line);
        for (int x = 0; x < kWidth; ++x) {
            const int ix = x * k + k / 2;
            const unsigned long p = direct ? row[ix] : XGetPixel(image, ix, iy);
            const int r = static_cast<int>((p >> 16) & 0xff);
            const int g = static_cast<int>((p >> 8) & 0xff);
            const int b = static_cast<int>(p & 0xff);
            const int hi = std::max({r, g, b});
            const int lo = std::min({r, g, b});
            if (hi >= kMinBrightest && hi - lo >= kMinSpread) {
                ++band.counts[x];
                band.top = std::min(band.top, from + y);
                band.bottom = std::max(band.bottom, from + y);
            }
        }
    }
    XDestroyImage(image);
    return true;
}

void sendKey(Display* display, KeySym sym, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), down ? True : False, CurrentTime);
    XFlush(display);
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
    return v[i];
}

// Sends a piece too low to measure to one side, then down, until a new
// piece is up.
void clearTheWay(Display* display, Window window, Band& band, int& side) {
    const KeySym way = side++ % 2 == 0 ? XK_Left : XK_Right;
    for (int i = 0; i < 4; ++i) {
        sendKey(display, way, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        sendKey(display, way, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    sendKey(display, XK_Down, true);
    const Clock::time_point until = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < until && readBand(display, window, band) &&
           !(band.bottom >= 0 && band.bottom < kHeight / 2)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    sendKey(display, XK_Down, false);
}

// Presses `way` and waits for the strip through the piece's top row to
// change: the milliseconds it took, or a negative number when it did not
// within kGiveUp. While waiting, only that strip is read: a fall moves it
// less than half a square before the probe gives up, and reading the whole
// band thousands of times a second would keep the X server from the game's
// frames.
double timePress(Display* display, Window window, const Band& band, KeySym way) {
    const int stripFrom = band.top + kStripOffset;
    Band before;
    Band strip;
    readBand(display, window, before, stripFrom, kStripRows);
    const Clock::time_point pressed = Clock::now();
    sendKey(display, way, true);
    bool seen = false;
    while (Clock::now() - pressed < kGiveUp) {
        readBand(display, window, strip, stripFrom, kStripRows);
        if (!(strip == before)) {
            seen = true;
            break;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
    sendKey(display, way, false);
    return seen ? ms : -1.0;
}

int report(const std::vector<double>& latencies, int lost) {
    if (latencies.empty()) {
        std::printf("key-to-screen: no press measured, %d lost\n", lost);
        return 1;
    }
    std::printf("key-to-screen: %zu presses, median %.1f ms, p90 %.1f ms, %d lost\n",
                latencies.size(), percentile(latencies, 0.5), percentile(latencies, 0.9), lost);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: latency_probe WINDOW-ID [presses] [ms between presses]\n");
        return 1;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const int presses = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    const auto spacing =
        std::chrono::milliseconds(argc > 3 ? std::max(1, std::atoi(argv[3])) : 350);

    Display* display = XOpenDisplay(nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (display == nullptr || !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "latency_probe: no X display with XTest\n");
        return 1;
    }
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    gPlacement = placementIn(display, window);

    std::vector<double> latencies;
    int lost = 0;
    int side = 0;  // which way the next low piece is sent
    const Clock::time_point deadline = Clock::now() + (spacing + std::chrono::seconds(1)) * presses;
    Band band;
    Band before;
    while (static_cast<int>(latencies.size()) + lost < presses && Clock::now() < deadline) {
        if (!readBand(display, window, band)) {
            std::fprintf(stderr, "latency_probe: the window is gone\n");
            return 1;
        }
        if (band.bottom >= kHeight - kMargin) {
            clearTheWay(display, window, band, side);
            continue;
        }
        // Still counts twice over a few milliseconds: the piece is only falling.
        before = band;
        std::this_thread::sleep_for(std::chrono::milliseconds(8));
        readBand(display, window, band);
        if (!band.pieceInside() || !(band == before)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        const KeySym way = (latencies.size() + lost) % 2 == 0 ? XK_Left : XK_Right;
        const Clock::time_point pressed = Clock::now();
        const double ms = timePress(display, window, band, way);
        const bool seen = ms >= 0.0;
        if (seen) {
            latencies.push_back(ms);
            std::printf("press %zu: %.2f ms\n", latencies.size() + lost, ms);
        } else {
            ++lost;
            std::printf("press %zu: no change within %lld ms\n", latencies.size() + lost,
                        static_cast<long long>(kGiveUp.count()));
        }
        std::this_thread::sleep_until(pressed + spacing);
    }
    XCloseDisplay(display);
    return report(latencies, lost);
}
