// The rooms of tests/games/render played headless with a fixed clock and
// their frames held to golden pictures: the room colour and a tiled
// background layer; tiles and instances (one tinted, one drawn by its draw
// event) merged by depth; a moving sprite with transparent pixels; and, in
// the second room, a view that follows the moving instance. Nothing in these
// frames is scaled, turned or filtered, so they must match exactly.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/GoldenFrame.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

TEST(RenderGame, FramesMatchTheirGoldenPictures) {
  const fs::path dir = fs::temp_directory_path() / ("tavrin_render_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path project = fs::path(TAVRIN_TESTS_DIR) / "games" / "render";
  const std::string game = (dir / "render.bin").string();
  ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game}).status, 0);
  const test::RRun r = test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "16", "--frames",
                                         (dir / "frames").string(), game},
                                        {"TAVRIN_HOME=" + dir.string()}, dir.string());
  ASSERT_EQ(r.status, 0) << r.err;
  // Step 1 and 4: the first room, the arrow moving right; 9 and 16: the
  // second room, its view still, then moved after the arrow.
  for (const char* frame : {"frame-000001.png", "frame-000004.png", "frame-000009.png", "frame-000016.png"}) {
    SCOPED_TRACE(frame);
    EXPECT_EQ(test::Golden_Compare(dir / "frames" / frame, project / "frames" / frame, 0, dir / "failures"), "");
  }
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
