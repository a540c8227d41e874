// The game on the desktop: desktop OpenGL, a main loop that runs on the main
// thread until the game ends, and the audio renderer's own mixer thread.

#include "app/Platform.h"

// A context that still speaks OpenGL 1.1 immediate mode.
const PlatformContext kPlatformContext = {SDL_GL_CONTEXT_PROFILE_COMPATIBILITY, 0};
const MikModRenderer::Mixing kPlatformMixing = MikModRenderer::Mixing::OwnThread;

int runMainLoop(MainLoop& loop, MikModRenderer& audio, void (*finish)()) {
    (void)audio;  // it mixes on its own thread
    loop.run();
    finish();
    return 0;
}
