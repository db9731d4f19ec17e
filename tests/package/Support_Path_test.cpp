// Game paths through the path layer: separators, letter case, drives and
// names that leave the working folder, in and out of secure mode.
#include "package/Support_Path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "package/DataNew_Class.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class GamePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(m_dir / "Data" / "Sub");
    fs::create_directories(m_dir / "music");
    std::ofstream(m_dir / "Data" / "Sub" / "Level1.TXT") << "1";
    std::ofstream(m_dir / "music" / "Song.ogg") << "1";
    std::ofstream(m_dir / "music" / "SONG.ogg") << "2";  // two entries differing in case only
  }
  void TearDown() override { g_SecureMode = false; }
  test::CWorkFolder m_folder{"paths", test::CWorkFolder::kEnter};
  fs::path m_dir = m_folder.Path();
};

TEST_F(GamePaths, NamesFindTheirFilesAndSecureModeKnowsWhichLeave) {
  const struct {
    const char* game;
    const char* host;    // "" when the name cannot be placed
    bool leaves;         // refused for writing in secure mode
  } cases[] = {
      {"save.txt", "save.txt", false},
      {"data\\sub\\level1.txt", "Data/Sub/Level1.TXT", true},   // backslashes, any case
      {"DATA/SUB/LEVEL1.TXT", "Data/Sub/Level1.TXT", true},
      {"Data\\Sub\\new.txt", "Data/Sub/new.txt", true},         // a new file in a found folder
      {"data\\missing\\Level1.txt", "Data/missing/Level1.txt", true},  // below a missing folder: as written
      {"music\\song.ogg", "music/SONG.ogg", true},              // the first in byte order of two
      {"music\\Song.ogg", "music/Song.ogg", true},              // the exact name first
      {"data\\", "Data/", true},
      {"..\\up.txt", "../up.txt", true},
      {"..", "..", true},
      {"data\\..\\..\\x", "Data/../../x", true},
      {"C:\\temp\\x.txt", "/temp/x.txt", true},                 // the one drive is the root
      {"c:/", "/", true},
      {"C:x.txt", "x.txt", true},                               // the drive's own folder: here
      {"D:\\x.txt", "", true},                                  // any other drive: nowhere
      {"\\\\server\\share\\x", "", true},                       // another machine
      {"/etc/passwd", "/etc/passwd", true},
      {"\\etc\\passwd", "/etc/passwd", true},
      {"", "", false},
      {"a:b", "", true},                                        // drive A:, relative
      {"save:1.txt", "save:1.txt", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.game);
    EXPECT_EQ(Path_FromGame(c.game), c.host);
    EXPECT_EQ(Path_LeavesFolder(c.game), c.leaves);
    g_SecureMode = false;
    EXPECT_FALSE(Path_SecureRefuses(c.game));
    g_SecureMode = true;
    EXPECT_EQ(Path_SecureRefuses(c.game), c.leaves);
  }
}

}  // namespace
}  // namespace tavrin
