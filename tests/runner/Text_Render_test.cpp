// The text game of tests/games/text played headless with a fixed clock and
// its frames held to golden pictures. Its faces come from the fixture font
// configuration, which sees Liberation Sans Regular alone (the test skips
// without that face file). The first frame holds upright text (each
// alignment, wrapping at spaces and hyphens, corner colours and the "#"
// escape, a package font and a proportional sprite font), which must match
// to the pixel; the second scaled, turned and translucent text, held within
// a small tolerance.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/FontFixture.h"
#include "support/GoldenFrame.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

TEST(TextGame, FramesMatchTheirGoldenPictures) {
  const fs::path dir = fs::temp_directory_path() / ("tavrin_text_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const std::string fonts = test::FontFixture_Make(dir / "fonts");
  if (fonts.empty()) GTEST_SKIP() << "the face " << test::kFixtureFaceFile << " is not installed";
  const fs::path project = fs::path(TAVRIN_TESTS_DIR) / "games" / "text";
  const std::string game = (dir / "text.bin").string();
  ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", game}).status, 0);
  const test::RRun r = test::RunProgram(
      {TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "2", "--frames", (dir / "frames").string(), game},
      {"TAVRIN_HOME=" + dir.string(), "FONTCONFIG_FILE=" + fonts}, dir.string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::Golden_Compare(dir / "frames" / "frame-000001.png", project / "frames" / "frame-000001.png", 0,
                                 dir / "failures"),
            "");
  EXPECT_EQ(test::Golden_Compare(dir / "frames" / "frame-000002.png", project / "frames" / "frame-000002.png", 8,
                                 dir / "failures"),
            "");
  if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
