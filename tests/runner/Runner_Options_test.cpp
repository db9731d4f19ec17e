// The command line and the trace switch.
#include <gtest/gtest.h>

#include "platform/Platform_Trace.h"
#include "runner/Runner_Options.h"

namespace tavrin {
namespace {

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
  const auto r = Runner_ParseOptions({"--headless", "--steps", "5", "--seed", "9", "game.bin", "--steps", "x"},
                                     "/usr/bin/tavrin", false, nullptr);
  ASSERT_TRUE(r.options);
  EXPECT_TRUE(r.options->headless);
  EXPECT_EQ(r.options->steps, 5);
  EXPECT_EQ(r.options->seed, 9u);
  EXPECT_EQ(r.options->gameFile, "game.bin");
  EXPECT_EQ(r.options->gameArgs, (std::vector<std::string>{"game.bin", "--steps", "x"}));
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
      {{"--version"}, false, nullptr, 0, "tavrin "},
      {{}, false, nullptr, 1, "no game given"},
      {{"--steps", "-3", "g"}, false, nullptr, 1, "--steps"},
      {{"--answers", "/no/such/file", "g"}, false, nullptr, 1, "/no/such/file"},
      {{}, true, "--bogus", 1, "TAVRIN_OPTIONS"},
      // Mistyped options are named, not taken for the game.
      {{"--headles", "g.bin"}, false, nullptr, 1, "unknown option --headles"},
      {{"-x"}, false, nullptr, 1, "unknown option -x"},
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
      {{"/tmp"}, false, nullptr, 1, "/tmp is a folder; GAME is a package file"},
  };
  for (const Case& c : cases) {
    const auto r = Runner_ParseOptions(c.args, "/usr/bin/tavrin", c.selfHasPackage, c.env);
    EXPECT_FALSE(r.options) << c.says;
    EXPECT_EQ(r.exitCode, c.status) << c.says;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
}

TEST(RunnerOptions, WordsSplitOnBlanksAndGroupInQuotes) {
  EXPECT_EQ(Runner_SplitWords("  a \"b c\"\td\"e\" "), (std::vector<std::string>{"a", "b c", "de"}));
  EXPECT_EQ(Runner_SplitWords("\"\""), (std::vector<std::string>{""}));
  EXPECT_TRUE(Runner_SplitWords("   ").empty());
}

}  // namespace
}  // namespace tavrin
