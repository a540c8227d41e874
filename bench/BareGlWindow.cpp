// The baseline of the whole-program measurements: an SDL window with an
// OpenGL context like the game's that clears and swaps at 60 Hz and does
// nothing else. Runs until killed, or for argv[1] seconds.

#include <GL/gl.h>
#include <SDL.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1e9;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          320, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (window == nullptr || SDL_GL_CreateContext(window) == nullptr) {
        return 1;
    }
    SDL_GL_SetSwapInterval(1);
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    const uint64_t start = SDL_GetPerformanceCounter();
    const uint64_t frameTicks = frequency / 60;
    uint64_t next = start + frameTicks;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                return 0;
            }
        }
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        const uint64_t now = SDL_GetPerformanceCounter();
        if (static_cast<double>(now - start) / static_cast<double>(frequency) > seconds) {
            return 0;
        }
        // Xvfb has no vertical blank: sleep out the rest of the frame.
        if (now < next) {
            SDL_Delay(static_cast<uint32_t>((next - now) * 1000 / frequency));
        }
        next += frameTicks;
        if (next < now) {
            next = now + frameTicks;
        }
    }
}
