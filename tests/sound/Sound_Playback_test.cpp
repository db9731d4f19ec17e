// Playback heard through the loopback device: levels in the game's volume
// units, overlapping and background sounds, stopping, fades, pan, effects,
// 3D distance and side, MIDI timing with tempo, and decoders refusing
// garbage without touching the sample table.
#include <gtest/gtest.h>

#include "sound/Sound_Decode.h"
#include "sound/Sound_Main.h"
#include "tests/sound/SoundSamples.h"

namespace tavrin::test {
namespace {

using CPlayback = CLoopbackTest;

TEST_F(CPlayback, LevelFollowsVolumeAndGlobalVolume) {
  struct Case {
    double volume, global, expectedDb;  // relative to the sine's own level
  } cases[] = {
      {1, 1, 0},               // the start-up global volume is unity, never +10 dB
      {0.5, 1, -48},           // 9600 hundredths of a decibel per unit
      {0.9, 1, -9.6},
      {1, 0.9, -11},           // 11000 per unit of global volume
      {0.75, 0.95, -24 - 5.5},
      {1, 2, 0},               // clamped: never louder than the sounds themselves
  };
  const int32_t id = Sample_LoadMemory(Bytes(SineWav(1000, 1)), 0);
  ASSERT_GE(id, 0);
  for (const Case& c : cases) {
    Sample_SetVolume(id, 0, c.volume);
    Sample_SetGlobalVolume(c.global);
    Sample_Play(id, false);
    const RRendered r = Render(200);
    Sample_Stop(id);
    for (int ch : {0, 1})
      EXPECT_NEAR(r.Level(ch, 50, 200), SineLevel() + c.expectedDb, 0.5) << c.volume << " " << c.global << " ch " << ch;
  }
}

TEST_F(CPlayback, NormalSoundsOverlapAndBackgroundMusicTakesOver) {
  const int32_t normal = Sample_LoadMemory(Bytes(SineWav(1000, 1)), 0);
  Sample_Play(normal, false);
  Sample_Play(normal, false);  // started again while it plays: heard twice
  RRendered r = Render(100);
  EXPECT_NEAR(r.Level(0, 20, 100), SineLevel() + 6.02, 0.2);
  Sample_StopAll();

  const int32_t first = Sample_LoadMemory(Bytes(SineWav(500, 1)), 1);
  const int32_t second = Sample_LoadMemory(Bytes(SineWav(500, 1)), 1);
  Sample_Play(first, true);
  Render(50);
  Sample_Play(second, false);
  EXPECT_FALSE(Sample_IsPlaying(first));
  EXPECT_TRUE(Sample_IsPlaying(second));
  r = Render(100);
  EXPECT_NEAR(r.Level(0, 20, 100), SineLevel(), 0.2) << "only the new background sound is heard";
}

TEST_F(CPlayback, StopIsSilentWithinOneBlockAndSoundsEnd) {
  const int32_t id = Sample_LoadMemory(Bytes(SineWav(1000, 0.1)), 0);
  Sample_Play(id, true);
  Render(50);
  Sample_Stop(id);
  RRendered r = Render(20);
  EXPECT_EQ(r.Peak(0, 256, r.Frames()), 0.0f);
  EXPECT_FALSE(Sample_IsPlaying(id));

  Sample_Play(id, false);
  EXPECT_TRUE(Sample_IsPlaying(id));
  Render(150);
  EXPECT_FALSE(Sample_IsPlaying(id)) << "a sound that was not looped ends with its samples";
}

TEST_F(CPlayback, FadeReachesItsTargetInItsTime) {
  const int32_t id = Sample_LoadMemory(Bytes(SineWav(1000, 2)), 0);
  Sample_Play(id, false);
  Render(10);
  Sample_SetVolume(id, 400, 0.5);  // from 0 dB to -48 dB in 400 ms, evenly in decibels
  const RRendered r = Render(600);
  EXPECT_NEAR(r.Level(0, 195, 205), SineLevel() - 24, 1.0) << "half way";
  EXPECT_NEAR(r.Level(0, 400 + 20, 440), SineLevel() - 48, 0.5) << "at the target 20 ms after its time";
  EXPECT_GT(r.Level(0, 370, 380), SineLevel() - 48 + 2) << "not there early";
}

TEST_F(CPlayback, PanAttenuatesTheFarChannel) {
  struct Case {
    double pan, leftDb, rightDb;
  } cases[] = {{0, 0, 0}, {-1, 0, -100}, {1, -100, 0}, {0.3, -30, 0}, {-0.05, 0, -5}};
  const int32_t id = Sample_LoadMemory(Bytes(SineWav(1000, 1)), 0);
  for (const Case& c : cases) {
    Sample_SetPan(id, c.pan);
    Sample_Play(id, false);
    const RRendered r = Render(100);
    Sample_Stop(id);
    // 100 dB down is below what the mixer renders at all: silence.
    const double expected[2] = {c.leftDb, c.rightDb};
    for (int ch : {0, 1}) {
      if (expected[ch] <= -100)
        EXPECT_EQ(r.Peak(ch, 0, r.Frames()), 0.0f) << c.pan;
      else
        EXPECT_NEAR(r.Level(ch, 20, 100), SineLevel() + expected[ch], 0.5) << c.pan;
    }
  }
}

TEST_F(CPlayback, EchoPeaksAtItsDelay) {
  // A click, and its echo 120 ms later at half the level.
  const int32_t id = Sample_LoadMemory(Bytes(MakeWav(kRate / 2, 1, [](int i, int) { return i == 0 ? 1.0 : 0.0; })), 0);
  Sample_SetEffects(id, 2);
  Sample_SetEffectParameters(id, EEffectKind::Echo, {50, 0, 120, 120, 0});
  Sample_Play(id, false);
  const RRendered r = Render(300);
  int at = 0;
  float best = 0;
  for (int i = kRate / 100; i < r.Frames(); ++i)
    if (std::fabs(r.s[size_t(2 * i)]) > best) best = std::fabs(r.s[size_t(2 * i)]), at = i;
  EXPECT_GT(best, 0.05f);
  EXPECT_NEAR(at * 1000.0 / kRate, 120, 1.0);
}

TEST_F(CPlayback, EveryEffectChangesWhatIsHeard) {
  const std::vector<uint8_t> sine = SineWav(700, 1);
  auto renderWith = [&](int32_t bits) {
    const int32_t id = Sample_LoadMemory(Bytes(sine), 0);
    Sample_SetEffects(id, bits);
    Sample_Play(id, false);
    RRendered r = Render(300);
    Sample_Free(id);
    return r;
  };
  const RRendered dry = renderWith(0);
  for (int32_t bit : {1, 2, 4, 8, 16, 32, 64, 128, 256}) {
    if (bit == 64 || bit == 32) continue;  // flat and neutral at their defaults
    const RRendered wet = renderWith(bit);
    double diff = 0;
    for (size_t i = 0; i < dry.s.size(); ++i) diff += std::fabs(dry.s[i] - wet.s[i]);
    EXPECT_GT(diff / double(dry.s.size()), 0.01) << "effect bit " << bit;
  }
  // The equalizer is heard once it is given a gain.
  const int32_t id = Sample_LoadMemory(Bytes(sine), 0);
  Sample_SetEffects(id, 64);
  Sample_SetEffectParameters(id, EEffectKind::Equalizer, {700, 12, -15});
  Sample_Play(id, false);
  EXPECT_LT(Render(300).Level(0, 100, 300), SineLevel() - 8);
}

TEST_F(CPlayback, ThreeDimensionalDistanceAndSide) {
  const int32_t id = Sample_LoadMemory(Bytes(SineWav(1000, 1)), 2);
  Sample_Set3DDistance(id, 10, 40);
  auto levelAt = [&](double x, double z, int channel) {
    Sample_Set3DPosition(id, x, 0, z);
    Sample_Play(id, false);
    const double l = Render(100).Level(channel, 20, 100);
    Sample_Stop(id);
    return l;
  };
  // Straight ahead at the minimum distance, twice it, the maximum and beyond.
  const double near = levelAt(0, 10, 0);
  EXPECT_NEAR(levelAt(0, 20, 0) - near, -6.02, 0.3);
  EXPECT_NEAR(levelAt(0, 80, 0), levelAt(0, 40, 0), 0.1) << "flat beyond the maximum distance";
  EXPECT_GT(levelAt(20, 0, 1), levelAt(20, 0, 0) + 10) << "a source on the right is louder on the right";
  EXPECT_GT(levelAt(-20, 0, 0), levelAt(-20, 0, 1) + 10);
  // Behind the listener the left and right stay where they are.
  EXPECT_GT(levelAt(20, -20, 1), levelAt(20, -20, 0) + 3);
  // A cone turned away muffles the source to its outside volume.
  Sample_Set3DCone(id, 0, 0, 1, 30, 60, 0.5);  // facing away from the listener at the origin
  EXPECT_NEAR(levelAt(0, 10, 0) - near, -50, 1.0);  // 0.5 is 5000 hundredths of a decibel down
}

TEST_F(CPlayback, MidiNotesComeAtTheirTimesWithTempoAndLoop) {
  // Notes at 0.5 s and 1.5 s; the file ends as the second note ends, at 1.75 s.
  auto onsets = [&](double tempo, bool loop, double ms, bool& playingAtEnd) {
    Sample_SetTempo(tempo);
    const int32_t id = Sample_LoadMemory(Bytes(NotesMidi({0.5, 1.5})), 0);
    EXPECT_GE(id, 0);
    Sample_Play(id, loop);
    const RRendered r = Render(ms);
    playingAtEnd = Sample_IsPlaying(id);
    Sample_Free(id);
    std::vector<double> found;
    bool loud = false;
    for (double t = 0; t < ms; t += 5) {
      const bool now = r.Level(0, t, t + 5) > -45;
      if (now && !loud) found.push_back(t);
      loud = now || (loud && r.Level(0, t, t + 50) > -60);
    }
    return found;
  };
  struct Case {
    double tempo;
    bool loop;
    double ms;
    std::vector<double> expected;
    bool playingAtEnd;
  } cases[] = {
      {1, false, 3000, {500, 1500}, false},  // ends with a moment for the notes to ring out
      {2, false, 1200, {250, 750}, true},
      {1, true, 3500, {500, 1500, 2250, 3250}, true},  // back to the start as the file ends
  };
  for (const Case& c : cases) {
    bool playing = false;
    const std::vector<double> found = onsets(c.tempo, c.loop, c.ms, playing);
    ASSERT_EQ(found.size(), c.expected.size()) << c.tempo << " " << c.loop;
    for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], c.expected[i], 15) << c.tempo << " " << c.loop;
    EXPECT_EQ(playing, c.playingAtEnd) << c.tempo << " " << c.loop;
  }
}

TEST_F(CPlayback, GarbageIsRefusedAndChangesNothing) {
  const std::vector<std::vector<uint8_t>> garbage = {
      {},
      {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0x7F, 'W', 'A', 'V', 'E'},
      {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0},
      {'f', 'L', 'a', 'C', 0, 0, 0, 34},
      std::vector<uint8_t>(4096, 0xFF),  // a run of MP3 frame syncs with no frames
      [] {
        std::vector<uint8_t> w = SineWav(440, 0.01);
        w[22] = 0;  // no channels
        return w;
      }(),
  };
  const int32_t before = Sample_Count();
  for (const auto& g : garbage) {
    std::string reason;
    EXPECT_FALSE(Sound_CanDecode(Bytes(g), reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(Sample_LoadMemory(Bytes(g), 0), -1);
    EXPECT_EQ(Sample_Count(), before);
  }
}

TEST_F(CPlayback, FreedWhilePlayingStopsCleanly) {
  const int32_t id = Sample_LoadMemory(Bytes(SineWav(1000, 1)), 0);
  Sample_SetEffects(id, 2 | 16);
  Sample_Play(id, true);
  Render(50);
  Sample_Free(id);
  EXPECT_EQ(Sample_Count(), 0);
  RRendered r = Render(600);  // the echo and reverb tails die with their slots
  EXPECT_EQ(r.Peak(0, 256, r.Frames()), 0.0f);
  // Its entry is taken again, with nothing of the old sound left over.
  EXPECT_EQ(Sample_LoadMemory(Bytes(SineWav(1000, 1)), 0), id);
  EXPECT_FALSE(Sample_IsPlaying(id));
}

}  // namespace
}  // namespace tavrin::test
