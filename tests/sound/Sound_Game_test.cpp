// A game that plays sounds from its events (tests/games/sounds), built by
// tavrin-pack and run headless with its sound written to a WAV file: a
// normal sound panned hard left at the start, then, from the alarm at step
// 15, background music looping at volume 0.9 in both channels.
#include <gtest/gtest.h>

#include <cstring>

#include "support/PackFixture.h"
#include "tests/sound/SoundSamples.h"

namespace tavrin::test {
namespace {

class SoundGame : public CPackFixture {};

// The frames of a float WAV file as the runner writes it.
RRendered ReadCapture(const std::filesystem::path& file) {
  const std::string bytes = ReadFile(file);
  RRendered r;
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0) return r;
  r.s.resize((bytes.size() - 44) / sizeof(float));
  std::memcpy(r.s.data(), bytes.data() + 44, r.s.size() * sizeof(float));
  return r;
}

TEST_F(SoundGame, EventsPlaySoundsThatAreHeardWhenTheyShouldBe) {
  const auto package = m_dir / "sounds.bin", wav = m_dir / "sound.wav";
  ASSERT_EQ(Pack({"build", std::string(TAVRIN_TESTS_DIR) + "/games/sounds", "-o", package.string()}).status, 0);
  const RRun run = RunProgram({TAVRIN_EXE, "--headless", "--fixed-clock", "--steps", "45", "--sound-file", wav.string(),
                               package.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "left ended\nmusic at step 1\n");
  const RRendered r = ReadCapture(wav);
  // 45 steps at 30 a second, less the first, which starts the sound's clock,
  // and the last, which ends the game instead of waiting out its time.
  EXPECT_NEAR(r.Frames(), 43 * kRate / 30, 2);
  const double music = SineLevel() - 9.6;  // volume 0.9: 960 hundredths of a decibel down
  struct Window {
    double fromMs, toMs, left, right;  // expected levels, -400 for silence
  } windows[] = {
      {20, 180, SineLevel(), -400},
      {250, 400, -400, -400},
      {600, 1400, music, music},
  };
  for (const Window& w : windows)
    for (int ch : {0, 1}) {
      const double expected = ch == 0 ? w.left : w.right;
      if (expected <= -400)
        EXPECT_LT(r.Level(ch, w.fromMs, w.toMs), -90) << w.fromMs << " ch " << ch;
      else
        EXPECT_NEAR(r.Level(ch, w.fromMs, w.toMs), expected, 0.5) << w.fromMs << " ch " << ch;
    }
}

}  // namespace
}  // namespace tavrin::test
