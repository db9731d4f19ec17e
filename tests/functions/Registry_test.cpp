// The registry functions over the settings store, played through `tavrin
// --code` with a store of the test's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "script/Conformance.h"
#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin::test {
namespace {

class RegistryCode : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(m_dir); }
  std::string Store() const { return ReadFile(m_dir / "settings.txt"); }
  CWorkFolder m_folder{"registry", CWorkFolder::kOwnStore};
  fs::path m_dir = m_folder.Store();
};

TEST_F(RegistryCode, TheGameKeyAndKeysOfTheGamesChoosing) {
  RunTable({
      {"texts and reals in the game's key, names in any case, other types read as nothing",
       Show({"registry_exists('name')"}) + "registry_write_string('Name', 'Zoë'); registry_write_real('Best', -12.75);\n" +
           Show({"registry_read_string('NAME')", "registry_read_real('best')", "registry_read_real('name')",
                 "'[' + registry_read_string('best') + ']'", "registry_exists('name')", "registry_read_real('none')"}),
       "0\nZoë\n-12.75\n0\n[]\n1\n0\n", ""},
      {"the _ext functions work under the root chosen last; any other number is the current user's",
       "registry_set_root(1); registry_write_string_ext('\\Software\\Other', 'v', 'machine');\n"
       "registry_set_root(7); registry_write_string_ext('Software\\Other', 'v', 'user');\n" +
           Show({"registry_read_string_ext('software\\other\\', 'V')", "registry_exists_ext('Made\\Here', 'x')"}) +
           "registry_set_root(1);\n" + Show({"registry_read_string_ext('Software\\Other', 'v')"}),
       "user\n0\nmachine\n", ""},
  });
  const std::string store = Store();
  EXPECT_NE(store.find("key \"HKEY_CURRENT_USER\\Software\\Tavrin\\0\"\ntext \"Name\" \"Zoë\"\nbinary \"Best\" 00000000008029c0\n"),
            std::string::npos)
      << store;
  EXPECT_NE(store.find("key \"HKEY_CURRENT_USER\\Made\\Here\""), std::string::npos);
}

TEST_F(RegistryCode, BinaryValuesOfAnotherLengthReadAsNothing) {
  std::ofstream(m_dir / "settings.txt") << "key \"HKEY_CURRENT_USER\\Software\\Tavrin\\0\"\n"
                                           "binary \"short\" 0000f03f\n"
                                           "binary \"long\" 000000000000f03f00\n"
                                           "binary \"one\" 000000000000f03f\n";
  RunTable({{"only eight bytes are a real",
             Show({"registry_read_real('short')", "registry_read_real('long')", "registry_read_real('one')"}),
             "0\n0\n1\n", ""}});
}

TEST_F(RegistryCode, SecureModeWritesOnlyTheGamesOwnKey) {
  std::ofstream(m_dir / "settings.txt") << "key \"HKEY_CURRENT_USER\\Software\\Tavrin\\Version 8.1\\Preferences\"\n"
                                           "number \"Warning\" 1\nnumber \"TavrinRunning\" 0\n";
  RunTable({{"both preferences must be on", Show({"secure_mode"}), "0\n", ""}});
  std::ofstream(m_dir / "settings.txt") << "key \"HKEY_CURRENT_USER\\Software\\Tavrin\\Version 8.1\\Preferences\"\n"
                                           "number \"Warning\" 1\ntext \"TavrinRunning\" \"1\"\n";
  RunTable({{"the game's key is written; any other is refused, and not made by asking",
             "registry_write_real('ok', 1); registry_write_string_ext('Software\\X', 'a', 'b');\n" +
                 Show({"secure_mode", "registry_read_real('ok')", "registry_exists_ext('Software\\Y', 'a')"}),
             "1\n1\n0\n", ActionError("In Secure mode you cannot write registry entries in Software\\X")}});
  EXPECT_EQ(Store().find("Software\\X"), std::string::npos);
  EXPECT_EQ(Store().find("Software\\Y"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::test
