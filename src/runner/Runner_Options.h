// The runner's command line: which game to play and how to run it.
//
//   tavrin [OPTIONS] [GAME [GAME ARGUMENTS...]]
//
// A standalone game (a runner with a package appended) takes no runner
// options from its command line, since every argument belongs to the game;
// it reads them from the TAVRIN_OPTIONS environment variable instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

struct RRunnerOptions {
  std::string gameFile;               // the file that holds the package
  std::vector<std::string> gameArgs;  // what the game sees: its own name first
  bool standalone = false;
  bool headless = false;
  std::string answersFile;
  std::string transcriptFile;  // every modal window, as it was answered
  int64_t steps = -1;  // end after this many steps; -1 runs until the game ends
  bool fixedClock = false;
  std::optional<uint32_t> seed;
  std::string framesDir;
  int frameEvery = 1;
  std::string inputFile;
  std::string codeFile;
  bool plainCollisions = false;
  std::string soundFile;  // the game's sound, rendered without speakers, as a WAV file
};

struct RParseResult {
  std::optional<RRunnerOptions> options;  // nothing: exit with `exitCode`
  int exitCode = 0;
  std::string output;  // help, version or the error to print
};

// Parses `args` (without the program name). `selfPath` is the runner's own
// executable; `selfHasPackage` says whether a package is appended to it.
RParseResult Runner_ParseOptions(const std::vector<std::string>& args, const std::string& selfPath,
                                 bool selfHasPackage, const char* environmentOptions);

// Splits TAVRIN_OPTIONS into words: blanks separate, double quotes group.
std::vector<std::string> Runner_SplitWords(const std::string& text);

}  // namespace tavrin
