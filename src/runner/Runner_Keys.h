// The runner's own keys, as the game's settings allow them: Escape ends the
// game, F1 shows the game information, F4 switches full screen, F5 and F6
// save and load the game, F9 writes a screenshot.
#pragma once

#include <string>

namespace tavrin {

// At the start of every step: the last key that went down, if it is one of
// the runner's keys, does its work (one key a step) and is forgotten.
void Handle_Runner_Keys();

// The screenshot F9 writes: "screenshot" + n + ".png" in the working folder,
// n the smallest number from 100 up that names no file yet.
std::string Runner_ScreenshotName();

}  // namespace tavrin
