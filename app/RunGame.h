#pragma once
// The program's entry routine: opens the window, loads the pictures, creates
// the renderer, the audio and the application, runs the main loop and
// returns the exit code (0 after a normal quit, 1 when start-up failed).

int runGame();
