// Sound resources over the engine: loading at start or at first use,
// discard and restore without leaking samples, run-time add, replace and
// delete (also while playing), the fall back to the media player with its
// temporary file, and the media player itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "package/Support_TempDir.h"
#include "script/Code_Random.h"
#include "sound/Sound_Class.h"
#include "sound/Sound_Media.h"
#include "tests/sound/SoundSamples.h"

namespace tavrin::test {
namespace {

class CSoundResources : public CLoopbackTest {
 protected:
  void SetUp() override {
    CLoopbackTest::SetUp();
    m_dir = std::filesystem::temp_directory_path() / ("tavrin_sound_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
    ASSERT_TRUE(CreateTempDir(m_dir.string()));
    g_Sounds.Clear();
  }
  void TearDown() override {
    for (int32_t i = 0; i < g_Sounds.Count(); ++i) Sound_Delete(i);
    g_Sounds.Clear();
    CLoopbackTest::TearDown();
    RemoveTempDir();
    std::filesystem::remove_all(m_dir);
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (m_dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  std::filesystem::path m_dir;
};

TEST_F(CSoundResources, RestoreAndReplaceNeverLeakASample) {
  const std::string sine = Write("sine.wav", SineWav(1000, 0.5));
  const int32_t s = Sound_Add(sine, kSoundNormal, true);
  ASSERT_EQ(s, 0);
  EXPECT_EQ(g_Sounds.Name(s), "__newsound0");
  EXPECT_EQ(Sample_Count(), 1);
  g_Sounds.Get(s)->Restore();  // already loaded: kept, not loaded twice
  EXPECT_EQ(Sample_Count(), 1);
  g_Sounds.Get(s)->Discard();
  EXPECT_EQ(Sample_Count(), 0);
  EXPECT_GE(g_Sounds.Get(s)->GetSoundId(), 0) << "loaded again at first use";
  EXPECT_EQ(Sample_Count(), 1);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Sound_Replace(s, sine, kSoundBackground, true));
  EXPECT_EQ(Sample_Count(), 1);
  EXPECT_EQ(g_Sounds.Get(s)->s_kind, kSoundBackground);

  // A sound that does not preload waits for its first use.
  const int32_t lazy = Sound_Add(sine, kSoundNormal, false);
  EXPECT_EQ(g_Sounds.Get(lazy)->s_soundid, -1);
  EXPECT_EQ(Sample_Count(), 1);
}

TEST_F(CSoundResources, FilesThatAreNoSoundChangeNothing) {
  const std::string sine = Write("sine.wav", SineWav(1000, 0.5));
  const std::string junk = Write("junk.wav", std::vector<uint8_t>(300, 'x'));
  const int32_t s = Sound_Add(sine, kSoundNormal, true);
  EXPECT_EQ(Sound_Add(junk, kSoundNormal, true), -1);
  EXPECT_EQ(Sound_Add((m_dir / "missing.wav").string(), kSoundNormal, true), -1);
  EXPECT_EQ(g_Sounds.Count(), 1) << "the list as it was";
  const int32_t id = g_Sounds.Get(s)->s_soundid;
  EXPECT_FALSE(Sound_Replace(s, junk, kSound3D, false));
  EXPECT_EQ(g_Sounds.Get(s)->s_kind, kSoundNormal);
  EXPECT_EQ(g_Sounds.Get(s)->s_soundid, id);
  EXPECT_EQ(g_Sounds.Get(s)->s_origname, "sine.wav");
}

TEST_F(CSoundResources, DeletedWhilePlayingStopsAtOnce) {
  const int32_t s = Sound_Add(Write("sine.wav", SineWav(1000, 1)), kSoundNormal, true);
  Sample_Play(g_Sounds.Get(s)->GetSoundId(), true);
  Render(50);
  Sound_Delete(s);
  EXPECT_FALSE(g_Sounds.Exists(s));
  EXPECT_EQ(Sample_Count(), 0);
  const RRendered r = Render(50);
  EXPECT_EQ(r.Peak(0, 256, r.Frames()), 0.0f);
}

TEST_F(CSoundResources, MultimediaSoundsPlayThroughTheOnePlayer) {
  // Music from the package goes to a temporary file, named without touching
  // the game's random numbers.
  CSound first;
  first.s_kind = kSoundMultimedia;
  first.s_extension = ".wav";
  first.s_sound = CStream(SineWav(1000, 1));
  Random_SetSeed(1234);
  first.Restore();
  EXPECT_EQ(Random_GetSeed(), 1234u);
  ASSERT_GE(first.s_soundid, 0);
  EXPECT_TRUE(std::filesystem::exists(first.s_fname));
  EXPECT_EQ(std::filesystem::path(first.s_fname).parent_path().string(), TempDir());

  const int32_t second = Sample_LoadFile(Write("other.wav", SineWav(500, 1)), kSoundMultimedia);
  Sample_Play(first.s_soundid, false);
  EXPECT_NEAR(Render(100).Level(0, 20, 100), SineLevel(), 0.5);
  Sample_Play(second, true);
  EXPECT_FALSE(Sample_IsPlaying(first.s_soundid)) << "the player plays one file at a time";
  EXPECT_TRUE(Sample_IsPlaying(second));
  Render(2500);
  EXPECT_TRUE(Sample_IsPlaying(second)) << "looping past its end";
  Sample_Stop(first.s_soundid);  // not the player's file: nothing happens
  EXPECT_TRUE(Sample_IsPlaying(second));
  Sample_Stop(second);
  EXPECT_FALSE(Sample_IsPlaying(second));
  first.Clear();
}

TEST_F(CSoundResources, MediaCommandStrings) {
  const std::string file = Write("tune.wav", SineWav(440, 2));
  Media_ResetCommands();
  struct Case {
    std::string command, reply;
  } cases[] = {
      {"open \"" + file + "\" type waveaudio alias tune", "1"},
      {"set tune time format milliseconds", ""},
      {"status tune length", "2000"},
      {"status tune mode", "stopped"},
      {"play tune", ""},
      {"status tune mode", "playing"},
      {"pause tune", ""},
      {"status tune mode", "paused"},
      {"resume tune", ""},
      {"status tune mode", "playing"},
      {"stop tune", ""},
      {"status tune mode", "stopped"},
      {"play tune from 1500", ""},
      {"status tune position", "1500"},
      {"frobnicate tune", ""},
      {"status nothing mode", ""},
      {"status cdaudio media present", "false"},
      {"status cdaudio mode", "not ready"},
      {"close tune", ""},
      {"status tune mode", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Media_Command(c.command), c.reply) << c.command;
}

}  // namespace
}  // namespace tavrin::test
