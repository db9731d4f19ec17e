// The example game played as a person would, from a replay: the title, then
// the first garden walked through for a few seconds. Its output and its
// frames at a few steps are held to what they must be, a second run must
// give the very same frames, and a third run, with the first one's settings
// store, must show the best score the first one kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/GoldenFrame.h"
#include "support/TestFolder.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class ExampleGame : public test::FolderTest {
 protected:
  ExampleGame() : FolderTest("example") {}

  // Plays the example with its replay; frames go to `run`/frames, the
  // settings store is `home`.
  test::RRun Play(const fs::path& run, const fs::path& home, int steps) {
    fs::create_directories(run);
    return test::RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--seed", "5", "--steps",
                             std::to_string(steps), "--input", (m_here / "play.txt").string(), "--frames",
                             (run / "frames").string(), "--frame-every", "50", m_game},
                            {"TAVRIN_HOME=" + home.string()}, run.string());
  }

  const fs::path m_here = fs::path(TAVRIN_TESTS_DIR) / "runner" / "seedling";
  std::string m_game;
};

TEST_F(ExampleGame, PlaysTheSameEveryTimeAndKeepsTheBestScore) {
  m_game = (m_dir / "seedling.bin").string();
  const fs::path project = fs::path(TAVRIN_TESTS_DIR).parent_path() / "examples" / "seedling";
  ASSERT_EQ(test::RunProgram({TAVRIN_PACK_EXE, "build", project.string(), "-o", m_game}).status, 0);

  const test::RRun first = Play(m_dir / "first", m_dir / "home1", 200);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "Seedling: the first garden: 140 seeds, 2 drones\n");
  EXPECT_EQ(first.err, "");
  // The title; the garden as the walk starts; after the turn down the left
  // side; along the fifth row with seeds gathered and the first bonus star.
  const std::vector<std::string> frames = {"frame-000001.png", "frame-000052.png", "frame-000102.png",
                                           "frame-000152.png"};
  for (const std::string& f : frames) {
    SCOPED_TRACE(f);
    EXPECT_EQ(test::Golden_Compare(m_dir / "first" / "frames" / f, m_here / "frames" / f, 0, m_dir / "failures"), "");
  }

  const test::RRun second = Play(m_dir / "second", m_dir / "home2", 200);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, first.out);
  for (const std::string& f : frames)
    EXPECT_EQ(test::ReadFile(m_dir / "second" / "frames" / f), test::ReadFile(m_dir / "first" / "frames" / f)) << f;

  // The first run's best score, kept in its settings store, greets the next.
  const test::RRun third = Play(m_dir / "third", m_dir / "home1", 1);
  ASSERT_EQ(third.status, 0) << third.err;
  EXPECT_EQ(test::Golden_Compare(m_dir / "third" / "frames" / "frame-000001.png", m_here / "frames" / "title-best.png",
                                 0, m_dir / "failures"),
            "");
}

}  // namespace
}  // namespace tavrin
