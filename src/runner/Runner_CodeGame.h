// Playing a code file without a package: a blank game with one room and one
// instance whose create event runs the code. This is how the language is tried
// out and how its conformance is tested.
#pragma once

#include <string>

#include "runner/Run_Main.h"

namespace tavrin {

// Plays the text as the create event of the blank game; text after a line
// "#define NAME" is a script called NAME. Returns the exit status: 0 the game
// ended, 2 it was aborted after an error.
int Runner_PlayCodeText(const std::string& text, RRunConfig config);
// The same for a file; 1 when it cannot be read.
int Runner_PlayCodeFile(const std::string& path, RRunConfig config);

}  // namespace tavrin
