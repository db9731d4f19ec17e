// The built-in functions that start programs and open documents and
// addresses, and the splitting of command lines into argument vectors.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

void Function_RegisterExecute();

// Arguments written as one command line, split the way programs on the
// game's home system read them: blanks and tabs separate; double quotes
// group (and "" inside quotes is a quote); backslashes are text, except
// that before a quote each pair is one backslash and an odd one makes the
// quote text.
std::vector<std::string> Execute_SplitArguments(std::string_view line);
// A whole command line: the program's name first (quoted or up to a
// blank, backslashes kept), then its arguments as above.
std::vector<std::string> Execute_SplitCommandLine(std::string_view line);

}  // namespace tavrin
