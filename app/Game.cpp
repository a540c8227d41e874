#include "app/Game.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "app/DuobrikApplication.h"
#include "app/Window.h"
#include "audio/MikModRenderer.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

namespace {

// The picture the desktop shows for the window.
constexpr int kIconPicture = 222;

// Where the buffer swap does not wait for the display (software GL, virtual X
// servers, vsync switched off), the loop would draw thousands of frames a
// second and burn a core. It sleeps out the rest of each display frame
// instead; with a waiting swap the deadline has passed and it never sleeps.
class FramePacer {
public:
    explicit FramePacer(int refreshHz)
        : period_(SDL_GetPerformanceFrequency() / static_cast<Uint64>(refreshHz)),
          next_(SDL_GetPerformanceCounter() + period_) {}

    void wait() {
        const Uint64 now = SDL_GetPerformanceCounter();
        if (now < next_) {
            const Uint64 ms = (next_ - now) * 1000 / SDL_GetPerformanceFrequency();
            if (ms > 0) {
                SDL_Delay(static_cast<Uint32>(ms));
            }
            next_ += period_;
        } else {
            // Late (a slow frame, or the swap waited): start counting afresh.
            next_ = now + period_;
        }
    }

private:
    Uint64 period_;
    Uint64 next_;
};

int displayRefreshRate() {
    SDL_DisplayMode mode;
    if (gWindow != nullptr && SDL_GetWindowDisplayMode(gWindow, &mode) == 0 &&
        mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    return 60;
}

void useExecutableFolder() {
    char* base = SDL_GetBasePath();
    if (base != nullptr) {
        // SDL gives UTF-8; a path built from char8_t keeps a folder name
        // outside the ANSI code page intact on Windows.
        std::error_code ignored;
        std::filesystem::current_path(std::filesystem::path(reinterpret_cast<const char8_t*>(base)),
                                      ignored);
        // On failure the data files are looked for where we are; the game runs without them.
        SDL_free(base);
    }
}

void setWindowIcon() {
    std::vector<uint8_t> bgra;
    int32_t width = 0;
    int32_t height = 0;
    if (!readPicture("./BrikResource.dat", kIconPicture, bgra, width, height) || width == 0 ||
        height == 0) {
        return;
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(bgra.data(), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_BGRA32);
    if (icon != nullptr) {
        SDL_SetWindowIcon(gWindow, icon);
        SDL_FreeSurface(icon);
    }
}

}  // namespace

int runGame() {
    useExecutableFolder();
    if (!openWindow("Duobrik", 320, 480, 32)) {
        // A start-up failure is a failure: say so in the exit code.
        SDL_Quit();
        return 1;
    }
    loadTextures();
    setWindowIcon();
    gRenderer = new OpenGLRenderer();
    gAudio = new MikModRenderer();
    gApplication = new DuobrikApplication();
    gApplication->init();

    FramePacer pacer(displayRefreshRate());
    SDL_Event event;
    for (;;) {
        if (SDL_PollEvent(&event)) {
            if (!onWindowEvent(event)) {
                break;
            }
            continue;
        }
        if (gActive) {
            renderFrame();
        }
        if (gKeys[27] || gEscapePressed) {
            break;
        }
        SDL_GL_SwapWindow(gWindow);
        pacer.wait();
    }

    // The level goes first (leaving the intro stops its music), then the
    // audio, whose music thread must be joined before the process ends.
    delete gApplication;
    gApplication = nullptr;
    delete gAudio;
    gAudio = nullptr;
    delete gRenderer;
    gRenderer = nullptr;
    closeWindow();
    SDL_Quit();
    return 0;
}
