#pragma once
// The window layer on SDL2: one window "Duobrik" with a 320x480 client area
// and an OpenGL context, the per-frame OpenGL state, and the reaction to the
// window's events (minimise/restore, size, close, keys).

#include <SDL.h>

#include <cstdint>

class BrikApplication;

// Frames are drawn only while set; cleared while the window is minimised.
extern bool gActive;
// Entry k is true while the key with virtual-key code k is down.
extern bool gKeys[256];
// Set by an Escape press; a tap can come and go between two frames, which
// gKeys alone would miss.
extern bool gEscapePressed;
extern SDL_Window* gWindow;
extern SDL_GLContext gRenderContext;
// The one application, created by the entry routine.
extern BrikApplication* gApplication;

// Opens the window and its context; on failure shows the error and returns false.
bool openWindow(const char* title, int width, int height, int bits);
// Releases whatever openWindow obtained; safe after a partial openWindow.
void closeWindow();
// The one-time OpenGL state.
bool setupGLState();
// Reaction to a new client size (height 0 counts as 1).
void resizeViewport(int width, int height);
// The per-frame OpenGL state that every frame is drawn in, and the
// projection of resizeViewport restored after it. The main loop ticks the
// application before, and draws between the two.
void setFrameState();
void restoreFrameState();
// Reacts to one event. Returns false when the event asks the program to quit.
bool onWindowEvent(const SDL_Event& event);
// Shows a start-up failure: a message box captioned "ERROR" if one can be
// shown, and the text on stderr.
void showStartupError(const char* text);
