// The temporary folder: where it is made, and that removing it never reaches
// outside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "package/Support_TempDir.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = fs::temp_directory_path() / ("tavrin_tempdir_test_" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root / "game");
  }
  void TearDown() override {
    RemoveTempDir();
    fs::remove_all(m_root);
  }
  fs::path m_root;
};

TEST_F(TempDirTest, TempdirTxtChoosesTheBaseAndRemovalTakesEverything) {
  std::ofstream(m_root / "game" / "tempdir.txt") << (m_root / "base").string() << "\r\nignored\n";
  ASSERT_TRUE(CreateTempDir((m_root / "game").string()));
  const fs::path dir = TempDir();
  EXPECT_EQ(dir.parent_path(), m_root / "base");  // missing parents are made
  EXPECT_EQ(dir.filename().string().rfind("qv_ttt_", 0), 0u);

  const std::string file = TempFileName(".wav");
  EXPECT_EQ(fs::path(file).parent_path(), dir);
  EXPECT_EQ(fs::path(file).extension(), ".wav");
  EXPECT_FALSE(fs::exists(file));  // named, not created
  fs::create_directories(dir / "sub" / "deeper");
  std::ofstream(dir / "sub" / "deeper" / "x.bin") << "x";
  std::ofstream(file) << "y";

  RemoveTempDir();
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_TRUE(TempDir().empty());
}

TEST_F(TempDirTest, RemovalDoesNotFollowLinksOutOfTheFolder) {
  ASSERT_TRUE(CreateTempDir((m_root / "game").string()));
  const fs::path outside = m_root / "precious";
  fs::create_directories(outside);
  std::ofstream(outside / "save.dat") << "keep me";
  fs::create_directory_symlink(outside, fs::path(TempDir()) / "link");
  fs::create_symlink(outside / "save.dat", fs::path(TempDir()) / "filelink");

  RemoveTempDir();
  EXPECT_TRUE(fs::exists(outside / "save.dat"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(m_root / "game")) && fs::exists(TempDir()));
}

TEST_F(TempDirTest, NothingIsRemovedThatThisRunDidNotCreate) {
  // Without a folder of its own, removal does nothing, however often asked.
  RemoveTempDir();
  RemoveTempDir();
  EXPECT_TRUE(fs::exists(m_root / "game"));

  // Removing a tree keeps entries whose path is only a textual prefix match.
  fs::create_directories(m_root / "tree");
  fs::create_directories(m_root / "tree2");
  std::ofstream(m_root / "tree2" / "other") << "z";
  TempDir_RemoveTree((m_root / "tree").string());
  EXPECT_FALSE(fs::exists(m_root / "tree"));
  EXPECT_TRUE(fs::exists(m_root / "tree2" / "other"));
}

TEST_F(TempDirTest, AnUnusableBaseFallsBackToTheSystemFolder) {
  std::ofstream(m_root / "game" / "tempdir.txt") << "/proc/no/such/place\n";
  ASSERT_TRUE(CreateTempDir((m_root / "game").string()));
  EXPECT_EQ(fs::path(TempDir()).parent_path(), "/tmp");
}

}  // namespace
}  // namespace tavrin
