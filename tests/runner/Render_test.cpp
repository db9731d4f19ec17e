// The rooms of tests/games/render played headless with a fixed clock and
// their frames held to golden pictures: the room colour and a tiled
// background layer; tiles and instances (one tinted, one drawn by its draw
// event) merged by depth; a moving sprite with transparent pixels; the
// transition to the second room at its first, middle and last frame; in the
// second room, a view that follows the moving instance; in the third, one
// view scaled twice and another turned. The game smooths its textures:
// frames where nothing is scaled or turned must still match exactly (texels
// sampled at their centres), the scaled and turned ones within a tolerance
// for the rasterizer's rounding.
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
  const test::RRun r = test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "24", "--frames",
                                         (dir / "frames").string(), game},
                                        {"TAVRIN_HOME=" + dir.string()}, dir.string());
  ASSERT_EQ(r.status, 0) << r.err;
  const struct {
    const char* frame;
    int tolerance;
  } kFrames[] = {
      {"frame-000001.png", 0},      // the first room
      {"frame-000004.png", 0},      // the arrow moved right
      {"frame-000006-t00.png", 0},  // the transition (kind 14, 4 steps) starts: the old room
      {"frame-000006-t02.png", 0},  // halfway: both rooms pushed half across
      {"frame-000006-t04.png", 0},  // its end: the new room
      {"frame-000009.png", 0},      // the second room, its view still
      {"frame-000016.png", 0},      // the view moved after the arrow
      {"frame-000024.png", 24},     // the third room: a view scaled twice, one turned by 30 degrees
  };
  for (const auto& f : kFrames) {
    SCOPED_TRACE(f.frame);
    EXPECT_EQ(test::Golden_Compare(dir / "frames" / f.frame, project / "frames" / f.frame, f.tolerance, dir / "failures"),
              "");
  }
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
