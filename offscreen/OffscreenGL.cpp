#include "offscreen/OffscreenGL.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdlib>

OffscreenGL::OffscreenGL(int width, int height) {
    // Tests and benchmarks never need a display; the offscreen driver gives
    // Mesa's software GL.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_Window* window = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (window == nullptr) {
        return;
    }
    window_ = window;
    context_ = SDL_GL_CreateContext(window);
    ok_ = context_ != nullptr && SDL_GL_MakeCurrent(window, context_) == 0;
}

OffscreenGL::~OffscreenGL() {
    if (context_ != nullptr) {
        SDL_GL_DeleteContext(context_);
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void OffscreenGL::beginFrame() {
    glViewport(0, 0, 320, 480);
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The picture's corner only, as the game clears an enlarged frame.
    glScissor(0, 0, 320, 480);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<uint8_t> OffscreenGL::readSurface(int width, int height) {
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> bottomUp(row * height);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y) {
        std::copy_n(&bottomUp[(height - 1 - y) * row], row, &topDown[y * row]);
    }
    return topDown;
}

OffscreenGL::Rgba OffscreenGL::at(const std::vector<uint8_t>& pixels, int x, int y) {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * 320 + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}
