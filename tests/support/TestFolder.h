// A fresh folder for each test of a fixture, named after the test and the
// process (so parallel runs never meet): made empty before the test, removed
// after it when it passed, kept for a look when it failed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
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

}  // namespace tavrin::test
