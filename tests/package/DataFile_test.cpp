// Where included files go: names and folders from the package never leave
// the folder they are exported into.
#include <gtest/gtest.h>

#include "package/DataNew_Class.h"
#include "package/Support_TempDir.h"

namespace tavrin {
namespace {

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

}  // namespace
}  // namespace tavrin
