// Fresh folders for tests, named after the process (and the test) so that
// parallel runs never meet:
// - FolderTest, a fixture: a folder for each test, made empty before it,
//   removed after it when it passed, kept for a look when it failed;
// - CWorkFolder, for tests that work inside a folder in this process, may
//   enter it and keep their own settings store there; removed at the end.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tavrin::test {

class FolderTest : public ::testing::Test {
 protected:
  explicit FolderTest(std::string prefix) : m_prefix(std::move(prefix)) {}
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("tavrin_" + m_prefix + "_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(m_dir);
  }

  std::filesystem::path m_dir;

 private:
  std::string m_prefix;
};

class CWorkFolder {
 public:
  enum : unsigned { kEnter = 1, kOwnStore = 2 };
  // `name` keeps folders of different tests apart; kEnter makes the folder
  // the working folder, kOwnStore points TAVRIN_HOME at its "home" folder
  // (not created). Both are put back at the end.
  explicit CWorkFolder(const std::string& name, unsigned what = 0)
      : m_path(std::filesystem::temp_directory_path() / ("tavrin_" + name + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
    if (what & kEnter) {
      m_old = std::filesystem::current_path();
      std::filesystem::current_path(m_path);
    }
    if (what & kOwnStore) {
      const char* home = std::getenv("TAVRIN_HOME");
      m_home = home ? std::optional<std::string>(home) : std::nullopt;
      ::setenv("TAVRIN_HOME", (m_path / "home").c_str(), 1);
      m_storeSet = true;
    }
  }
  ~CWorkFolder() {
    if (!m_old.empty()) std::filesystem::current_path(m_old);
    if (m_storeSet) {
      if (m_home) ::setenv("TAVRIN_HOME", m_home->c_str(), 1);
      else ::unsetenv("TAVRIN_HOME");
    }
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  CWorkFolder(const CWorkFolder&) = delete;
  CWorkFolder& operator=(const CWorkFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path Store() const { return m_path / "home"; }

 private:
  std::filesystem::path m_path, m_old;
  std::optional<std::string> m_home;
  bool m_storeSet = false;
};

}  // namespace tavrin::test
