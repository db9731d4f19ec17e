// The runner as a player meets it: started on good, damaged and foreign
// files, headless, judged by its messages, exit status and trace log.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "package/Package_Load.h"
#include "package/Support_File.h"
#include "package/DataNew_Class.h"
#include "runner/Runner_GameData.h"
#include "script/Script_Class.h"
#include "script/Script_Package.h"
#include "support/TestProcess.h"
#include "world/Object_Class.h"
#include "world/Room_Class.h"
#include "package/Package_Data.h"
#include "world/World_Data.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

const std::string kBanner =
    std::string(86, '*') + "\n               Tavrin Runner v8.1.141.11549\n" + std::string(86, '*') + "\n";

class RunnerEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("tavrin_e2e_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  // Writes a package file of `game` with one room added, first in the room
  // order (the smallest playable game); `payloadEdit` may damage the plain
  // payload first, and `damage` the game's own section writers.
  std::string WriteGame(const std::string& name, RGameData game = {}, int32_t version = kPackageVersion,
                        const std::function<void(CStream&)>& payloadEdit = {},
                        const std::function<void(std::vector<RPackageSection>&)>& damage = {}) {
    game.package.identity.gameId = 77;
    game.world.rooms.Add(std::make_unique<CRoom>(), "room0");
    game.world.roomOrder = {0};
    std::vector<RPackageSection> sections = Game_Sections(game);
    if (damage) damage(sections);
    CPackRandom random(11);
    CStream payload = Package_WritePayload(RPackageHeader{}, game.package, sections, random);
    if (payloadEdit) payloadEdit(payload);
    CStream file;
    Package_WriteContainer(file, version, payload, random);
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(file.SaveToFile(path));
    return path;
  }

  test::RRun Play(const std::vector<std::string>& args, std::vector<std::string> env = {}) {
    // Every game here ends after its first step.
    std::vector<std::string> argv = {TAVRIN_EXE, "--headless", "--steps", "1", "--fixed-clock"};
    argv.insert(argv.end(), args.begin(), args.end());
    env.push_back("TAVRIN_HOME=" + m_dir.string());
    return test::RunProgram(argv, env);
  }

  fs::path m_dir;
};

TEST_F(RunnerEndToEnd, FilesThatAreNoGameEndWithTheirMessage) {
  const std::string good = WriteGame("good.bin");
  std::vector<uint8_t> bytes;
  {
    CStream s;
    ASSERT_TRUE(s.LoadFromFile(good));
    bytes = s.Bytes();
  }
  auto save = [&](const std::string& name, const std::vector<uint8_t>& b) {
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(CStream(b).SaveToFile(path));
    return path;
  };
  std::vector<uint8_t> flipped = bytes;
  flipped[kPackageScanStart + 30] ^= 0x80;
  const std::vector<uint8_t> cutHeader(bytes.begin(), bytes.begin() + long(kPackageScanStart) + 17);
  const std::vector<uint8_t> noMarker(kPackageScanStart + 1000, 0x11);
  const std::string cutContent = WriteGame("cut.bin", {}, kPackageVersion, [](CStream& p) { p.Bytes().resize(p.Size() - 9); });

  struct Case {
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {(m_dir / "missing.bin").string(), "tavrin: no game file " + (m_dir / "missing.bin").string() + "; see tavrin --help"},
      {save("nomarker.bin", noMarker), "Error: Not a valid game file."},
      {save("flipped.bin", flipped), "Error: Not a valid game file."},
      {save("cutheader.bin", cutHeader), "Failed to load the game data. File seems corrupted."},
      {cutContent, "Failed to load the game data. File seems corrupted."},
      {WriteGame("v809.bin", {}, 809), "Error: Wrong version number."},
  };
  for (const Case& c : cases) {
    const test::RRun r = Play({c.file});
    EXPECT_EQ(r.status, 1) << c.file;
    EXPECT_EQ(r.err, std::string(c.message) + "\n") << c.file;
  }
}

TEST_F(RunnerEndToEnd, DamagedSectionsEndLoadingWithTheResourceError) {
  const std::string resourceError = "Error: Error in resource data.\n";
  struct Case {
    std::string name;
    std::function<void(std::vector<RPackageSection>&)> damage;
    std::string messages;
  };
  std::vector<Case> cases;
  // Every section begins with its version: a wrong one fails that section.
  RGameData names;
  const std::vector<RPackageSection> order = Game_Sections(names);
  for (size_t i = 0; i < order.size(); ++i) {
    cases.push_back({std::string("wrong version of section \"") + order[i].text + "\"",
                     [i](std::vector<RPackageSection>& s) {
                       auto write = s[i].write;
                       s[i].write = [write](CStream& content) {
                         const size_t at = content.Size();
                         write(content);
                         content.Seek(at);
                         const int32_t version = content.ReadInteger();
                         content.Seek(at);
                         content.WriteInteger(version + 1);
                         content.Seek(content.Size());
                       };
                     },
                     i == 0 ? "Error in loading extension packages.\n" + resourceError : resourceError});
  }
  auto replace = [](const char* text, std::function<void(CStream&)> write) {
    return [text, write](std::vector<RPackageSection>& s) {
      for (RPackageSection& section : s)
        if (std::string(section.text) == text) section.write = write;
    };
  };
  cases.push_back({"empty room order", replace("Loading room order", [](CStream& c) {
                     c.WriteInteger(700);
                     c.WriteInteger(0);
                   }), resourceError});
  cases.push_back({"room order naming a missing room", replace("Loading room order", [](CStream& c) {
                     c.WriteInteger(700);
                     c.WriteInteger(1);
                     c.WriteInteger(5);
                   }), resourceError});
  cases.push_back({"objects whose parents form a cycle", replace("Loading objects", [](CStream& c) {
                     CResourceList<CObject> objects;
                     for (int i = 0; i < 2; ++i) {
                       auto o = std::make_unique<CObject>();
                       o->o_parent = 1 - i;
                       objects.Add(std::move(o), "obj" + std::to_string(i));
                     }
                     Section_WriteList(c, objects);
                   }), resourceError});
  cases.push_back({"a truncated object item", replace("Loading objects", [](CStream& c) {
                     c.WriteInteger(800);
                     c.WriteInteger(1);
                     CStream item;
                     item.WriteBoolean(true);
                     item.WriteString("obj_cut");
                     item.WriteInteger(430);
                     item.WriteInteger(-1);  // the record stops after its sprite index
                     c.WriteStreamC(item);
                   }), "Failed to load the game data. File seems corrupted.\n"});

  for (const Case& c : cases) {
    const test::RRun r = Play({WriteGame("damaged.bin", {}, kPackageVersion, {}, c.damage)});
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.err, c.messages) << c.name;
  }
}

TEST_F(RunnerEndToEnd, IncludedFilesAreExportedAndOnlyTheirOwnRemoved) {
  auto file = [](const std::string& name, bool overwrite) {
    CDataFile d;
    d.s_filename = name;
    d.s_exists = d.s_store = true;
    d.s_data = CStream(std::vector<uint8_t>{'n', 'e', 'w'});
    d.s_size = 3;
    d.s_exportaction = 2;  // the working folder
    d.s_overwrite = overwrite;
    return d;
  };
  RGameData data;
  data.package.dataFiles = {file("fresh.txt", false), file("players.txt", false), file("../outside.txt", true),
                            file("sub/level.txt", false), file("kept.txt", false)};
  data.package.dataFiles.back().s_removeend = false;
  const std::string game = WriteGame("game.bin", std::move(data));
  fs::create_directories(m_dir / "work");
  std::ofstream(m_dir / "work" / "players.txt") << "old";
  std::ofstream(m_dir / "outside.txt") << "keep";

  const test::RRun r = test::RunProgram({TAVRIN_EXE, "--headless", "--steps", "1", game}, {"TAVRIN_HOME=" + m_dir.string()},
                                        (m_dir / "work").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadFile(m_dir / "work" / "kept.txt"), "new");     // exported, and asked to stay
  EXPECT_FALSE(fs::exists(m_dir / "work" / "fresh.txt"));         // exported, then removed at the end
  EXPECT_FALSE(fs::exists(m_dir / "work" / "sub" / "level.txt"));
  EXPECT_EQ(test::ReadFile(m_dir / "work" / "players.txt"), "old");  // not ours: neither replaced nor removed
  EXPECT_EQ(test::ReadFile(m_dir / "outside.txt"), "keep");          // a name leaving the folder is refused
}

TEST_F(RunnerEndToEnd, ConstantsAndScriptsArePreparedOrFailTheirPhase) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> constants;
    std::string script;
    int status;
    std::vector<std::string> says;
  };
  const Case cases[] = {
      {{{"LIMIT", "10"}, {"DOUBLE", "LIMIT * 2"}}, "return argument0", 0, {}},
      {{{" 1st", "1"}}, "", 1, {"Constant name 1st  is not valid.\nFailed to define the constants.\n"}},
      {{{"BAD", "1 +"}}, "", 1, {"Value for constant BAD  is not valid.\nFailed to define the constants.\n"}},
      {{}, "x = = 1", 1, {"COMPILATION ERROR in Script: scr_broken", "Failed to compile the scripts.\n"}},
  };
  for (const Case& c : cases) {
    RGameData data;
    data.script.constants = c.constants;
    if (!c.script.empty()) data.script.scripts.Add("scr_broken", c.script);
    const std::string game = WriteGame("game.bin", std::move(data));
    const test::RRun r = Play({game});
    EXPECT_EQ(r.status, c.status) << c.script << r.err;
    for (const std::string& text : c.says) EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
  }
}

TEST_F(RunnerEndToEnd, TraceLogStartsWithTheBannerAndGrowsRunByRun) {
  const std::string game = WriteGame("game.bin");
  ASSERT_EQ(Play({game}, {"VXLOG_TRACE=1"}).status, 0);
  const std::string first = test::ReadFile(m_dir / "Trace.log");
  ASSERT_EQ(first.substr(0, kBanner.size()), kBanner);
  // Every loading and preparing step, in order.
  size_t at = kBanner.size();
  std::vector<std::string> steps = {"Reading data", "Loading"};
  RGameData names;
  for (const RPackageSection& s : Game_Sections(names)) steps.push_back(s.text);
  for (const char* s : {"Extracting included files", "Preparing extension packages", "Preparing constants",
                        "Preparing triggers", "Compiling scripts", "Compiling time line actions",
                        "Compiling object actions", "Preparing sounds", "Preparing graphics", "Ready"})
    steps.push_back(s);
  for (const std::string& step : steps) {
    const size_t found = first.find("\n" + step + "\n", at - 1);
    ASSERT_NE(found, std::string::npos) << step;
    at = found + step.size() + 2;
  }
  EXPECT_EQ(steps.size(), 2 + 16 + 10u);

  ASSERT_EQ(Play({"--VXTrace", game}).status, 0);
  const std::string second = test::ReadFile(m_dir / "Trace.log");
  EXPECT_EQ(second.substr(0, first.size()), first);
  EXPECT_EQ(second.substr(first.size(), kBanner.size()), kBanner);

  // The switch as the last argument, or the variable set to anything but 1,
  // leaves the log alone.
  ASSERT_EQ(Play({game, "--VXTrace"}, {"VXLOG_TRACE=yes"}).status, 0);
  EXPECT_EQ(test::ReadFile(m_dir / "Trace.log"), second);
}

TEST_F(RunnerEndToEnd, AnUnwritableTraceLogDoesNotStopTheGame) {
  const std::string game = WriteGame("game.bin");
  fs::create_directory(m_dir / "Trace.log");  // cannot be opened as a file, even by root
  const test::RRun r = Play({game}, {"VXLOG_TRACE=1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

TEST_F(RunnerEndToEnd, StandaloneGameRunsWithNoArgumentsAndLeavesNoTempFolder) {
  fs::create_directories(m_dir / "project" / "rooms");
  std::ofstream(m_dir / "project" / "game.json") << R"({"game_id": 5, "settings": {"loadalpha": 200}})";
  std::ofstream(m_dir / "project" / "rooms" / "room_first.json") << R"({"caption": "First"})";
  const std::string exe = (m_dir / "mygame").string();
  const test::RRun packed = test::RunProgram({TAVRIN_PACK_EXE, "build", (m_dir / "project").string(), "-o", exe, "--exe"});
  ASSERT_EQ(packed.status, 0) << packed.err;

  std::ofstream(m_dir / "tempdir.txt") << (m_dir / "temp").string() << "\n";
  const test::RRun r = test::RunProgram({exe, "--headless", "--steps", "1"}, {"TAVRIN_OPTIONS=--headless --steps 1"});
  EXPECT_EQ(r.status, 0) << r.err;
  // The game made its temporary folder where tempdir.txt said, and removed it.
  EXPECT_TRUE(fs::exists(m_dir / "temp"));
  EXPECT_TRUE(fs::is_empty(m_dir / "temp"));

  const test::RRun bad = test::RunProgram({exe}, {"TAVRIN_OPTIONS=--headless --no-such-option"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("TAVRIN_OPTIONS"), std::string::npos);
}

}  // namespace
}  // namespace tavrin
