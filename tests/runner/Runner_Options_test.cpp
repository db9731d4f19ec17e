// The command line and the trace switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/Platform_Trace.h"
#include "runner/Runner_Options.h"

namespace tavrin {
namespace {

// A file that is there, named by its whole path wherever the tests run.
constexpr const char* kAnyFile = TAVRIN_TESTS_DIR "/runner/Runner_Options_test.cpp";

TEST(TraceFlag, FollowsTheEnvironmentAndEveryArgumentButTheLast) {
  struct Case {
    std::vector<std::string> args;
    const char* env;
    bool on;
  };
  const Case cases[] = {
      {{}, nullptr, false},
      {{}, "1", true},
      {{}, "01", false},
      {{}, "yes", false},
      {{}, "1 ", false},
      {{"--VXTrace"}, nullptr, false},  // the only argument is also the last
      {{"--VXTrace", "game.bin"}, nullptr, true},
      {{"game.bin", "--VXTrace"}, nullptr, false},
      {{"--vxtrace", "game.bin"}, nullptr, false},  // case matters
      {{"a", "--VXTrace", "b"}, "0", true},
      {{"--VXTrace=1", "x"}, nullptr, false},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    EXPECT_EQ(Trace_FlagFrom(c.args, c.env), c.on) << shown << "env=" << (c.env ? c.env : "(unset)");
  }
}

TEST(RunnerOptions, GameAndItsArgumentsBelongToTheGame) {
  const std::string game = kAnyFile;
  const auto r = Runner_ParseOptions({"--headless", "--steps", "5", "--seed", "9", game, "--steps", "x"},
                                     "/usr/bin/tavrin", false, nullptr);
  ASSERT_TRUE(r.options);
  EXPECT_TRUE(r.options->headless);
  EXPECT_EQ(r.options->steps, 5);
  EXPECT_EQ(r.options->seed, 9u);
  EXPECT_EQ(r.options->gameFile, game);
  EXPECT_EQ(r.options->gameArgs, (std::vector<std::string>{game, "--steps", "x"}));
}

TEST(RunnerOptions, StandaloneGamesTakeOptionsFromTheEnvironment) {
  const auto r = Runner_ParseOptions({"--headless", "level2"}, "/games/mygame", true,
                                     "--headless --answers \"/dev/null\" --fixed-clock");
  ASSERT_TRUE(r.options);
  EXPECT_TRUE(r.options->standalone);
  EXPECT_TRUE(r.options->headless);
  EXPECT_TRUE(r.options->fixedClock);
  EXPECT_EQ(r.options->answersFile, "/dev/null");
  EXPECT_EQ(r.options->gameFile, "/games/mygame");
  EXPECT_EQ(r.options->gameArgs, (std::vector<std::string>{"/games/mygame", "--headless", "level2"}));

  const auto plain = Runner_ParseOptions({}, "/games/mygame", true, nullptr);
  ASSERT_TRUE(plain.options);
  EXPECT_FALSE(plain.options->headless);
}

TEST(RunnerOptions, MistakesAndQuestionsEndBeforeTheGame) {
  struct Case {
    std::vector<std::string> args;
    bool selfHasPackage;
    const char* env;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {{"--help"}, false, nullptr, 0, "Usage: tavrin [OPTIONS] [GAME [GAME ARGUMENTS...]]"},
      {{"--version"}, false, nullptr, 0, "tavrin 0."},
      {{}, false, nullptr, 1, "no game given"},
      {{"--steps", "-3", "g"}, false, nullptr, 1, "--steps"},
      {{"--answers", "/no/such/file", kAnyFile}, false, nullptr, 1, "no answers file /no/such/file"},
      {{}, true, "--bogus", 1, "TAVRIN_OPTIONS"},
      // Mistyped options are named with the closest one, not taken for the game.
      {{"--hedless", "g.bin"}, false, nullptr, 1, "tavrin: unknown option --hedless (did you mean --headless?); see tavrin --help\n"},
      {{"--fixedclock", "g.bin"}, false, nullptr, 1, "unknown option --fixedclock (did you mean --fixed-clock?)"},
      {{"--stpes=5", "g.bin"}, false, nullptr, 1, "unknown option --stpes=5 (did you mean --steps?)"},
      {{"-x"}, false, nullptr, 1, "tavrin: unknown option -x; see tavrin --help\n"},
      {{"--bogus"}, true, "--hedless", 1, "TAVRIN_OPTIONS: unknown option --hedless (did you mean --headless?)"},
      {{"--steps"}, false, nullptr, 1, "tavrin: --steps needs a value (--steps N); see tavrin --help\n"},
      // Files the command line names are there, or it says which is not.
      {{"mygame.bin"}, false, nullptr, 1, "tavrin: no game file mygame.bin; see tavrin --help\n"},
      {{"--input", "/no/such/walk.txt", kAnyFile}, false, nullptr, 1, "no input file /no/such/walk.txt"},
      {{"--code", "/no/such/code.tvs"}, false, nullptr, 1, "no code file /no/such/code.tvs"},
      {{"--answers", "/tmp", kAnyFile}, false, nullptr, 1, "/tmp is a folder, not an answers file"},
      // Numbers out of range are said in words, whatever the library's limits.
      {{"--steps", "-1", "g"}, false, nullptr, 1, "\"-1\" is not a whole number of steps, 0 or more"},
      {{"--steps", "abc", "g"}, false, nullptr, 1, "\"abc\" is not a whole number of steps"},
      {{"--steps", "1.5", "g"}, false, nullptr, 1, "\"1.5\" is not a whole number of steps"},
      {{"--frame-every", "0", "g"}, false, nullptr, 1, "\"0\" is not a whole number, 1 or more"},
      {{"--seed", "4294967296", "g"}, false, nullptr, 1, "from 0 to 4294967295"},
      {{"--seed", "-5", "g"}, false, nullptr, 1, "from 0 to 4294967295"},
      // A standalone game plays its own package, never another file.
      {{}, true, "--code /etc/hostname", 1, "TAVRIN_OPTIONS: --code cannot be used here"},
      // Folders are not games.
      {{"/tmp"}, false, nullptr, 1, "tavrin: /tmp is a folder, not a game; see tavrin --help\n"},
  };
  for (const Case& c : cases) {
    const auto r = Runner_ParseOptions(c.args, "/usr/bin/tavrin", c.selfHasPackage, c.env);
    EXPECT_FALSE(r.options) << c.says;
    EXPECT_EQ(r.exitCode, c.status) << c.says;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
    // A mistake is one line.
    if (c.status != 0) {
      EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    }
  }
}

// Help a person reads in a terminal: no line wider than 100 columns, and
// every option it lists shown at work in an example.
TEST(RunnerOptions, HelpFitsATerminalAndShowsEveryOptionInAnExample) {
  const auto r = Runner_ParseOptions({"--help"}, "/usr/bin/tavrin", false, nullptr);
  ASSERT_EQ(r.exitCode, 0);
  const size_t examples = r.output.find("Examples:");
  ASSERT_NE(examples, std::string::npos) << r.output;
  std::istringstream lines(r.output.substr(0, examples));
  std::string line;
  int options = 0;
  while (std::getline(lines, line)) {
    EXPECT_LE(line.size(), 100u) << line;
    if (line.rfind("  --", 0) != 0) continue;
    const std::string option = line.substr(2, line.find(' ', 2) - 2);
    ++options;
    const std::string after = r.output.substr(examples);
    if (option != "--help") {
      EXPECT_TRUE(after.find(option + " ") != std::string::npos || after.find(option + "\n") != std::string::npos ||
                  after.find(option + "=") != std::string::npos)
          << option;
    }
  }
  EXPECT_GE(options, 12);
  std::istringstream all(r.output);
  while (std::getline(all, line)) EXPECT_LE(line.size(), 100u) << line;
}

TEST(RunnerOptions, WordsSplitOnBlanksAndGroupInQuotes) {
  EXPECT_EQ(Runner_SplitWords("  a \"b c\"\td\"e\" "), (std::vector<std::string>{"a", "b c", "de"}));
  EXPECT_EQ(Runner_SplitWords("\"\""), (std::vector<std::string>{""}));
  EXPECT_TRUE(Runner_SplitWords("   ").empty());
}

}  // namespace
}  // namespace tavrin
