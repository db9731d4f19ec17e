#include "runner/Runner_Options.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <filesystem>
#include <sstream>

#include "runner/Runner_Usage.h"
#include "runner/Runner_Version.h"

namespace tavrin {

namespace {

constexpr const char* kUsage = "Usage: tavrin [OPTIONS] [GAME [GAME ARGUMENTS...]]";

// Examples are indented so that they are kept as written (at most
// kHelpWidth columns each); every option appears in one.
constexpr const char* kFooter =
    "GAME is a package file, or a standalone game (a program with a package appended). Everything after "
    "GAME belongs to the game: GAME ARGUMENTS reach it unchanged. A standalone game takes no options from "
    "its command line; it reads them from the TAVRIN_OPTIONS environment variable.\n"
    "\n"
    "Exit status: 0 the game ended; 1 loading or preparing failed, or the command line was wrong; 2 the "
    "game was aborted after an error.\n"
    "\n"
    "Examples:\n"
    "  Play a package file; the game sees level2 as its first argument:\n"
    "    tavrin mygame.bin level2\n"
    "  Play a standalone game with no display:\n"
    "    TAVRIN_OPTIONS=--headless ./mygame\n"
    "  Play the keys of walk.txt, the same way on every run:\n"
    "    tavrin --headless --fixed-clock --seed 7 --input walk.txt mygame.bin\n"
    "  Play 120 steps and keep the first frame and every 30th after it in shots/:\n"
    "    tavrin --headless --steps 120 --frames shots --frame-every 30 mygame.bin\n"
    "  Answer the game's message boxes from answers.txt and keep its sound in sound.wav:\n"
    "    tavrin --headless --answers answers.txt --sound-file sound.wav --steps 300 mygame.bin\n"
    "  Run a file of code as a game of its own:\n"
    "    tavrin --code hello.tvs\n"
    "  Write down every window the game opens, and how it was answered:\n"
    "    tavrin --transcript windows.txt mygame.bin\n"
    "  Compare the collision answers of the spatial index with testing every instance:\n"
    "    tavrin --plain-collisions mygame.bin\n"
    "  Show the version:\n"
    "    tavrin --version";

constexpr const char* kUnattended = "Running without a person";
constexpr const char* kRecording = "Keeping what the game shows and plays";
constexpr const char* kOther = "Other options";

void AddRunnerOptions(CLI::App& app, RRunnerOptions& o, bool& showVersion) {
  app.add_flag("--headless", o.headless,
               "Run without a display or a person: offscreen video, silent audio, message boxes answered "
               "from --answers or by their default buttons")
      ->group(kUnattended);
  app.add_option("--answers", o.answersFile,
                 "Answer the game's message boxes, dialogs, menus and choosers from FILE, one answer a line, in "
                 "turn: a button (ok, yes, no, button 2...), default, escape, text: what is typed, a number, "
                 "item N, color: R, G, B, file: NAME or folder: NAME (docs/answers.md); an answer that does not "
                 "fit its window ends the run with status 1")
      ->type_name("FILE")
      ->group(kUnattended);
  app.add_option("--transcript", o.transcriptFile,
                 "Write every window the game opens (message boxes, dialogs, the error window...) to FILE: its "
                 "kind, caption, text and buttons, and how it was answered (docs/answers.md)")
      ->type_name("FILE")
      ->group(kUnattended);
  app.add_option("--input", o.inputFile,
                 "Play the keys, text, mouse, joysticks and close button that FILE gives at given steps "
                 "(its format: docs/input-replay.md)")
      ->type_name("FILE")
      ->group(kUnattended);
  app.add_option("--steps", o.steps, "End the game after N steps, as the game's own end would")
      ->type_name("N")
      ->check(Usage_WholeNumber(0, INT64_MAX, "a whole number of steps, 0 or more"))
      ->group(kUnattended);
  app.add_flag("--fixed-clock", o.fixedClock,
               "Do not sleep between steps; the clock advances exactly one step period per step, so time "
               "and frame rate are the same on every run")
      ->group(kUnattended);
  app.add_option("--seed", o.seed, "Start the game's random numbers from seed N")
      ->type_name("N")
      ->check(Usage_WholeNumber(0, UINT32_MAX, "a whole number from 0 to 4294967295"))
      ->group(kUnattended);
  app.add_option("--frames", o.framesDir,
                 "Write the frames the game shows as PNG files DIR/frame-NNNNNN.png (NNNNNN: the step number), "
                 "the size of the drawing region, and every frame of a room transition as "
                 "DIR/frame-NNNNNN-tKK.png; DIR is made when missing")
      ->type_name("DIR")
      ->group(kRecording);
  app.add_option("--frame-every", o.frameEvery, "With --frames: write the first frame and every K-th after it")
      ->type_name("K")
      ->check(Usage_WholeNumber(1, INT32_MAX, "a whole number, 1 or more"))
      ->group(kRecording);
  app.add_option("--sound-file", o.soundFile,
                 "Render the game's sound without speakers (as headless runs do) and write it to FILE as a "
                 "WAV file of 32-bit float stereo samples")
      ->type_name("FILE")
      ->group(kRecording);
  app.add_option("--code", o.codeFile,
                 "No package: run FILE as the create code of a blank one-room game (text after a line "
                 "'#define NAME' is a script called NAME)")
      ->type_name("FILE")
      ->group(kOther);
  app.add_flag("--plain-collisions", o.plainCollisions,
               "Test collisions against every instance instead of asking the spatial index (the same "
               "answers, slower; for comparison)")
      ->group(kOther);
  // The trace switch is read from the raw arguments; it is accepted here so
  // that it is not mistaken for the game.
  app.add_flag("--VXTrace")->group("");
  app.set_help_flag("-h,--help", "Show this help and exit")->group(kOther);
  app.add_flag("--version", showVersion, "Show the version and exit")->group(kOther);
}

// A file the command line names that is not there: said before anything
// starts, rather than as a failure to load.
std::string MissingFile(const RRunnerOptions& o) {
  const std::pair<const std::string*, const char*> files[] = {
      {&o.answersFile, "answers file"}, {&o.inputFile, "input file"}, {&o.codeFile, "code file"}};
  std::error_code ec;
  for (const auto& [file, what] : files) {
    if (file->empty()) continue;
    if (!std::filesystem::exists(*file, ec)) return std::string("no ") + what + " " + *file;
    if (file == &o.answersFile && std::filesystem::is_directory(*file, ec)) return *file + " is a folder, not an answers file";
  }
  return {};
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
  app.formatter(Usage_Formatter(kUsage));
  app.footer(kFooter);
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
  // One line: what was wrong and what to try. A standalone game's options
  // come from the environment, and its player may have no tavrin to ask.
  const auto mistake = [&](const std::string& what) {
    result.exitCode = 1;
    result.output = o.standalone ? "TAVRIN_OPTIONS: " + what + "; it takes the options of tavrin --help\n"
                                 : "tavrin: " + what + "; see tavrin --help\n";
    return result;
  };
  try {
    std::vector<std::string> reversed(runnerArgs.rbegin(), runnerArgs.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp& e) {
    std::ostringstream out, err;
    result.exitCode = app.exit(e, out, err);
    result.output = out.str() + err.str();
    return result;
  } catch (const CLI::ParseError& e) {
    return mistake(Usage_Mistake(app, e).what);
  }
  if (showVersion) {
    result.output = std::string("tavrin ") + kTavrinVersion + "\n";
    return result;
  }

  if (o.standalone) {
    // A standalone game always plays its own package.
    if (!o.codeFile.empty()) return mistake("--code cannot be used here: a standalone game plays its own package");
    o.gameFile = selfPath;
    o.gameArgs.push_back(selfPath);
    o.gameArgs.insert(o.gameArgs.end(), args.begin(), args.end());
  } else {
    const std::vector<std::string> rest = app.remaining();
    // The first word that is no option is the game; a word that looks like
    // an option there is a mistyped one (a game named so is given as ./-x).
    if (!rest.empty() && rest.front().size() > 1 && rest.front()[0] == '-')
      return mistake(Usage_UnknownOption(rest.front(), app));
    if (!rest.empty()) {
      o.gameFile = rest.front();
      o.gameArgs = rest;
    } else if (o.codeFile.empty()) {
      return mistake("no game given, and no package appended to this program");
    } else {
      o.gameArgs.push_back(o.codeFile);
    }
    // A folder read as a game gives nonsense ("corrupted"): say what it is.
    std::error_code ec;
    if (!o.gameFile.empty() && !std::filesystem::exists(o.gameFile, ec)) return mistake("no game file " + o.gameFile);
    if (std::filesystem::is_directory(o.gameFile, ec)) return mistake(o.gameFile + " is a folder, not a game");
  }
  if (const std::string missing = MissingFile(o); !missing.empty()) return mistake(missing);
  result.options = std::move(o);
  return result;
}

}  // namespace tavrin
