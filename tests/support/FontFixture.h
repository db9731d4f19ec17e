// A font configuration that sees one face only: Liberation Sans Regular
// (from the fonts-liberation2 package), linked into a folder of its own with
// a fonts.conf naming that folder. With FONTCONFIG_FILE pointing at it,
// every family name finds that face, so glyphs and frames drawn from it are
// the same on every machine with that face file. Header-only.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace tavrin::test {

inline const char* kFixtureFaceFile = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// Makes the folder `dir` with the face and its fonts.conf; the path of the
// fonts.conf, or "" when the face file is not installed (tests then skip).
inline std::string FontFixture_Make(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  if (!fs::exists(kFixtureFaceFile)) return {};
  fs::create_directories(dir / "cache");
  std::error_code ec;
  fs::create_symlink(kFixtureFaceFile, dir / "LiberationSans-Regular.ttf", ec);
  const fs::path conf = dir / "fonts.conf";
  std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n  <dir>"
                      << dir.string() << "</dir>\n  <cachedir>" << (dir / "cache").string()
                      << "</cachedir>\n</fontconfig>\n";
  return conf.string();
}

}  // namespace tavrin::test
