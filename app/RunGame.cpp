#include "app/RunGame.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/DrawList.h"
#include "app/LoopDriver.h"
#include "app/MainLoop.h"
#include "app/PlatformFacts.h"
#include "app/Window.h"
#include "audio/MikModRenderer.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ScreenFit.h"
#include "game/BrikApplication.h"
#include "game/Clock.h"
#include "game/DuobrikApplication.h"
#include "render/FrameScaler.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

namespace {

// The picture the desktop shows for the window.
constexpr int kIconPicture = catalogue::kIcon;

// The one application, and the enlargement of its frames; both go before
// the window's context does.
BrikApplication* gGame = nullptr;
FrameScaler gScaler;

// The main loop's window system: SDL's event queue, the OpenGL renderer that
// draws a shown frame, and the desktop's refresh rate (which the browser,
// pacing the loop itself, never asks for).
class SdlHost : public MainLoop::Host {
public:
    bool waitEvent(SDL_Event& event, int timeoutMs) override {
        return SDL_WaitEventTimeout(&event, timeoutMs) != 0;
    }

    // The picture fills as much of the drawing surface as a whole factor
    // allows. An enlarged frame is drawn at its own size in the corner first.
    // Where the buffer swap waits for the display, it paces the loop as well:
    // the pacer's next frame is then already due when the swap returns.
    void show(const DrawList& frame) override {
        const SDL_Point size = drawableSize();
        const int width = size.x, height = size.y;
        const catalogue::ScreenFit fit = catalogue::fitScreen(width, height);
        setFrameState(fit);
        frame.replayShown(renderer_);
        restoreFrameState();
        if (fit.factor > 1) {
            gScaler.enlarge(fit, width, height);
        }
        SDL_GL_SwapWindow(gWindow);
    }

    void resized(int width, int height) override { resizeViewport(width, height); }
    SDL_Point drawableSize() override { return platformDrawableSize(); }
    void toggleFullscreen() override { ::toggleFullscreen(); }

    // The desktop's own mode: the mode SDL_GetWindowDisplayMode reports is
    // the closest fullscreen one, which on some displays runs slower than
    // the desktop (a 144 Hz desktop whose 640x480 mode runs at 60 Hz).
    int refreshRate() override {
        SDL_DisplayMode mode;
        const int display = gWindow != nullptr ? SDL_GetWindowDisplayIndex(gWindow) : -1;
        if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) {
            return mode.refresh_rate;
        }
        return 0;
    }

private:
    OpenGLRenderer renderer_;
};

void useExecutableFolder() {
    char* base = SDL_GetBasePath();
    if (base != nullptr) {
        // SDL gives UTF-8; a path built from char8_t keeps a folder name
        // outside the ANSI code page intact on Windows. Without it the data
        // files are looked for where we are, and the game runs without them
        // if they are not there either.
        std::error_code failed;
        std::filesystem::current_path(std::filesystem::path(reinterpret_cast<const char8_t*>(base)),
                                      failed);
        if (failed) {
            std::fprintf(stderr, "Duobrik: cannot enter %s (%s); looking for the data files here\n",
                         base, failed.message().c_str());
        }
        SDL_free(base);
    }
}

// Desktops show icons at 256x256 at the most, and X refuses a window
// property as large as a 2048x2048 picture, which ends the program: a
// larger picture is shrunk by a whole step, taking every step-th pixel.
constexpr int32_t kLargestIcon = 256;

void setWindowIcon(const Picture& picture) {
    if (picture.width == 0 || picture.height == 0) {
        return;
    }
    const int32_t largest = std::max(picture.width, picture.height);
    const int32_t step = (largest + kLargestIcon - 1) / kLargestIcon;
    const int32_t width = (picture.width + step - 1) / step;
    const int32_t height = (picture.height + step - 1) / step;
    std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const size_t from = (static_cast<size_t>(y) * step * picture.width + x * step) * 4;
            std::copy_n(&picture.bgra[from], 4, &bgra[(static_cast<size_t>(y) * width + x) * 4]);
        }
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(bgra.data(), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_BGRA32);
    if (icon != nullptr) {
        SDL_SetWindowIcon(gWindow, icon);
        SDL_FreeSurface(icon);
    }
}

// The level goes first (leaving the intro stops its music), then the audio,
// whose device must be closed and libmikmod shut down before the process ends.
void endGame() {
    delete gGame;
    gGame = nullptr;
    delete gAudio;
    gAudio = nullptr;
    gRenderer = nullptr;  // the frame's list, which runGame owns
    // While the window's context is still current.
    gScaler.release();
    gTextures.release();
    closeWindow();
    SDL_Quit();
}

}  // namespace

int runGame() {
    useExecutableFolder();
    // The game's clock is SDL's performance counter.
    gCounter = {[] { return static_cast<int64_t>(SDL_GetPerformanceCounter()); },
                [] { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }};
    // Mesa's software renderer splits each frame among threads of its own.
    // For a 320x480 picture, handing the work over and waiting for it costs
    // more than it saves: drawn on the main thread, a frame in play takes
    // about a fifth less processor time. A setting of the player's own wins;
    // other drivers ignore the variable. (SDL's setenv: Windows has none.)
    SDL_setenv("LP_NUM_THREADS", "0", 0);
    if (!openWindow("Duobrik", 320, 480, 32)) {
        // A start-up failure is a failure: say so in the exit code.
        SDL_Quit();
        return 1;
    }
    // The icon comes from the same reading of the picture file.
    loadTextures(kIconPicture);
    setWindowIcon(gTextures.kept());
    gTextures.dropKept();
    // The levels draw into the frame's list; the host draws what is shown.
    DrawList frame;
    gRenderer = &frame;
    gAudio = new MikModRenderer();
    // Game controllers are welcome, not needed: without them the keyboard plays.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    gGame = new DuobrikApplication();
    gGame->init();

    SdlHost host;
    MainLoop loop(host, frame, *gGame, MainLoop::Options{.padRepeat = platformKeyRepeat()});
    return runMainLoop(loop, endGame);
}
