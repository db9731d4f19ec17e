// Running a code file without a game package: the way the language is tried
// out and tested.
#pragma once

#include <string>

namespace tavrin {

// Runs FILE as the create-event code of a blank one-instance game; text after a line
// "#define NAME" is a script called NAME. Returns the process exit status:
// 0 the game ended, 1 the file could not be read, 2 the game was aborted after an error.
int Code_RunStandaloneFile(const std::string& path);

// The same for code given as text.
int Code_RunStandaloneText(const std::string& text);

}  // namespace tavrin
