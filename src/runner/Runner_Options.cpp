#include "runner/Runner_Options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <sstream>

namespace tavrin {

namespace {

constexpr const char* kVersion = "tavrin 0.1.0";

// GAME and its arguments are taken apart by hand (everything from GAME on
// belongs to the game), so the usage line is written out here.
class CUsageFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override {
    return "Usage: tavrin [OPTIONS] [GAME [GAME ARGUMENTS...]]\n";
  }
};

// A whole number from `min` to `max`, said in words when it is not one
// (the library's own message would print the limits of a double).
CLI::Validator WholeNumber(int64_t min, int64_t max, const std::string& words) {
  return CLI::Validator(
      [=](const std::string& text) -> std::string {
        int64_t n = 0;
        const char* end = text.data() + text.size();
        const auto [at, error] = std::from_chars(text.data(), end, n);
        if (error == std::errc() && at == end && n >= min && n <= max) return {};
        return "\"" + text + "\" is not " + words;
      },
      "");
}

void AddRunnerOptions(CLI::App& app, RRunnerOptions& o, bool& showVersion) {
  app.add_flag("--headless", o.headless,
               "Run without a display or a person: offscreen video, silent audio, message boxes answered from "
               "--answers or by their default buttons");
  app.add_option("--answers", o.answersFile, "Answers for message boxes and dialogs, one per line (ok, yes, no, button 2, escape, text: typed, ...; docs/answers.md); a line that does not fit its window ends the run with exit status 1")
      ->type_name("FILE")
      ->check(CLI::ExistingFile);
  app.add_option("--steps", o.steps, "End the game after N steps, as the game's own end would")
      ->type_name("N")
      ->check(WholeNumber(0, INT64_MAX, "a whole number of steps, 0 or more"));
  app.add_flag("--fixed-clock", o.fixedClock,
               "Do not sleep between steps; the clock advances exactly one step period per step");
  app.add_option("--seed", o.seed, "The random seed at game start")
      ->type_name("N")
      ->check(WholeNumber(0, UINT32_MAX, "a whole number from 0 to 4294967295"));
  app.add_option("--frames", o.framesDir,
                 "Write the frames the game presents as PNG files DIR/frame-NNNNNN.png (NNNNNN: the step "
                 "number), the size of the drawing region, and every frame of a room transition as "
                 "DIR/frame-NNNNNN-tKK.png; DIR is made when missing")
      ->type_name("DIR");
  app.add_option("--frame-every", o.frameEvery, "With --frames: write the first frame and every K-th after it")
      ->type_name("K")
      ->check(WholeNumber(1, INT32_MAX, "a whole number, 1 or more"));
  app.add_option("--input", o.inputFile,
                 "Replay keyboard, mouse, joystick and window events at given steps from FILE "
                 "(its format: docs/input-replay.md)")
      ->type_name("FILE");
  app.add_option("--code", o.codeFile,
                 "No package: run FILE as the create code of a blank one-room game (text after a line "
                 "'#define NAME' is a script called NAME)")
      ->type_name("FILE");
  app.add_flag("--plain-collisions", o.plainCollisions,
               "Test collisions against every instance instead of asking the spatial index (the same answers, "
               "slower; for comparison)");
  app.add_option("--sound-file", o.soundFile,
                 "Render the game's sound without speakers (as headless runs do) and write it to FILE as a WAV "
                 "file of 32-bit float stereo samples")
      ->type_name("FILE");
  // The trace switch is read from the raw arguments; it is accepted here so
  // that it is not mistaken for the game.
  app.add_flag("--VXTrace")->group("");
  app.add_flag("--version", showVersion, "Print the version and exit");
}

}  // namespace

std::vector<std::string> Runner_SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\n')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

RParseResult Runner_ParseOptions(const std::vector<std::string>& args, const std::string& selfPath,
                                 bool selfHasPackage, const char* environmentOptions) {
  RRunnerOptions o;
  bool showVersion = false;
  CLI::App app{"Tavrin plays a game whose package is appended to this program or given as GAME.", "tavrin"};
  app.footer(
      "GAME is a package file or any program with a package appended. GAME ARGUMENTS reach the game "
      "unchanged.\nExit status: 0 the game ended, 1 loading or preparing failed, 2 the game was aborted "
      "after an error.\nA standalone game reads these options from the TAVRIN_OPTIONS environment variable.");
  app.formatter(std::make_shared<CUsageFormatter>());
  AddRunnerOptions(app, o, showVersion);

  std::vector<std::string> runnerArgs;
  if (selfHasPackage) {
    o.standalone = true;
    runnerArgs = environmentOptions ? Runner_SplitWords(environmentOptions) : std::vector<std::string>{};
  } else {
    runnerArgs = args;
    // GAME and everything after it belong to the game.
    app.prefix_command();
  }

  RParseResult result;
  try {
    std::vector<std::string> reversed(runnerArgs.rbegin(), runnerArgs.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    std::ostringstream out, err;
    // --help answers 0; every mistake on the command line is a failure to start (1).
    result.exitCode = app.exit(e, out, err) == 0 ? 0 : 1;
    result.output = out.str() + err.str();
    if (o.standalone && result.exitCode != 0) result.output = "TAVRIN_OPTIONS: " + result.output;
    return result;
  }
  if (showVersion) {
    result.output = std::string(kVersion) + "\n";
    return result;
  }

  if (o.standalone) {
    if (!app.remaining().empty()) {
      result.exitCode = 1;
      result.output = "TAVRIN_OPTIONS: unexpected word " + app.remaining().front() + "\n";
      return result;
    }
    // A standalone game always plays its own package.
    if (!o.codeFile.empty()) {
      result.exitCode = 1;
      result.output = "TAVRIN_OPTIONS: --code cannot be used here: a standalone game plays its own package\n";
      return result;
    }
    o.gameFile = selfPath;
    o.gameArgs.push_back(selfPath);
    o.gameArgs.insert(o.gameArgs.end(), args.begin(), args.end());
  } else {
    const std::vector<std::string> rest = app.remaining();
    // The first word that is no option is the game; a word that looks like
    // an option there is a mistyped one (a game named so is given as ./-x).
    if (!rest.empty() && rest.front().size() > 1 && rest.front()[0] == '-') {
      result.exitCode = 1;
      result.output = "tavrin: unknown option " + rest.front() + "\nRun `tavrin --help` for the options.\n";
      return result;
    }
    if (!rest.empty()) {
      o.gameFile = rest.front();
      o.gameArgs = rest;
    } else if (o.codeFile.empty()) {
      result.exitCode = 1;
      result.output = "tavrin: no game given and no package appended to this program.\n"
                      "Run `tavrin GAME` with a package file, or `tavrin --help` for the options.\n";
      return result;
    } else {
      o.gameArgs.push_back(o.codeFile);
    }
  }
  // A folder read as a game gives nonsense ("corrupted"): say what it is.
  // (--code says so where it reads its file.)
  std::error_code ec;
  if (!o.standalone && !o.gameFile.empty() && std::filesystem::is_directory(o.gameFile, ec)) {
    result.exitCode = 1;
    result.output = "tavrin: " + o.gameFile + " is a folder; GAME is a package file or a standalone game\n";
    return result;
  }
  result.options = std::move(o);
  return result;
}

}  // namespace tavrin
