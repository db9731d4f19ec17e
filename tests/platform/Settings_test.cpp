// The settings store: typed values under keys, names in any case, damaged
// lines, two processes writing at once, and a process killed mid-write.
#include "platform/Platform_Settings.h"

#include "support/TestFolder.h"
#include "support/TestProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class SettingsStore : public ::testing::Test {
 protected:
  static RSettingValue Text(std::string s) { return {RSettingValue::Text, std::move(s), 0}; }
  static std::string ReadText(const char* key, const char* name) {
    RSettingValue v;
    return Settings_Read("HKEY_CURRENT_USER", key, name, v) && v.type == RSettingValue::Text ? v.bytes : "<none>";
  }
  test::CWorkFolder m_folder{"settings", test::CWorkFolder::kOwnStore};  // the store's folder is made by the first write
  fs::path m_dir = m_folder.Path();
};

TEST_F(SettingsStore, TypedValuesUnderKeysInAnyCase) {
  EXPECT_EQ(Settings_Folder(), (m_dir / "home").string());
  EXPECT_FALSE(Settings_KeyExists("HKEY_CURRENT_USER", "Software\\Game"));
  ASSERT_TRUE(Settings_Write("HKEY_CURRENT_USER", "\\Software\\Game\\", "Name", Text("Ann \"%\"\n\\ü")));
  ASSERT_TRUE(Settings_Write("HKEY_CURRENT_USER", "software\\GAME", "Level", {RSettingValue::Number, {}, 4000000000u}));
  ASSERT_TRUE(Settings_Write("HKEY_CURRENT_USER", "Software\\Game", "Blob", {RSettingValue::Binary, std::string("\0\xff\x01", 3), 0}));
  ASSERT_TRUE(Settings_Write("HKEY_LOCAL_MACHINE", "Software\\Game", "Name", Text("machine")));
  ASSERT_TRUE(Settings_Write("HKEY_CURRENT_USER", "Software\\Game", "NAME", Text("Bo")));  // the same value
  ASSERT_TRUE(Settings_CreateKey("HKEY_USERS", "Empty\\Key"));

  EXPECT_EQ(ReadText("SOFTWARE\\game", "name"), "Bo");
  RSettingValue v;
  ASSERT_TRUE(Settings_Read("HKEY_CURRENT_USER", "Software\\Game", "level", v));
  EXPECT_EQ(v.type, RSettingValue::Number);
  EXPECT_EQ(v.number, 4000000000u);
  ASSERT_TRUE(Settings_Read("HKEY_CURRENT_USER", "Software\\Game", "blob", v));
  EXPECT_EQ(v.type, RSettingValue::Binary);
  EXPECT_EQ(v.bytes, std::string("\0\xff\x01", 3));
  ASSERT_TRUE(Settings_Read("HKEY_LOCAL_MACHINE", "Software\\Game", "name", v));
  EXPECT_EQ(v.bytes, "machine");
  EXPECT_TRUE(Settings_KeyExists("HKEY_USERS", "empty\\key"));
  EXPECT_FALSE(Settings_Read("HKEY_USERS", "empty\\key", "x", v));

  ASSERT_TRUE(Settings_Write("HKEY_CURRENT_USER", "Software\\Game", "Name", Text("Ann \"%\"\n\\ü")));
  EXPECT_EQ(ReadText("Software\\Game", "Name"), "Ann \"%\"\n\\ü");
}

TEST_F(SettingsStore, DamagedLinesAreLeftOutAndTheRestRead) {
  fs::create_directories(m_dir / "home");
  std::ofstream(m_dir / "home" / "settings.txt") << "text \"orphan\" \"x\"\n"
                                                    "key \"HKEY_CURRENT_USER\\A\"\n"
                                                    "text \"ok\" \"yes\"\n"
                                                    "text \"cut\" \"no end\n"
                                                    "binary \"odd\" abc\n"
                                                    "binary \"hex\" zz\n"
                                                    "number \"big\" 99999999999\n"
                                                    "colour \"c\" 1\n"
                                                    "text \"bad%\" \"%zz\"\n"
                                                    "key \"HKEY_CURRENT_USER\\B\n"
                                                    "text \"later\" \"fine\"\n";
  EXPECT_EQ(ReadText("A", "ok"), "yes");
  EXPECT_EQ(ReadText("A", "later"), "fine");  // a damaged key line starts no key
  for (const char* name : {"orphan", "cut", "odd", "hex", "big", "c", "bad%"}) EXPECT_EQ(ReadText("A", name), "<none>") << name;
}

TEST_F(SettingsStore, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kEach = 150;
  ASSERT_TRUE(Settings_CreateKey("HKEY_CURRENT_USER", "Race"));
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      bool ok = true;
      for (int i = 0; i < kEach; ++i)
        ok = Settings_Write("HKEY_CURRENT_USER", "Race", "p" + std::to_string(c) + "_" + std::to_string(i), Text(std::to_string(i))) && ok;
      ::_exit(ok ? 0 : 1);
    }
  }
  for (const pid_t child : children) {
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  int missing = 0;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < kEach; ++i)
      if (ReadText("Race", ("p" + std::to_string(c) + "_" + std::to_string(i)).c_str()) != std::to_string(i)) ++missing;
  EXPECT_EQ(missing, 0);
}

TEST_F(SettingsStore, AKilledWriteLeavesTheOldStoreWhole) {
  for (int delay : {3, 7, 12, 20, 31, 45}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int round = 1;; ++round) Settings_Write("HKEY_CURRENT_USER", "Big", "v", Text(std::string(200000, char('a' + round % 26))));
    }
    ::usleep(useconds_t(delay * 1000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string v = ReadText("Big", "v");
    if (v == "<none>") continue;  // killed before the first write
    ASSERT_EQ(v.size(), 200000u);
    EXPECT_EQ(v.find_first_not_of(v.front()), std::string::npos);
  }
}

// A write that fails halfway (the process reaches its file-size limit)
// leaves the old store whole and reports the failure.
TEST_F(SettingsStore, AWriteThatFailsHalfwayLeavesTheOldStoreWhole) {
  ASSERT_TRUE(Settings_Write("HKEY_CURRENT_USER", "Big", "v", Text(std::string(50000, 'a'))));
  const int status = test::RunWithFileLimit(
      100000, [] { return Settings_Write("HKEY_CURRENT_USER", "Big", "v", Text(std::string(200000, 'b'))) ? 1 : 0; });
  EXPECT_EQ(status, 0);  // the write said it failed
  EXPECT_EQ(ReadText("Big", "v"), std::string(50000, 'a'));
}

}  // namespace
}  // namespace tavrin
