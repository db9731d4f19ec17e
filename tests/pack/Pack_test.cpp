// tavrin-pack as authors use it: every game under tests/games/ builds,
// unpacks and builds again to the same bytes, and plays; broken projects are
// refused with a message that names the file and the problem.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class PackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("tavrin_pack_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  test::RRun Pack(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {TAVRIN_PACK_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return test::RunProgram(argv);
  }
  fs::path m_dir;
};

TEST_F(PackTest, EveryTestGameRoundTripsToTheSameBytesAndPlays) {
  int games = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(TAVRIN_TESTS_DIR) / "games")) {
    if (!fs::exists(entry.path() / "game.json")) continue;
    ++games;
    const std::string name = entry.path().filename().string();
    const std::string first = (m_dir / (name + "1.bin")).string(), second = (m_dir / (name + "2.bin")).string();
    const std::string unpacked = (m_dir / name).string();
    ASSERT_EQ(Pack({"build", entry.path().string(), "-o", first, "--seed", "5"}).status, 0) << name;
    const test::RRun un = Pack({"unpack", first, unpacked});
    ASSERT_EQ(un.status, 0) << name << un.err;
    ASSERT_EQ(Pack({"build", unpacked, "-o", second, "--seed", "5"}).status, 0) << name;
    EXPECT_EQ(test::ReadFile(first), test::ReadFile(second)) << name;
    if (name == "world") {  // a time line, written before the objects, still names the object it applies to
      EXPECT_NE(test::ReadFile(fs::path(unpacked) / "timelines" / "tl_intro.json").find("\"applies_to\": \"obj_wall\""),
                std::string::npos);
    }

    const test::RRun info = Pack({"info", first});
    EXPECT_EQ(info.status, 0) << name;
    const test::RRun play =
        test::RunProgram({TAVRIN_EXE, "--headless", "--steps", "3", "--fixed-clock", first}, {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
    EXPECT_EQ(play.status, 0) << name << play.err;
  }
  EXPECT_GE(games, 1);
}

TEST_F(PackTest, BrokenProjectsAreRefusedWithTheirReason) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    const char* says;
  };
  const std::string room = R"({"caption": "r"})";
  const Case cases[] = {
      {"no game.json", {{"rooms/r.json", room}}, "game.json: cannot read the file"},
      {"not JSON", {{"game.json", "{"}}, "game.json: [json.exception.parse_error"},
      {"unknown setting", {{"game.json", R"({"settings": {"fulscreen": true}})"}, {"rooms/r.json", room}},
       "unknown setting \"fulscreen\""},
      {"setting of the wrong type", {{"game.json", R"({"settings": {"scale": "big"}})"}}, "must be a whole number"},
      {"no room", {{"game.json", "{}"}}, "a game needs at least one room"},
      {"room order naming nothing", {{"game.json", R"({"room_order": ["nowhere"]})"}, {"rooms/r.json", room}},
       "there is no rooms resource named \"nowhere\""},
      {"object naming a missing sprite",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/o.json", R"({"sprite": "spr_missing"})"}},
       "objects/o.json: there is no sprites resource named \"spr_missing\""},
      {"bad event key",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/o.json", R"({"events": {"stpe": "x = 1"}})"}},
       "\"stpe\" is not an event"},
      {"collision with a missing object",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/o.json", R"({"events": {"collision:ghost": "x = 1"}})"}},
       "there is no objects resource named \"ghost\""},
      {"parent cycle",
       {{"game.json", "{}"}, {"rooms/r.json", room}, {"objects/a.json", R"({"parent": "b"})"},
        {"objects/b.json", R"({"parent": "a"})"}},
       "form a cycle"},
      {"too many arguments",
       {{"game.json", "{}"}, {"rooms/r.json", room},
        {"objects/o.json", R"({"events": {"create": [{"kind": 0, "arguments": ["1","2","3","4","5","6","7","8","9"]}]}})"}},
       "at most 8 arguments"},
      {"unsafe name in the order", {{"game.json", R"({"order": {"rooms": ["../r"]}})"}, {"rooms/r.json", room}},
       "cannot be used as a resource name"},
  };
  for (const Case& c : cases) {
    const fs::path project = m_dir / "project";
    fs::remove_all(project);
    for (const auto& [file, text] : c.files) {
      fs::create_directories((project / file).parent_path());
      std::ofstream(project / file) << text;
    }
    fs::create_directories(project);
    const test::RRun r = Pack({"build", project.string(), "-o", (m_dir / "out.bin").string()});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(fs::exists(m_dir / "out.bin")) << c.name;
  }
}

TEST_F(PackTest, UnpackRefusesToWriteIntoAFolderInUse) {
  fs::create_directories(m_dir / "busy");
  std::ofstream(m_dir / "busy" / "keep.txt") << "mine";
  const std::string game = (m_dir / "g.bin").string();
  ASSERT_EQ(Pack({"build", (fs::path(TAVRIN_TESTS_DIR) / "games" / "world").string(), "-o", game}).status, 0);
  const test::RRun r = Pack({"unpack", game, (m_dir / "busy").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not empty"), std::string::npos);
  EXPECT_EQ(test::ReadFile(m_dir / "busy" / "keep.txt"), "mine");
}

}  // namespace
}  // namespace tavrin
