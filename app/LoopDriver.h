#pragma once
// Who drives the main loop, the platform seam's other half (the first is
// PlatformFacts.h): the desktop runs the loop until the game ends; a page
// shows nothing until it returns to the browser, so there the browser calls
// one pass of the loop per display refresh. Implemented per platform in
// app/desktop/ and app/browser/.

#include "app/MainLoop.h"

// Runs `loop` until the window is closed or Escape ends the game, then calls
// `finish`, which releases everything the start-up made. On the desktop it
// returns the exit code. In the browser it does not return: the browser
// calls the loop from then on, and the page is told when the game has ended.
int runMainLoop(MainLoop& loop, void (*finish)());
