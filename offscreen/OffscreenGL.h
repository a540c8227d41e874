#pragma once
// An OpenGL context without a display, for the tests that draw and read
// pixels back and for the frame benchmark: SDL's offscreen video driver on
// Mesa. The frame state (one unit per pixel, y downward, modulate, blending)
// is the one the game sets each frame.

#include <cstdint>
#include <vector>

class OffscreenGL {
public:
    // Creates a context whose surface is width x height (the picture's size
    // unless asked). ok() tells whether it worked.
    explicit OffscreenGL(int width = 320, int height = 480);
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    bool ok() const { return ok_; }
    // Clears the picture's 320x480 corner to black and sets the game's
    // per-frame drawing state, scissored to that corner.
    void beginFrame();
    // The 320x480 picture as RGBA, row 0 the top row of the screen.
    std::vector<uint8_t> readPixels() { return readSurface(320, 480); }
    // The lower-left width x height of the surface, the same way.
    std::vector<uint8_t> readSurface(int width, int height);

    struct Rgba {
        uint8_t r, g, b, a;
    };
    // One pixel of a picture from readPixels, (x, y) in screen coordinates.
    static Rgba at(const std::vector<uint8_t>& pixels, int x, int y);

private:
    void* window_ = nullptr;
    void* context_ = nullptr;
    bool ok_ = false;
};
