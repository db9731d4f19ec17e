// The rooms of tests/games/drawing played headless with a fixed clock: one
// draws every shape family (outlines and fills, precisions, colour blends,
// alpha and additive blending, buttons, health bars, a path); the other
// draws into surfaces, copies between them with clipping and onto
// themselves, draws them back and makes a sprite of one. Their frames are
// held to golden pictures; what the game reads back (pixels inside and
// outside, ids, failed creations) to its output; the saved surface to its
// pixels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/Graphics_Picture.h"
#include "support/GoldenFrame.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

TEST(DrawingGame, ShapesAndSurfacesMatchTheirGoldenPictures) {
  const fs::path dir = fs::temp_directory_path() / ("tavrin_drawing_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path project = fs::path(TAVRIN_TESTS_DIR) / "games" / "drawing";
  const std::string game = (dir / "drawing.bin").string();
  ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game}).status, 0);
  const test::RRun r = test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "3", "--frames",
                                         (dir / "frames").string(), game},
                                        {"TAVRIN_HOME=" + dir.string()}, dir.string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "0 1 32\n"        // the first two surfaces, at their size
            "1 1 1\n"         // copies clipped to both surfaces
            "1 0 0\n"         // a pixel inside, and outside on either side
            "1 0 0\n"         // the screen's pixel through the room, and outside it
            "0 1 -1 -1\n");  // freed, its id taken again; sizes refused
  for (const char* frame : {"frame-000001.png", "frame-000003.png"}) {
    SCOPED_TRACE(frame);
    EXPECT_EQ(test::Golden_Compare(dir / "frames" / frame, project / "frames" / frame, 0, dir / "failures"), "");
  }
  // Saved with its transparency: the outline opaque white, the inside clear
  // but for the red circle.
  std::ifstream file(dir / "surf.PNG", std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  const std::optional<TBitmap32> saved = Picture_Decode(bytes);
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->s_w, 32);
  ASSERT_EQ(saved->s_h, 32);
  EXPECT_EQ(saved->GetPixel(0, 5), 0xFFFFFFFFu);
  EXPECT_EQ(saved->GetPixel(31, 31), 0xFFFFFFFFu);
  EXPECT_EQ(saved->GetPixel(2, 2), 0u);
  EXPECT_EQ(saved->GetPixel(16, 16), 0xFFFF0000u);
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
