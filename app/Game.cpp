#include "app/Game.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "app/DuobrikApplication.h"
#include "app/Platform.h"
#include "app/Window.h"
#include "audio/MikModRenderer.h"
#include "render/OpenGLRenderer.h"
#include "render/TextureTable.h"

namespace {

// The picture the desktop shows for the window.
constexpr int kIconPicture = 222;

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

// The level goes first (leaving the intro stops its music), then the audio,
// whose music thread must be joined before the process ends.
void endGame() {
    delete gApplication;
    gApplication = nullptr;
    delete gAudio;
    gAudio = nullptr;
    delete gRenderer;
    gRenderer = nullptr;
    closeWindow();
    SDL_Quit();
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
    auto* audio = new MikModRenderer(kPlatformMixing);
    gAudio = audio;
    gApplication = new DuobrikApplication();
    gApplication->init();
    return runMainLoop(*audio, endGame);
}
