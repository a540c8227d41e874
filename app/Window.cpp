#include "app/Window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/PlatformFacts.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ScreenFit.h"

SDL_Window* gWindow = nullptr;
SDL_GLContext gRenderContext = nullptr;

namespace {

bool gVideoStarted = false;

// SDL falls back to drivers that draw nowhere when there is no display. The
// game would then run invisibly; only take them when asked for by name.
bool headlessDriverNotAsked() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) {
        return true;
    }
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) {
        return false;
    }
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked == nullptr || std::strstr(asked, driver) == nullptr;
}

// Why no window can open, after the start-up message: SDL's own reason when
// it failed, and the likely cause when no display is named at all. A fallback
// to a driver that draws nowhere leaves SDL with no reason of its own.
void describeVideoFailure(bool sdlFailed, char* out, std::size_t size) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* named = x11 != nullptr && *x11 != '\0'           ? x11
                        : wayland != nullptr && *wayland != '\0' ? wayland
                                                                 : nullptr;
    const char* sdlReason = sdlFailed ? SDL_GetError() : "";
    const char* cause = named == nullptr ? "no display: is DISPLAY set?" : "";
    if (*sdlReason != '\0') {
        std::snprintf(out, size, "%s%s%s", sdlReason, *cause != '\0' ? "; " : "", cause);
    } else if (named != nullptr) {
        std::snprintf(out, size, "cannot reach display %s", named);
    } else {
        std::snprintf(out, size, "%s", cause);
    }
}

// The whole multiple of the picture that the first window shows: as large as
// fits in most of the usable area of the display it opens on.
int firstFactor() {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        return 1;
    }
    return catalogue::firstWindowFactor(usable.w, usable.h);
}

void showShutdownError(const char* text) {
    std::fprintf(stderr, "SHUTDOWN ERROR: %s\n", text);
}

}  // namespace

void showStartupError(const char* text) {
    std::fprintf(stderr, "ERROR: %s\n", text);
    // A box needs a desktop to show on; without one the line above is all there is.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const bool headless = driver != nullptr && (std::strstr(driver, "offscreen") != nullptr ||
                                                std::strstr(driver, "dummy") != nullptr);
    if (!headless && platformHasDesktop()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "ERROR", text, nullptr);
    }
}

namespace {

// Video for the window, or the reason in the message the player sees.
bool startVideo() {
    const bool sdlFailed = SDL_InitSubSystem(SDL_INIT_VIDEO) != 0;
    if (sdlFailed || headlessDriverNotAsked()) {
        char reason[256];
        describeVideoFailure(sdlFailed, reason, sizeof reason);
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        char text[320];
        std::snprintf(text, sizeof text, "Failed To Register The Window Class. (%s)", reason);
        showStartupError(text);
        return false;
    }
    gVideoStarted = true;
    return true;
}

// A double-buffered RGBA picture with a depth buffer, on the platform's
// context for OpenGL 1.1 immediate mode.
void askForPixelFormat(int bits) {
    const int channel = bits >= 32 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, kPlatformContext.profile);
    if (kPlatformContext.majorVersion > 0) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kPlatformContext.majorVersion);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    }
}

}  // namespace

bool openWindow(const char* title, int width, int height, int bits) {
    if (!startVideo()) {
        return false;
    }
    askForPixelFormat(bits);

    // High-DPI: on a scaled desktop the drawing surface has more pixels than
    // the window has points, and the picture is fitted to the pixels.
    const int factor = firstFactor();
    width *= factor;
    height *= factor;
    gWindow = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (gWindow == nullptr) {
        closeWindow();
        showStartupError("Window Creation Error.");
        return false;
    }
    gRenderContext = SDL_GL_CreateContext(gWindow);
    if (gRenderContext == nullptr) {
        closeWindow();
        showStartupError("Can't Create A GL Rendering Context.");
        return false;
    }
    if (SDL_GL_MakeCurrent(gWindow, gRenderContext) != 0) {
        closeWindow();
        showStartupError("Can't Activate The GL Rendering Context.");
        return false;
    }
    // Pace the loop by the display where the driver can; the main loop caps
    // the rate itself where the swap does not wait.
    SDL_GL_SetSwapInterval(1);
    // Neither the screen saver nor monitor power saving starts while the game
    // runs. SDL does this by default; said here so that no hint can undo it.
    SDL_DisableScreenSaver();
    SDL_ShowWindow(gWindow);
    SDL_RaiseWindow(gWindow);
    // Without a window manager (or with a lax one) nobody else hands us the keyboard.
    SDL_SetWindowInputFocus(gWindow);
    resizeViewport(width, height);
    if (!setupGLState()) {
        closeWindow();
        showStartupError("Initialization Failed.");
        return false;
    }
    return true;
}

void closeWindow() {
    if (gRenderContext != nullptr) {
        if (SDL_GL_MakeCurrent(gWindow, nullptr) != 0) {
            showShutdownError("Release Of DC And RC Failed.");
        }
        SDL_GL_DeleteContext(gRenderContext);
        gRenderContext = nullptr;
    }
    if (gWindow != nullptr) {
        SDL_DestroyWindow(gWindow);
        gWindow = nullptr;
    }
    if (gVideoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        gVideoStarted = false;
    }
}

bool setupGLState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void resizeViewport(int width, int height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<GLfloat>(width) / static_cast<GLfloat>(height), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void setFrameState(const catalogue::ScreenFit& fit) {
    // The picture is always drawn 320x480 pixels large, one unit per pixel,
    // y growing downward; an enlarged screen enlarges the drawn frame. Its
    // clear then clears only the corner, which is all the enlarging reads.
    if (fit.factor == 1) {
        glViewport(fit.x, fit.y, catalogue::kScreenWidth, catalogue::kScreenHeight);
    } else {
        glViewport(0, 0, catalogue::kScreenWidth, catalogue::kScreenHeight);
        glScissor(0, 0, catalogue::kScreenWidth, catalogue::kScreenHeight);
        glEnable(GL_SCISSOR_TEST);
    }
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, catalogue::kScreenWidth, catalogue::kScreenHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // The integer form: the mode is an enumeration, and the browser's
    // emulation of the fixed-function pipeline takes it only as an integer
    // (it would warn on the console at every frame).
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void restoreFrameState() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glDisable(GL_SCISSOR_TEST);
}

void toggleFullscreen() {
    const bool full = (SDL_GetWindowFlags(gWindow) & SDL_WINDOW_FULLSCREEN) != 0;
    // A refusal leaves the window as it is: nothing to undo.
    SDL_SetWindowFullscreen(gWindow, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}
