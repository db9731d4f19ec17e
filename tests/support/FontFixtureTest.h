// A test whose fonts all come from the fixture face (FontFixture.h): the
// font configuration points at it before each test and is put back after,
// and the faces already opened are forgotten both times. Skips the test
// when the face is not installed.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "graphics/Font_Raster.h"
#include "support/FontFixture.h"

namespace tavrin::test {

class FontFixtureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_fontDir = std::filesystem::temp_directory_path() / ("tavrin_fonts_" + std::to_string(::getpid()));
    const std::string conf = FontFixture_Make(m_fontDir);
    if (conf.empty()) GTEST_SKIP() << "the face " << kFixtureFaceFile << " is not installed";
    ::setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    FontRaster_Reset();
  }
  void TearDown() override {
    ::unsetenv("FONTCONFIG_FILE");
    FontRaster_Reset();
    std::filesystem::remove_all(m_fontDir);
  }
  std::filesystem::path m_fontDir;
};

}  // namespace tavrin::test
