// Saved games, played headless with a fixed clock.
//
// tests/games/saves saves at the start of its tenth step and loads that save
// at the start of its sixteenth: the game that goes on after the load must
// print exactly what the game printed after the save (positions, alarms,
// paths, time lines, variables, score, lives, health, new ids, and a
// persistent room left and entered again). A counter kept in a data
// structure, which saves leave alone, tells the steps apart.
//
// A small game then loads one damaged copy of its own save per step: every
// one must be refused and leave the game as it was; the sound copy, loaded
// last, shows the refusals were the damage's doing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class SavedGames : public test::FolderTest {
 protected:
  SavedGames() : FolderTest("saves") {}

  std::string Pack(const fs::path& project) {
    const std::string game = (m_dir / (project.filename().string() + ".bin")).string();
    const test::RRun packed = test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game});
    EXPECT_EQ(packed.status, 0) << packed.err;
    return game;
  }
  test::RRun Play(const std::string& game, int steps) {
    return test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--seed", "3", "--steps",
                             std::to_string(steps), game},
                            {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
  }
  fs::path Project(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
    const fs::path dir = m_dir / name;
    for (const auto& [file, text] : files) {
      fs::create_directories((dir / file).parent_path());
      std::ofstream(dir / file) << text;
    }
    return dir;
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(SavedGames, TheLoadedGameGoesOnExactlyAsTheSavedOneDid) {
  const std::string game = Pack(fs::path(TAVRIN_TESTS_DIR) / "games" / "saves");
  const test::RRun r = Play(game, 24);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  // After the save: t=10, 11, 13 (in the other room), 15 (back), then the
  // load at the start of step 16 (which prints nothing); the same four
  // lines again, and the game goes on.
  const auto first = std::find_if(lines.begin(), lines.end(), [](auto& l) { return l.rfind("t=10 ", 0) == 0; });
  ASSERT_NE(first, lines.end()) << r.out;
  const std::vector<std::string> saved(first, first + 4);
  const auto again = std::find_if(first + 1, lines.end(), [](auto& l) { return l.rfind("t=10 ", 0) == 0; });
  ASSERT_NE(again, lines.end()) << r.out;
  ASSERT_GE(lines.end() - again, 6) << r.out;
  EXPECT_EQ(std::vector<std::string>(again, again + 4), saved);
  EXPECT_EQ(saved[2].rfind("t=13 room 1 ", 0), 0u) << "the persistent room was entered again";
  EXPECT_NE(saved[2].find(" 100013 "), std::string::npos) << "a new instance got the id it got before";
  EXPECT_EQ(again[4].rfind("t=16 ", 0), 0u);
}

// Field positions in the small game's save, for the damage that needs them.
struct RLayout {
  size_t declaredCount = 56;  // after the fixed game values and the empty global list
  size_t variableCount = 52;
  size_t roomSlots = 0, instanceCount = 0;
};

int32_t IntAt(const std::string& bytes, size_t at) {
  int32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}
void PutInt(std::string& bytes, size_t at, int32_t v) { std::memcpy(bytes.data() + at, &v, 4); }

RLayout Layout(const std::string& bytes) {
  RLayout l;
  l.roomSlots = l.declaredCount + 4 + 4 * size_t(IntAt(bytes, l.declaredCount));
  size_t at = l.roomSlots + 4 + 4 + 4;  // slot count, present, room version
  at += 4 + size_t(IntAt(bytes, at));   // caption
  at += 6 * 4;                          // width, height, speed, persistent, colour, flags
  at += 4 + size_t(IntAt(bytes, at));   // creation code
  at += 4 + 8 * 80;                     // the background layers
  at += 4 + 4 + 8 * 64;                 // views enabled, the views
  l.instanceCount = at;
  return l;
}

// The small game: at the start of every step it prints where it stands and
// counts one up; it saves in its first step, then loads one file a step (its
// `loads` in order). A data structure counts the steps, since a save never
// touches those. A load asked for skips the rest of its step, the motion
// included, so only the count goes on while loads are refused.
std::vector<std::pair<std::string, std::string>> DamageGame(const std::vector<std::string>& loads) {
  std::string list;
  for (const std::string& f : loads) list += "ds_list_add(files, '" + f + "'); ";
  return {{"game.json", R"({ "game_id": 77, "room_order": ["rm_t"] })"},
          {"rooms/rm_t.json",
           R"({ "width": 32, "height": 32, "instances": [ { "x": 4, "y": 4, "object": "obj_t", "id": 100001 } ] })"},
          {"objects/obj_t.json",
           R"J({ "events": {
  "create": "steps = ds_list_create(); ds_list_add(steps, 0); files = ds_list_create()\n)J" + list +
               R"J(hspeed = 1; count = 7; list[3] = 'kept'",
  "step:1": "show_debug_message(string(x) + ' ' + string(count) + ' ' + list[3])\ncount += 1\nvar k; k = ds_list_find_value(steps, 0); ds_list_replace(steps, 0, k + 1)\nif (k == 0) game_save('good.sav') else if (k <= ds_list_size(files)) game_load(ds_list_find_value(files, k - 1))" } })J"}};
}

TEST_F(SavedGames, DamagedSavesAreRefusedAndChangeNothing) {
  ASSERT_EQ(Play(Pack(Project("first", DamageGame({}))), 1).status, 0);
  const std::string good = test::ReadFile(m_dir / "good.sav");
  ASSERT_GT(good.size(), 1000u);
  const RLayout at = Layout(good);
  ASSERT_EQ(IntAt(good, at.roomSlots), 1);
  ASSERT_EQ(IntAt(good, at.instanceCount), 1);

  std::vector<std::string> bad;
  auto add = [&](std::string bytes) {
    const std::string name = "bad" + std::to_string(bad.size()) + ".sav";
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
    bad.push_back(name);
  };
  // Cut short anywhere: in the game values, the globals, the room record, the
  // instance, the id counters at the very end.
  std::vector<size_t> cuts;
  for (size_t n = 0; n < 64; ++n) cuts.push_back(n);
  for (size_t n = at.roomSlots - 4; n < at.instanceCount + 400 && n < good.size(); n += 3) cuts.push_back(n);
  for (size_t n = 1; n <= 8; ++n) cuts.push_back(good.size() - n);
  for (size_t n : cuts) add(good.substr(0, n));
  // Counts far beyond the file.
  for (size_t field : {at.variableCount, at.declaredCount, at.roomSlots, at.instanceCount}) {
    std::string huge = good;
    PutInt(huge, field, 0x7FFFFFFF);
    add(huge);
  }
  // No current room: the saved room index beyond the table.
  std::string noRoom = good;
  PutInt(noRoom, 8, 5);
  add(noRoom);
  const size_t damaged = bad.size();
  std::string otherVersion = good, otherGame = good;
  PutInt(otherVersion, 0, 541);
  PutInt(otherGame, 4, 78);
  add(otherVersion);
  add(otherGame);
  bad.push_back("missing.sav");  // no such file: nothing at all happens
  bad.push_back("good.sav");

  const test::RRun r = Play(Pack(Project("second", DamageGame(bad))), int(bad.size()) + 2);
  ASSERT_EQ(r.status, 0) << r.err;
  // The first step moves the instance; then every step counts one up, the
  // loads of damaged files notwithstanding; the good save, loaded last, puts
  // it back as it was saved (counted once, not yet moved).
  std::string expected = "4 7 kept\n";
  for (size_t k = 1; k <= bad.size(); ++k) expected += "5 " + std::to_string(7 + k) + " kept\n";
  expected += "4 8 kept\n";
  EXPECT_EQ(r.out, expected);
  size_t refusals = 0;
  for (size_t p = 0; (p = r.err.find("Failed to load game from file bad", p)) != std::string::npos; ++p) ++refusals;
  EXPECT_EQ(refusals, damaged);
  EXPECT_NE(r.err.find("Cannot load game saved with other version."), std::string::npos);
  EXPECT_NE(r.err.find("This is a save file for a different game!"), std::string::npos);
  EXPECT_EQ(r.err.find("missing.sav"), std::string::npos);
}

TEST_F(SavedGames, F5SavesAndF6LoadsAtOnceAndSecureModeKeepsSavesInTheFolder) {
  const std::string game = Pack(Project(
      "keys", {{"game.json", R"({ "game_id": 61, "room_order": ["rm_k"] })"},
               {"rooms/rm_k.json",
                R"({ "width": 32, "height": 32, "instances": [ { "x": 4, "y": 4, "object": "obj_k", "id": 100001 } ] })"},
               {"objects/obj_k.json", R"J({ "events": {
  "create": "hspeed = 1\ngame_save('sub/x.sav')\ngame_save('C:y.sav')\ngame_save('..')\ngame_save('here.sav')",
  "step:1": "show_debug_message(x)" } })J"}}));
  std::ofstream(m_dir / "play.txt") << "3 key down vk_f5\n3 key up vk_f5\n6 key down vk_f6\n6 key up vk_f6\n";
  // The player's secure mode, as the settings store keeps it.
  std::ofstream(m_dir / "settings.txt") << "key \"HKEY_CURRENT_USER\\Software\\Tavrin\\Version 8.1\\Preferences\"\n"
                                           "number \"Warning\" 1\n";
  fs::create_directories(m_dir / "sub");
  const test::RRun r = test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "7", "--input",
                                         (m_dir / "play.txt").string(), game},
                                        {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
  ASSERT_EQ(r.status, 0) << r.err;
  // Saved by F5 before step 3 ran; loaded by F6 before step 6, which then
  // runs on the loaded game.
  EXPECT_EQ(r.out, "4\n5\n6\n7\n8\n6\n7\n");
  EXPECT_TRUE(fs::is_regular_file(m_dir / "_save61.sav"));
  for (const char* refused : {"sub/x.sav", "C:y.sav", ".."})
    EXPECT_NE(r.err.find(std::string("In secure mode you cannot save game to file ") + refused), std::string::npos)
        << refused << "\n" << r.err;
  EXPECT_FALSE(fs::exists(m_dir / "sub" / "x.sav"));
  EXPECT_FALSE(fs::exists(m_dir / "y.sav"));
  EXPECT_TRUE(fs::is_regular_file(m_dir / "here.sav"));
}

}  // namespace
}  // namespace tavrin
