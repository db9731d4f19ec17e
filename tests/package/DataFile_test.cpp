// Where included files go: names and folders from the package never leave
// the folder they are exported into.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "package/DataNew_Class.h"
#include "package/Support_TempDir.h"

namespace tavrin {
namespace {

// Exports as at the start of a game; secure mode is off in these tests.
bool Prepare(CDataFile& file) {
  std::string refusal;
  return file.Prepare(refusal);
}

TEST(IncludedFiles, ExportPathsStayInsideTheirFolder) {
  struct Case {
    int32_t action;
    const char* name;
    const char* folder;
    std::string path;  // "" refused
  };
  const Case cases[] = {
      {2, "level.txt", "", "level.txt"},
      {2, "data\\level.txt", "", "data/level.txt"},
      {2, "../level.txt", "", ""},
      {2, "data/../../x", "", ""},
      {2, "/etc/passwd", "", ""},
      {2, "\\\\server\\x", "", ""},
      {2, "", "", ""},
      {3, "level.txt", "saves", "saves/level.txt"},
      {3, "level.txt", "/home/player", ""},
      {3, "level.txt", "saves/../..", ""},
      {3, "level.txt", "", "level.txt"},
      {0, "level.txt", "", ""},
      {7, "level.txt", "", ""},
      {2, "..hidden", "", "..hidden"},  // only a whole ".." part climbs
  };
  for (const Case& c : cases) {
    CDataFile d;
    d.s_exportaction = c.action;
    d.s_filename = c.name;
    d.s_exportdir = c.folder;
    EXPECT_EQ(d.ExportPath(), c.path) << c.action << " " << c.name << " " << c.folder;
  }
}

namespace fs = std::filesystem;

// A working folder of its own (exports go relative to it) with a folder
// outside it that no export may reach.
class IncludedFilesOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = fs::temp_directory_path() / ("tavrin_datafiles_" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root / "work");
    fs::create_directories(m_root / "outside");
    m_saved = fs::current_path();
    fs::current_path(m_root / "work");
  }
  void TearDown() override {
    fs::current_path(m_saved);
    fs::remove_all(m_root);
  }
  static CDataFile File(const std::string& name, bool overwrite, bool removeEnd, int32_t action = 2,
                        const std::string& folder = "") {
    CDataFile d;
    d.s_filename = name;
    d.s_exportaction = action;
    d.s_exportdir = folder;
    d.s_overwrite = overwrite;
    d.s_removeend = removeEnd;
    d.s_freedata = false;
    d.s_exists = true;
    d.s_data.WriteString("from the game");
    return d;
  }
  static std::string Text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  fs::path m_root, m_saved;
};

// Symbolic links already in the folder cannot lead an export elsewhere: not
// through a linked folder on the way, nor through a link in the file's place.
TEST_F(IncludedFilesOnDisk, LinksInTheFolderCannotLeadAnExportOutside) {
  fs::create_directory_symlink(m_root / "outside", "linked");
  fs::create_symlink(m_root / "outside" / "target.txt", "trap.txt");
  struct Case {
    CDataFile file;
    bool exported;
  };
  Case cases[] = {
      {File("linked/a.txt", true, true), false},
      {File("linked/deeper/b.txt", true, true), false},
      {File("c.txt", true, true, 3, "linked"), false},
      {File("trap.txt", false, true), false},  // a link is a file already there
      {File("trap.txt", true, true), true},    // replaced by a plain file, put back at the end
      {File("ok/d.txt", true, true), true},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.file.s_filename);
    EXPECT_EQ(Prepare(c.file), c.exported);
    EXPECT_TRUE(fs::is_empty(m_root / "outside"));
  }
  EXPECT_FALSE(fs::is_symlink("trap.txt"));
  for (Case& c : cases) c.file.Remove();
  EXPECT_TRUE(fs::is_symlink("trap.txt"));
  EXPECT_FALSE(fs::exists("ok/d.txt"));
  EXPECT_TRUE(fs::is_empty(m_root / "outside"));
}

// A file of the player's that an export overwrites is there again after the
// game: the end removes only what this run wrote.
TEST_F(IncludedFilesOnDisk, ThePlayersOwnFileSurvivesTheGame) {
  struct Case {
    bool overwrite, removeEnd;
    const char* during;
    const char* after;
  };
  const Case cases[] = {
      {true, true, "from the game", "the player's"},
      {true, false, "from the game", "from the game"},  // the author replaces it for good
      {false, true, "the player's", "the player's"},
      {false, false, "the player's", "the player's"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.overwrite) + std::to_string(c.removeEnd));
    std::ofstream("save.txt", std::ios::binary) << "the player's";
    CDataFile file = File("save.txt", c.overwrite, c.removeEnd);
    Prepare(file);
    Prepare(file);  // exported again on the game's request
    EXPECT_EQ(Text("save.txt").find(c.during) != std::string::npos, true) << Text("save.txt");
    file.Remove();
    EXPECT_NE(Text("save.txt").find(c.after), std::string::npos) << Text("save.txt");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
  }
  // A run that ended without its clean-up left the player's file aside and
  // its own export in place: the next run keeps the one aside and puts it back.
  std::ofstream(".save.txt.kept", std::ios::binary) << "the player's";
  std::ofstream("save.txt", std::ios::binary) << "an old export";
  CDataFile file = File("save.txt", true, true);
  EXPECT_TRUE(Prepare(file));
  EXPECT_NE(Text(".save.txt.kept").find("the player's"), std::string::npos);
  file.Remove();
  EXPECT_NE(Text("save.txt").find("the player's"), std::string::npos) << Text("save.txt");
  EXPECT_FALSE(fs::exists(".save.txt.kept"));
}

}  // namespace
}  // namespace tavrin
