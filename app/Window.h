#pragma once
// The window layer on SDL2: one window "Duobrik" with an OpenGL context, big
// enough for the 320x480 picture and sized to the display (the largest whole
// multiple of the picture that fits comfortably), and the per-frame OpenGL
// state. The main loop reacts to the window's events.

#include <SDL.h>

#include <cstdint>

#include "catalogue/ScreenFit.h"

extern SDL_Window* gWindow;
extern SDL_GLContext gRenderContext;

// Opens the window and its context, its client area `width` x `height` times
// the display's first window factor (catalogue/ScreenFit.h), high-DPI where
// the platform offers it. On failure shows the error and returns false.
bool openWindow(const char* title, int width, int height, int bits);
// Releases whatever openWindow obtained; safe after a partial openWindow.
void closeWindow();
// The one-time OpenGL state.
bool setupGLState();
// Reaction to a new client size (height 0 counts as 1).
void resizeViewport(int width, int height);
// The per-frame OpenGL state that every frame is drawn in, placed as `fit`
// says (an enlarged frame is drawn at its own size in the lower-left corner
// first, and nothing outside that corner is touched), and the projection of
// resizeViewport restored after it. The main loop ticks the application
// before, and draws between the two.
void setFrameState(const catalogue::ScreenFit& fit);
void restoreFrameState();
// Switches the window between the full screen of its display (borderless, at
// the desktop's own mode) and the window it was.
void toggleFullscreen();
// Shows a start-up failure: a message box captioned "ERROR" if one can be
// shown, and the text on stderr.
void showStartupError(const char* text);
