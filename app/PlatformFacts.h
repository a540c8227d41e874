#pragma once
// What the window layer asks of the platform it runs on: the OpenGL context,
// whether a message box can be shown, how held keys repeat. Each platform
// answers in its own folder, chosen by the build, as SDL keeps each platform
// in a folder of its own: app/desktop/ (Linux, Windows) and app/browser/
// (WebAssembly in a web page). How the main loop is driven is the seam's
// other half (LoopDriver.h); the rest of the game is the same code everywhere.
//
// The OpenGL context is desktop OpenGL with its fixed-function pipeline, or
// the browser's WebGL (OpenGL ES 2), on which Emscripten emulates it.

#include <SDL.h>

#include "app/PadInput.h"

struct PlatformContext {
    SDL_GLprofile profile;  // SDL_GL_CONTEXT_PROFILE_MASK
    int majorVersion;       // SDL_GL_CONTEXT_MAJOR_VERSION; 0: the driver's default
};

// The OpenGL context the window layer asks for.
extern const PlatformContext kPlatformContext;

// Whether there is a desktop to show a message box on: Windows always has
// one; elsewhere a display server is named in the environment; a page shows
// its own messages.
bool platformHasDesktop();

// The size in pixels of the window's drawing surface, which the picture is
// fitted to: a window's drawable, or the page's canvas, whose pixels the page
// sets to the device pixels it is shown on.
SDL_Point platformDrawableSize();

// How a held pad direction repeats: the desktop's keyboard repeat where it
// tells it, else PadInput's default. Called once the window is open.
PadInput::Repeat platformKeyRepeat();
