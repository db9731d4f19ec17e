// A test with its own empty temporary folder (removed afterwards) that runs
// tavrin-pack. Header-only; used by the tests of project folders.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestProcess.h"

namespace tavrin::test {

class CPackFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("tavrin_pack_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  RRun Pack(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {TAVRIN_PACK_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
  }
  std::filesystem::path m_dir;
};

}  // namespace tavrin::test
