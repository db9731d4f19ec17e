// The sound record and section: round trips, and damage that must fail
// before anything of the claimed size is allocated.
#include <gtest/gtest.h>

#include "package/Package_Sections.h"
#include "sound/Sound_Class.h"
#include "support/AllocationProbe.h"

namespace tavrin {
namespace {

CSound Beep() {
  CSound s;
  s.s_kind = kSound3D;
  s.s_extension = ".ogg";
  s.s_origname = "beep.ogg";
  s.s_sound = CStream(std::vector<uint8_t>{'O', 'g', 'g', 'S', 0, 1, 2});
  s.s_preload = false;
  s.s_effects = 2 | 64;
  s.s_volume = 0.3;
  s.s_pan = -0.75;
  return s;
}

CStream Save(const CSound& s) {
  CStream out;
  s.SaveToStream(out);
  out.Seek(0);
  return out;
}

TEST(SoundRecord, ReadsBackToTheSameBytes) {
  CSound empty;  // no data at all: the has-data flag is false
  CSound silent = Beep();
  silent.s_sound = CStream();  // data present but zero bytes long
  for (const CSound& s : {Beep(), empty, silent}) {
    CStream first = Save(s);
    CSound back;
    ASSERT_TRUE(back.LoadFromStream(first));
    EXPECT_EQ(first.Remaining(), 0u);
    EXPECT_EQ(Save(back).Bytes(), first.Bytes());
    EXPECT_EQ(back.s_sound.has_value(), s.s_sound.has_value());
  }
  CStream bytes = Save(Beep());
  CSound b;
  ASSERT_TRUE(b.LoadFromStream(bytes));
  EXPECT_EQ(b.s_kind, kSound3D);
  EXPECT_EQ(b.s_sound->Bytes(), Beep().s_sound->Bytes());
  EXPECT_EQ(b.s_volume, 0.3);
  EXPECT_EQ(b.s_soundid, -1);
}

TEST(SoundRecord, DamageFails) {
  CStream wrongVersion = Save(Beep());
  wrongVersion.Data()[0] = 0x21;  // 801
  CSound s = Beep();
  EXPECT_FALSE(s.LoadFromStream(wrongVersion));
  EXPECT_EQ(s.s_kind, -1) << "a sound that fails is cleared";
  EXPECT_FALSE(s.s_sound);

  CStream huge;
  huge.WriteInteger(800);
  huge.WriteInteger(0);
  huge.WriteString(".wav");
  huge.WriteString("a.wav");
  huge.WriteBoolean(true);
  huge.WriteInteger(0x7FFFFFFF);  // two gigabytes of sound in a few bytes
  huge.WriteInteger(0);
  huge.Seek(0);
  test::CAllocationProbe probe;
  EXPECT_THROW(s.LoadFromStream(huge), CStreamError);
  EXPECT_LT(probe.Largest(), size_t(1) << 20);

  const CStream whole = Save(Beep());
  for (size_t n = 0; n < whole.Size(); ++n) {
    CStream cut(whole.Data(), n);
    CSound c;
    bool loaded = false;
    try {
      loaded = c.LoadFromStream(cut);
    } catch (const CStreamError&) {
    }
    EXPECT_FALSE(loaded) << "cut at " << n;
  }
}

TEST(SoundSection, KeepsEmptySlotsAndFailsOnAWrongVersion) {
  CResourceList<CSound> sounds;
  sounds.Set(1, std::make_unique<CSound>(Beep()), "snd_beep");
  CStream section;
  Section_WriteList(section, sounds);
  section.Seek(0);
  CResourceList<CSound> read;
  ASSERT_TRUE(Section_ReadList(section, read));
  EXPECT_EQ(read.Count(), 2);
  EXPECT_FALSE(read.Exists(0));
  EXPECT_EQ(read.Find("snd_beep"), 1);
  CStream again;
  Section_WriteList(again, read);
  EXPECT_EQ(again.Bytes(), section.Bytes());

  section.Seek(0);
  section.Data()[0] = 0x1F;  // section version 799
  EXPECT_FALSE(Section_ReadList(section, read));
}

}  // namespace
}  // namespace tavrin
