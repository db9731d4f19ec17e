// The main loop: starts the game and runs its steps until it ends.
#pragma once

namespace tavrin {

// Runs the game to its end. Returns when the game is over (or, in debug
// mode, paused from the debug window).
void RunMain();
// True while the game is running (the debug-mode end timer polls this).
bool Run_IsRunning();
// The process exit status the game asked for: 0 ended, 2 aborted after an error.
int Run_ExitStatus();

}  // namespace tavrin
