// Games that draw, played headless with a fixed clock. tests/games/drawing
// has two rooms: one draws every shape family (outlines and fills,
// precisions, colour blends, alpha and additive blending, buttons, health
// bars, a path); the other draws into surfaces, copies between them with
// clipping and onto themselves, draws them back and makes a sprite of one.
// Their frames are held to golden pictures; what the game reads back (pixels
// inside and outside, ids, failed creations) to its output; the saved
// surface to its pixels. tests/games/transitions plays a transition the game
// defines with a script, and reads the screen through a view.
// tests/games/hud draws a screen of its own over its room: a health bar and
// a mini map drawn into a surface.
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

// Builds tests/games/<name> in a fresh folder and plays it there for
// `steps` steps, writing its frames to <folder>/frames.
test::RRun Play(const std::string& name, int steps, fs::path& dir) {
  dir = fs::temp_directory_path() / ("tavrin_" + name + "_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path project = fs::path(TAVRIN_TESTS_DIR) / "games" / name;
  const std::string game = (dir / (name + ".bin")).string();
  const test::RRun built = test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game});
  if (built.status != 0) return built;
  return test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", std::to_string(steps), "--frames",
                           (dir / "frames").string(), game},
                          {"TAVRIN_HOME=" + dir.string()}, dir.string());
}

std::optional<TBitmap32> Saved(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  return Picture_Decode(bytes);
}

TEST(DrawingGame, ShapesAndSurfacesMatchTheirGoldenPictures) {
  fs::path dir;
  const test::RRun r = Play("drawing", 3, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const fs::path project = fs::path(TAVRIN_TESTS_DIR) / "games" / "drawing";
  EXPECT_EQ(r.out,
            "0 1 32\n"        // the first two surfaces, at their size
            "1 1 1\n"         // copies clipped to both surfaces
            "1 0 0\n"         // a pixel inside, and outside on either side
            "1 0 0\n"         // the screen's pixel through the room, and outside it
            "32 2 24 -1\n"    // grabbed from the screen and surfaces; nothing grabbed, no sprite
            "0 1 -1 -1\n");  // freed, its id taken again; sizes refused
  for (const char* frame : {"frame-000001.png", "frame-000003.png"}) {
    SCOPED_TRACE(frame);
    EXPECT_EQ(test::Golden_Compare(dir / "frames" / frame, project / "frames" / frame, 0, dir / "failures"), "");
  }
  // Saved with its transparency: the outline opaque white, the inside clear
  // but for the red circle. The grabbed sprite and background are saved at
  // their sizes.
  const std::optional<TBitmap32> saved = Saved(dir / "surf.PNG");
  ASSERT_TRUE(saved);
  const std::optional<TBitmap32> grabbed = Saved(dir / "grabbed.png"), back = Saved(dir / "back.png");
  ASSERT_TRUE(grabbed && back);
  EXPECT_EQ(grabbed->s_w, 32);
  EXPECT_EQ(back->s_h, 24);
  ASSERT_EQ(saved->s_w, 32);
  ASSERT_EQ(saved->s_h, 32);
  EXPECT_EQ(saved->GetPixel(0, 5), 0xFFFFFFFFu);
  EXPECT_EQ(saved->GetPixel(31, 31), 0xFFFFFFFFu);
  EXPECT_EQ(saved->GetPixel(2, 2), 0u);
  EXPECT_EQ(saved->GetPixel(16, 16), 0xFFFF0000u);
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}


// A transition the game defines gets the old and the new room as surfaces
// of the region's size, and t from 0 to 1 over transition_steps + 1 frames;
// the surfaces are gone afterwards. The new room's view shows half the room
// at twice its size, and the screen's pixels are read through it.
// An error in the transition's script is reported like any other. A display
// reset takes the game's surfaces with it.
TEST(DrawingGame, DefinedTransitionsDrawTheTwoRoomsFromSurfaces) {
  fs::path dir;
  const test::RRun r = Play("transitions", 6, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "1 1 0\n"  // defined, exists; a missing script defines nothing
            "entered\n"
            "0 40x30 1 1\n0.50 40x30 1 1\n1 40x30 1 1\n"
            "after: 0 0 1\n"  // the transition's surfaces gone, the game's own kept
            "seen: 1 1\n"     // draw_getpixel through the view drawing the new room
            "reset: 0\n");    // a display reset frees the game's surfaces
  // The script fails at its last frame: reported, and the game goes on.
  EXPECT_NE(r.err.find("ERROR in transition function scr_split\nIn script scr_split:\n"), std::string::npos)
      << r.err;
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

TEST(DrawingGame, AHealthBarAndAMiniMapOverTheRoom) {
  fs::path dir;
  const test::RRun r = Play("hud", 10, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const fs::path project = fs::path(TAVRIN_TESTS_DIR) / "games" / "hud";
  for (const char* frame : {"frame-000001.png", "frame-000010.png"}) {
    SCOPED_TRACE(frame);
    EXPECT_EQ(test::Golden_Compare(dir / "frames" / frame, project / "frames" / frame, 0, dir / "failures"), "");
  }
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
