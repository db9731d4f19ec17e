// What tavrin and tavrin-pack say about their own command lines: help that
// reads well in a terminal (wrapped to kHelpWidth columns, options in
// groups), and a mistake told in one line that says what was wrong and what
// to try instead ("unknown option --hedless (did you mean --headless?)").
//
// The command lines themselves are CLI11 applications; this header only
// names its types, so that a user of it need not include the library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
class Error;
class FormatterBase;
class Validator;
}  // namespace CLI

namespace tavrin {

// The widest line of help, in columns.
inline constexpr size_t kHelpWidth = 100;

// Wraps each line of `text` at blanks to at most `width` columns (a longer
// word stands alone). Lines starting with a blank are examples or tables
// and are kept as they are; empty lines stay.
std::string Usage_Wrap(const std::string& text, size_t width);

// A formatter for help: descriptions, option texts and the footer wrapped to
// kHelpWidth. `usage`, when given, is the usage line written out in place of
// the one the library would make (for command lines it cannot describe).
std::shared_ptr<CLI::FormatterBase> Usage_Formatter(std::string usage = {});

// Of `names`, the one closest to `typed` by edit distance, where a swap of
// two neighbouring letters counts as one edit and leading dashes are not
// compared; empty when none is close enough to be what was meant (at most
// two edits, and at most one in three letters of what was typed).
std::string Usage_Closest(const std::string& typed, const std::vector<std::string>& names);

// "unknown option WORD", with the closest visible option of `app` when
// one is close ("unknown option --hedless (did you mean --headless?)").
std::string Usage_UnknownOption(const std::string& word, const CLI::App& app);

// A mistake the library found while parsing with `app`, in words: `what`
// was wrong, and `command` is the subcommand whose words were wrong (empty
// for the program itself), so that the caller can point at its help.
// A word that is no option of the command it was given to is reported
// first, whatever else failed: a mistyped option is the likely cause of a
// required option found missing.
struct RUsageMistake {
  std::string what;
  std::string command;
};
RUsageMistake Usage_Mistake(const CLI::App& app, const CLI::Error& error);

// A check that a value is a whole number from `min` to `max`, said in
// `words` when it is not ("\"-1\" is not a whole number of steps, 0 or
// more"); the library's own message would print the limits of a double.
CLI::Validator Usage_WholeNumber(int64_t min, uint64_t max, const std::string& words);

}  // namespace tavrin
