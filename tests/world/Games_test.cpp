// Whole games, built with tavrin-pack and played headless with a fixed clock:
// every game of tests/games/ that has a trace in tests/world/traces/ must
// print exactly that trace, twice in a row; and small games made on the spot
// show how the step ends when the game ends from each kind of event.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("tavrin_games_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  // Builds the project and plays it; `options` come before the game.
  test::RRun Play(const fs::path& project, const std::vector<std::string>& options) {
    const std::string game = (m_dir / (project.filename().string() + ".bin")).string();
    const test::RRun packed = test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game});
    EXPECT_EQ(packed.status, 0) << packed.err;
    std::vector<std::string> argv = {TAVRIN_EXE, "--headless", "--fixed-clock", "--seed", "7"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(game);
    return test::RunProgram(argv, {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
  }

  // A project written from (file, text) pairs.
  fs::path Project(const std::string& name, const std::map<std::string, std::string>& files) {
    const fs::path dir = m_dir / name;
    for (const auto& [file, text] : files) {
      fs::create_directories((dir / file).parent_path());
      std::ofstream(dir / file) << text;
    }
    return dir;
  }

  fs::path m_dir;
};

// The first line of a trace file holds the options of the run, the second
// the exit status; the rest is the output the game prints.
struct RTrace {
  std::vector<std::string> options;
  int status = 0;
  std::string out;
};

RTrace ReadTrace(const fs::path& path) {
  std::ifstream in(path);
  RTrace t;
  std::string line, word;
  std::getline(in, line);
  std::istringstream words(line.substr(line.find(':') + 1));
  while (words >> word) t.options.push_back(word);
  std::getline(in, line);
  t.status = std::stoi(line.substr(line.find(':') + 1));
  std::ostringstream rest;
  rest << in.rdbuf();
  t.out = rest.str();
  return t;
}

TEST_F(GameTest, EveryTracedGamePrintsItsTraceTheSameWayTwice) {
  int games = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(TAVRIN_TESTS_DIR) / "world" / "traces")) {
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    ++games;
    const RTrace trace = ReadTrace(entry.path());
    const test::RRun first = Play(fs::path(TAVRIN_TESTS_DIR) / "games" / name, trace.options);
    EXPECT_EQ(first.out, trace.out) << first.err;
    EXPECT_EQ(first.status, trace.status) << first.err;
    const test::RRun second = Play(fs::path(TAVRIN_TESTS_DIR) / "games" / name, trace.options);
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(second.err, first.err);
  }
  EXPECT_GE(games, 1);
}

// The events of one step in the order they run, each printing its name; the
// event of each case ends the game. Nothing after it runs, except the
// room-end and game-end events when the loop stops.
TEST_F(GameTest, EndingTheGameFromAnyEventSkipsTheRestOfTheStep) {
  const std::vector<std::pair<std::string, std::string>> events = {
      {"create", "create"},   {"other:2", "game start"}, {"other:4", "room start"}, {"step:1", "begin step"},
      {"alarm:0", "alarm"},   {"step", "step"},          {"other:10", "user event"}, {"step:2", "end step"},
      {"draw", "draw"},
  };
  for (size_t ending = 0; ending < events.size(); ++ending) {
    SCOPED_TRACE(events[ending].second);
    std::string json = "{\"events\": {";
    std::string expected;
    for (size_t i = 0; i < events.size(); ++i) {
      // Code after game_end() still runs, but it performs no more events.
      std::string code = "show_debug_message('" + events[i].second + "')";
      if (i == ending) code += "\\ngame_end()";
      if (events[i].first == "create") code += "\\nalarm[0] = 1";
      if (events[i].first == "step") code += "\\nevent_user(0)";
      json += "\"" + events[i].first + "\": \"" + code + "\", ";
      if (i <= ending) expected += events[i].second + "\n";
    }
    json += "\"other:5\": \"show_debug_message('room end')\", \"other:3\": \"show_debug_message('game end')\"}}";
    expected += "room end\ngame end\n";
    const fs::path project = Project("end" + std::to_string(ending),
                                     {{"game.json", R"({"room_order": ["r"]})"},
                                      {"objects/o.json", json},
                                      {"rooms/r.json", R"({"instances": [{"x": 0, "y": 0, "object": "o"}]})"}});
    const test::RRun r = Play(project, {"--steps", "5"});
    EXPECT_EQ(r.out, expected) << r.err;
    EXPECT_EQ(r.status, 0);
  }
}

// With create-first on, an instance's create event runs before its creation
// code and sees the variables the code has not set yet.
TEST_F(GameTest, CreateFirstDecidesWhetherCreationCodeOrCreateEventRunsFirst) {
  for (const bool first : {false, true}) {
    SCOPED_TRACE(first);
    const fs::path project = Project(
        first ? "first" : "code",
        {{"game.json", std::string(R"({"room_order": ["r"], "settings": {"createfirst": )") +
                           (first ? "true" : "false") + R"(, "uninitzero": true}})"},
         {"objects/o.json", R"j({"events": {"create": "show_debug_message('create sees ' + string(n))"}})j"},
         {"rooms/r.json",
          R"j({"instances": [{"x": 0, "y": 0, "object": "o", "code": "n = 2\nshow_debug_message('code')"}]})j"}});
    const test::RRun r = Play(project, {"--steps", "1"});
    EXPECT_EQ(r.out, first ? "create sees 0\ncode\n" : "code\ncreate sees 2\n") << r.err;
  }
}

}  // namespace
}  // namespace tavrin
