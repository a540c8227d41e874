#pragma once
// What differs between the desktop and the browser, behind one seam. Each
// platform has its own implementation, chosen by the build, as SDL keeps
// each platform in a folder of its own: app/desktop/ (Linux, Windows) and
// app/browser/ (WebAssembly in a web page). The rest of the game is the same
// code everywhere.
//
// - The OpenGL context: desktop OpenGL with its fixed-function pipeline, or
//   the browser's WebGL (OpenGL ES 2), on which Emscripten emulates it.
// - The main loop: the desktop runs it until the game ends; a page shows
//   nothing until it returns to the browser, so there the browser calls one
//   pass of the loop per display refresh.
// - The sound: a page has no threads, so the main loop feeds the device.
// - The drawing surface: a window's drawable, or the page's canvas, whose
//   pixels the page sets to the device pixels it is shown on.

#include <SDL.h>

#include "app/MainLoop.h"
#include "app/PadInput.h"
#include "audio/MikModRenderer.h"

struct PlatformContext {
    SDL_GLprofile profile;  // SDL_GL_CONTEXT_PROFILE_MASK
    int majorVersion;       // SDL_GL_CONTEXT_MAJOR_VERSION; 0: the driver's default
};

// The OpenGL context the window layer asks for.
extern const PlatformContext kPlatformContext;

// How a held pad direction repeats: the desktop's keyboard repeat where it
// tells it, else PadInput's default. Called once the window is open.
PadInput::Repeat platformKeyRepeat();

// The size in pixels of the window's drawing surface, which the picture is
// fitted to.
SDL_Point platformDrawableSize();

// Who feeds the sound device.
extern const MikModRenderer::Mixing kPlatformMixing;

// Runs `loop` until the window is closed or Escape ends the game, then calls
// `finish`, which releases everything the start-up made. On the desktop it
// returns the exit code. In the browser it does not return: the browser
// calls the loop from then on, and the page is told when the game has ended.
int runMainLoop(MainLoop& loop, MikModRenderer& audio, void (*finish)());
