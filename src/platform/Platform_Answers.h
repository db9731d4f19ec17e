// Answers for the runner's modal windows when no person is there. A headless
// run (and a run without any window) takes each window's answer from the
// next line of the answers file, or the window's default button when no line
// is left. Blank lines and lines that begin with "#" are skipped. The format
// of a line is the window's business (docs/answers.md); a line that does not
// fit the window it was given to is refused: the run says so on standard
// error and ends with exit status 1, so that a test never waits for a person
// and never goes on with an answer it did not mean.
#pragma once

#include <string>
#include <vector>

namespace tavrin {

// Reads the answers file (replacing any answers read before). False, with
// the reason, when it cannot be read.
bool Answers_Load(const std::string& file, std::string& error);
void Answers_Set(std::vector<std::string> lines);  // tests
// Whether modal windows are answered from the file instead of shown.
void Answers_SetHeadless(bool headless);
bool Answers_Headless();

// The next answer and its line number in the file; false when none is left,
// or once an answer has been refused (from then on every window takes its
// default).
bool Answers_Next(std::string& answer, int& line);
// The next answer without taking it, for windows that take a line only when
// it is meant for them (the error window).
bool Answers_Peek(std::string& answer);
// An answer that does not fit `window` (what the window is, as the player
// would name it): said on standard error once, and the run is asked to end
// with exit status 1.
void Answers_Refuse(const std::string& window, const std::string& answer, int line, const std::string& why);
bool Answers_Refused();

}  // namespace tavrin
