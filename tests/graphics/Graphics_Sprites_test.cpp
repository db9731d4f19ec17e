// Sprites and backgrounds made from pictures and files: strips and GIF
// animations with the load effects, frames added and merged (a sprite with
// itself included), assignment (to itself included), the sprite and
// background data files with their checks, the list operations, and the
// textures they keep in the game's texture table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "graphics/Background_Class.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/PictureSamples.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/Sprite_Class.h"
#include "graphics/Sprite_List.h"
#include "support/AllocationProbe.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

constexpr TColor32 R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu;

// Column x of the strip has colour x (in blue), row 1 is white.
TBitmap32 Strip(int32_t w) {
  TBitmap32 bm(w, 2, W);
  for (int32_t x = 0; x < w; ++x) bm.SetPixel(x, 0, 0xFF000000u | uint32_t(x));
  return bm;
}

// Textures alive in the table (on a recording device), so tests see leaks:
// a texture freed twice would show as one too few, one never freed as one
// too many.
size_t LiveTextures() { return size_t(Texture_Count()); }
bool Live(int32_t id) { return Texture_Exists(id); }

class Sprites : public ::testing::Test {
 protected:
  void SetUp() override {
    Graphics_SetDevice(std::make_unique<CRecordingDevice>());
    g_GraphicsData.Clear();
    m_dir = fs::temp_directory_path() / ("tavrin_sprites_" + std::to_string(::getpid()));
    fs::create_directories(m_dir);
  }
  void TearDown() override {
    g_GraphicsData.Clear();
    Graphics_SetDevice(nullptr);
    fs::remove_all(m_dir);
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(CStream(bytes).SaveToFile(path));
    return path;
  }
  // Live textures of one sprite: every frame has one, all alive.
  static void ExpectTextures(const CSprite& s) {
    ASSERT_EQ(s.i_tex.size(), s.i_bitmap.size());
    for (int32_t id : s.i_tex) EXPECT_TRUE(Live(id)) << id;
  }
  fs::path m_dir;
};

TEST_F(Sprites, StripsAreCutIntoFramesWithLeftoverColumnsDropped) {
  const std::vector<uint8_t> png = Picture_EncodePNG(Strip(100));
  const struct {
    int32_t imgnumb;
    int32_t frames, width;
  } cases[] = {{3, 3, 33}, {0, 1, 100}, {-2, 1, 100}, {100, 100, 1}};
  for (const auto& c : cases) {
    CSprite s;
    ASSERT_TRUE(s.LoadFromPicture(png, c.imgnumb, false, false, 4, 5)) << c.imgnumb;
    ASSERT_EQ(s.i_numb, c.frames) << c.imgnumb;
    EXPECT_EQ(s.GetWidth(), c.width);
    EXPECT_EQ(s.GetHeight(), 2);
    EXPECT_EQ(s.i_xorig, 4);
    EXPECT_EQ(s.i_yorig, 5);
    for (int32_t f = 0; f < s.i_numb; ++f)
      EXPECT_EQ(s.i_bitmap[size_t(f)].GetPixel(0, 0), 0xFF000000u | uint32_t(f * c.width)) << c.imgnumb << " " << f;
    EXPECT_EQ(s.i_bbox, (TRect{0, 0, c.width - 1, 1}));
    ExpectTextures(s);
  }
  // More frames than columns would make frames with no pixels: refused, and
  // the sprite keeps what it had.
  CSprite s;
  ASSERT_TRUE(s.LoadFromPicture(png, 3, false, false, 0, 0));
  const std::vector<TBitmap32> before = s.i_bitmap;
  EXPECT_FALSE(s.LoadFromPicture(png, 101, false, false, 0, 0));
  EXPECT_FALSE(s.LoadFromPicture(std::vector<uint8_t>{1, 2, 3}, 1, false, false, 0, 0));
  EXPECT_EQ(s.i_bitmap, before);
  ExpectTextures(s);
}

TEST_F(Sprites, RemoveBackgroundUsesTheBottomLeftPixelEvenWhenOpaqueWhite) {
  CSprite s;
  ASSERT_TRUE(s.LoadFromPicture(Picture_EncodePNG(Strip(4)), 2, true, false, 0, 0));
  // Row 1 is white like each frame's bottom-left pixel: cleared, and filled
  // with the colour above it.
  EXPECT_EQ(s.i_bitmap[1].s_data, (std::vector<TColor32>{0xFF000002u, 0xFF000003u, 0x00000002u, 0x00000003u}));
  EXPECT_EQ(s.i_bbox, (TRect{0, 0, 1, 0}));
}

TEST_F(Sprites, GifsLoadAsAnimationsOnTheirCanvasColour) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const std::vector<uint8_t> gif = test::Sample_GIF(
      2, 2, palette, {{0, 0, 2, 2, {1, 0, 0, 0}, 2, 0}, {1, 1, 1, 1, {2}, 1}, {0, 0, 1, 1, {3}, 1}});
  constexpr TColor32 kCanvas = 0xFF408000u;
  CSprite plain;
  ASSERT_TRUE(plain.LoadFromPicture(gif, 7, false, false, 0, 0));  // the count is the GIF's
  ASSERT_EQ(plain.i_numb, 3);
  EXPECT_EQ(plain.i_bitmap[0].s_data, (std::vector<TColor32>{R, kCanvas, kCanvas, kCanvas}));
  EXPECT_EQ(plain.i_bitmap[1].s_data, (std::vector<TColor32>{kCanvas, kCanvas, kCanvas, G}));
  EXPECT_EQ(plain.i_bitmap[2].s_data, (std::vector<TColor32>{B, kCanvas, kCanvas, G}));
  // Remove-background takes the canvas away again (here the bottom-left
  // pixel), and the cleared pixels take neighbouring colours.
  CSprite cleared;
  ASSERT_TRUE(cleared.LoadFromPicture(gif, 1, true, false, 0, 0));
  EXPECT_EQ(cleared.i_bitmap[2].s_data, (std::vector<TColor32>{B, 0x000000FFu, 0x0000FF00u, G}));
  ExpectTextures(cleared);
}

TEST_F(Sprites, GrabbedPicturesFollowTheirRemoveBackgroundMode) {
  // A grab without alpha (all 0), as from a screen, and one with some; the
  // bottom-left pixel is white in both.
  TBitmap32 noAlpha(3, 1), someAlpha(3, 1);
  noAlpha.s_data = {0x00FFFFFFu, 0x00FF0000u, 0x00FFFFFFu};
  someAlpha.s_data = {0x80FFFFFFu, 0x00FF0000u, 0x80FFFFFFu};
  const struct {
    const char* name;
    const TBitmap32& in;
    int32_t removeback;
    bool smooth;
    std::vector<TColor32> want;
  } cases[] = {
      {"0: no alpha becomes opaque", noAlpha, 0, true, {W, R, W}},
      {"0: real alpha is kept", someAlpha, 0, false, someAlpha.s_data},
      {"1: white removed, filled from red", noAlpha, 1, false, {0x00FF0000u, R, 0x00FF0000u}},
      {"1: and smoothed", noAlpha, 1, true, {0x00FF0000u, 0xBFFF0000u, 0x00FF0000u}},
      {"-1: opaque", someAlpha, -1, false, {W, R, W}},
      {"2: alpha as grabbed", noAlpha, 2, true, noAlpha.s_data},
      {"another value: no effect", noAlpha, 5, true, {W, R, W}},
  };
  for (const auto& c : cases) {
    CSprite s;
    s.CreateFromBitmap(c.in, c.removeback, c.smooth, 1, 2);
    ASSERT_EQ(s.i_numb, 1) << c.name;
    EXPECT_EQ(s.i_bitmap[0].s_data, c.want) << c.name;
    EXPECT_EQ(s.i_xorig, 1);
    ExpectTextures(s);
    CBackground b;
    b.CreateFromBitmap(c.in, c.removeback, c.smooth);
    EXPECT_EQ(b.i_bitmap.s_data, c.want) << c.name << " (background)";
  }
}

// A 2-frame sprite with separate masks: frame 0 red in its left column,
// frame 1 green in its right column.
CSprite TwoFrames() {
  CSprite s;
  TBitmap32 a(2, 2), b(2, 2);
  a.SetPixel(0, 0, R), a.SetPixel(0, 1, R);
  b.SetPixel(1, 0, G), b.SetPixel(1, 1, G);
  s.i_bitmap = {a, b};
  s.i_numb = 2;
  s.i_xorig = 1;
  s.i_yorig = 1;
  RMaskSettings m;
  m.sepmasks = true;
  s.ComputeMask(m);
  s.InitTexture();
  return s;
}

TEST_F(Sprites, AssigningOrMergingASpriteWithItselfKeepsItWhole) {
  CSprite s = TwoFrames();
  const std::vector<TBitmap32> frames = s.i_bitmap;
  const std::vector<TMask> masks = s.i_mask;
  s.Assign(s);
  EXPECT_EQ(s.i_bitmap, frames);
  EXPECT_EQ(s.i_mask, masks);
  EXPECT_EQ(s.i_bbox, (TRect{0, 0, 1, 1}));
  ExpectTextures(s);

  s.AddFromSprite(s);
  ASSERT_EQ(s.i_numb, 4);
  EXPECT_EQ(s.i_bitmap, (std::vector<TBitmap32>{frames[0], frames[1], frames[0], frames[1]}));
  EXPECT_TRUE(s.i_sepmasks);
  ASSERT_EQ(s.i_mask.size(), 4u);
  EXPECT_EQ(s.i_mask[2], masks[0]);
  ExpectTextures(s);

  s.SetAlphaFromSprite(s);
  EXPECT_EQ(s.i_bitmap[0].GetPixel(0, 0), 0x55FF0000u);  // (255 + 0 + 0) / 3
  EXPECT_EQ(LiveTextures(), 4u) << "every old texture freed";
}

TEST_F(Sprites, AddedFramesTakeTheSpritesSize) {
  CSprite s = TwoFrames();
  CSprite wide;
  TBitmap32 big(4, 2, B);
  wide.CreateFromBitmap(big, 0, false, 0, 0);
  s.AddFromSprite(wide);
  ASSERT_EQ(s.i_numb, 3);
  EXPECT_EQ(s.i_bitmap[2], TBitmap32(2, 2, B));
  EXPECT_TRUE(s.i_sepmasks) << "separate masks stay separate";

  s.AddFromBitmap(TBitmap32(1, 1, W), false, false);
  ASSERT_EQ(s.i_numb, 4);
  EXPECT_EQ(s.i_bitmap[3], TBitmap32(2, 2, W));
  ExpectTextures(s);

  // A sprite without frames has no size of its own yet: the first frame
  // added keeps its picture's size rather than shrinking to 1 x 1.
  CSprite empty;
  empty.AddFromBitmap(big, false, false);
  ASSERT_EQ(empty.i_numb, 1);
  EXPECT_EQ(empty.GetWidth(), 4);
  CSprite merged;
  merged.AddFromSprite(wide);
  EXPECT_EQ(merged.GetWidth(), 4);
  EXPECT_EQ(merged.i_bbox, (TRect{0, 0, 3, 1}));
}

TEST_F(Sprites, FrameIndicesWrapAndBadIndicesGiveNothing) {
  CSprite s = TwoFrames();
  s.AddFromSprite(s);
  const std::pair<int64_t, int32_t> wraps[] = {{-1, 3}, {9, 1}, {-4, 0}, {-9, 3}, {0, 0}};
  for (auto [in, out] : wraps) EXPECT_EQ(s.FrameIndex(in), out) << in;
  EXPECT_FALSE(s.GetBitmap(4));
  EXPECT_FALSE(s.GetBitmap(-1));
  EXPECT_EQ(s.GetBoundingBoxImg(1), (TRect{1, 0, 1, 1}));
  EXPECT_EQ(s.GetBoundingBoxImg(7), TRect{});
  CSprite none;
  EXPECT_EQ(none.GetWidth(), 1);
  EXPECT_EQ(none.FrameIndex(-5), 0);
  EXPECT_EQ(none.i_bbox, TRect{});
}

TEST_F(Sprites, SpriteFilesRoundTripWithTheirMaskSettings) {
  CSprite s = TwoFrames();
  s.i_bitmap[0].SetPixel(1, 0, 0x00000000u);  // transparent next to red: filled on loading
  RMaskSettings m;
  m.sepmasks = true;
  m.bbmode = kBoxManual;
  m.bbox = {0, 1, 1, 1};
  m.kind = kMaskRectangle;
  m.tolerance = 7;
  CSprite back;
  ASSERT_TRUE(back.LoadFromSpriteBytes(s.SaveToSpriteBytes(m)));
  EXPECT_EQ(back.i_xorig, 1);
  EXPECT_EQ(back.i_yorig, 1);
  ASSERT_EQ(back.i_numb, 2);
  EXPECT_EQ(back.i_bitmap[0].GetPixel(1, 0), 0x00FF0000u);
  EXPECT_EQ(back.i_bitmap[1].GetPixel(0, 0), 0x0000FF00u);
  EXPECT_EQ(back.i_bitmap[1].GetPixel(1, 1), G);
  CSprite expected = back;
  expected.ComputeMask(m);
  EXPECT_EQ(back.i_mask, expected.i_mask);
  EXPECT_EQ(back.i_bbox, (TRect{0, 1, 1, 1}));
  ExpectTextures(back);

  const std::string path = Write("s.qvspr", s.SaveToSpriteBytes(m));
  CSprite fromFile;
  ASSERT_TRUE(fromFile.LoadFromSpriteFile(path));
  EXPECT_EQ(fromFile.i_bitmap, back.i_bitmap);
  EXPECT_FALSE(fromFile.LoadFromSpriteFile((m_dir / "missing.qvspr").string()));
}

// A sprite file around `block` (the content after the magic).
std::vector<uint8_t> SpriteFile(const CStream& block, int32_t magic = 1234321) {
  CStream file;
  file.WriteInteger(magic);
  file.WriteStreamC(block);
  return file.Bytes();
}

TEST_F(Sprites, DamagedOrHostileSpriteFilesChangeNothing) {
  const std::vector<uint8_t> good = TwoFrames().SaveToSpriteBytes({});
  const auto block = [](int32_t version, int32_t count, int32_t w, int32_t h) {
    CStream b;
    b.WriteInteger(version);
    b.WriteInteger(0);
    b.WriteInteger(0);
    b.WriteInteger(count);
    b.WriteInteger(800);
    b.WriteInteger(w);
    b.WriteInteger(h);
    b.WriteInteger(4);  // a pixel block far too small for the size
    b.WriteInteger(0);
    return b;
  };
  std::vector<uint8_t> wrongMagic = good;
  wrongMagic[0] ^= 1;
  std::vector<uint8_t> cut(good.begin(), good.end() - 3);
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"wrong magic", wrongMagic},
      {"wrong version", SpriteFile(block(810, 1, 1, 1))},
      {"more frames than bytes", SpriteFile(block(800, 1 << 28, 1, 1))},
      {"negative frame count", SpriteFile(block(800, -1, 1, 1))},
      {"a frame of 16000 x 16000", SpriteFile(block(800, 1, 16000, 16000))},
      {"a frame of 8000 x 8000 in a few bytes", SpriteFile(block(800, 1, 8000, 8000))},
      {"cut short", cut},
      {"empty", {}},
  };
  for (const auto& [name, bytes] : cases) {
    CSprite s = TwoFrames();
    const std::vector<TBitmap32> before = s.i_bitmap;
    const std::vector<int32_t> textures = s.i_tex;
    test::CAllocationProbe probe;
    EXPECT_FALSE(s.LoadFromSpriteBytes(bytes)) << name;
    EXPECT_LT(probe.Largest(), size_t(1) << 20) << name;
    EXPECT_EQ(s.i_bitmap, before) << name;
    EXPECT_EQ(s.i_tex, textures) << name;
  }
}

TEST_F(Sprites, BackgroundFilesRoundTripAndRefuseDamage) {
  CBackground b;
  ASSERT_TRUE(b.CreateColor(3, 2, 0x0000FF));
  b.i_bitmap.SetPixel(1, 0, 0);
  CBackground back;
  ASSERT_TRUE(back.LoadFromBackgroundBytes(b.SaveToBackgroundBytes()));
  TBitmap32 want(3, 2, R);
  want.SetPixel(1, 0, 0x00FF0000u);  // the transparent pixel takes its neighbour's colour
  EXPECT_EQ(back.i_bitmap, want);
  EXPECT_TRUE(Live(back.i_tex));

  std::vector<uint8_t> bytes = b.SaveToBackgroundBytes();
  CStream wrongVersion;
  wrongVersion.WriteInteger(800);
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 2);
  CStream hostile;
  hostile.WriteInteger(710);
  hostile.WriteBoolean(false);
  for (int i = 0; i < 6; ++i) hostile.WriteInteger(0);
  hostile.WriteInteger(800);
  hostile.WriteInteger(8000);
  hostile.WriteInteger(8000);
  hostile.WriteInteger(0);
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"wrong version", SpriteFile(wrongVersion)},
      {"wrong magic", SpriteFile(hostile, 4321)},
      {"huge picture in a few bytes", SpriteFile(hostile)},
      {"cut short", cut},
  };
  for (const auto& [name, file] : cases) {
    CBackground keep = back;
    test::CAllocationProbe probe;
    EXPECT_FALSE(keep.LoadFromBackgroundBytes(file)) << name;
    EXPECT_LT(probe.Largest(), size_t(1) << 20) << name;
    EXPECT_EQ(keep.i_bitmap, want) << name;
  }
}

TEST_F(Sprites, ListOperationsCheckIndicesAndKeepSlots) {
  const std::string strip = Write("strip.png", Picture_EncodePNG(Strip(6)));
  const std::string junk = Write("junk.png", {1, 2, 3});
  const int32_t a = Sprite_AddFromFile(strip, 3, false, false, 0, 0);
  ASSERT_EQ(a, 0);
  EXPECT_EQ(Sprite_GetName(a), "__newsprite0");
  EXPECT_EQ(Sprite_AddFromFile(junk, 1, false, false, 0, 0), -1);
  EXPECT_EQ(Sprite_AddFromFile((m_dir / "missing.png").string(), 1, false, false, 0, 0), -1);
  EXPECT_EQ(g_GraphicsData.sprites.Count(), 1) << "a failed load adds no slot";

  // Assigning and merging a sprite with itself through the list.
  EXPECT_TRUE(Sprite_Assign(a, a));
  EXPECT_EQ(g_GraphicsData.sprites.Get(a)->i_numb, 3);
  EXPECT_TRUE(Sprite_Merge(a, a));
  EXPECT_EQ(g_GraphicsData.sprites.Get(a)->i_numb, 6);
  EXPECT_EQ(g_GraphicsData.sprites.Get(a)->i_bitmap[4], g_GraphicsData.sprites.Get(a)->i_bitmap[1]);

  const int32_t d = Sprite_Duplicate(a);
  EXPECT_EQ(d, 1);
  EXPECT_EQ(Sprite_GetName(d), "__newsprite1");
  EXPECT_EQ(g_GraphicsData.sprites.Get(d)->i_bitmap, g_GraphicsData.sprites.Get(a)->i_bitmap);
  EXPECT_EQ(Sprite_Duplicate(7), -1);
  EXPECT_FALSE(Sprite_Assign(5, a)) << "destination out of range";
  EXPECT_FALSE(Sprite_Assign(d, 9)) << "missing source";
  EXPECT_FALSE(Sprite_Merge(d, 9));

  const size_t live = LiveTextures();
  EXPECT_TRUE(Sprite_Delete(d));
  EXPECT_EQ(LiveTextures(), live - 6) << "the deleted sprite's textures are freed";
  EXPECT_FALSE(Sprite_Delete(d));
  EXPECT_FALSE(g_GraphicsData.sprites.Exists(d));
  EXPECT_EQ(Sprite_GetName(d), "<undefined>");
  EXPECT_EQ(Sprite_AddEmpty(), 2) << "indices are never reused";

  // Replacing into the deleted slot: a failed load leaves it empty; a good
  // one fills it.
  EXPECT_FALSE(Sprite_ReplaceFromFile(d, junk, 1, false, false, 0, 0));
  EXPECT_FALSE(g_GraphicsData.sprites.Exists(d));
  EXPECT_TRUE(Sprite_ReplaceFromFile(d, strip, 2, false, false, 0, 0));
  EXPECT_EQ(g_GraphicsData.sprites.Get(d)->i_numb, 2);
  EXPECT_FALSE(Sprite_ReplaceFromFile(3, strip, 2, false, false, 0, 0));
  EXPECT_TRUE(Sprite_Assign(d, a));
  EXPECT_EQ(g_GraphicsData.sprites.Get(d)->i_numb, 6);

  const std::string spr = Write("s.qvspr", TwoFrames().SaveToSpriteBytes({}));
  EXPECT_EQ(Sprite_AddFromSpriteFile(spr), 3);
  EXPECT_EQ(Sprite_AddFromSpriteFile(junk), -1);
  EXPECT_TRUE(Sprite_ReplaceFromSpriteFile(a, spr));
  EXPECT_EQ(g_GraphicsData.sprites.Get(a)->i_numb, 2);

  // Backgrounds the same way.
  const int32_t b = Background_AddFromFile(strip, false, false);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(Background_GetName(b), "__newbackground0");
  EXPECT_TRUE(Background_Assign(b, b));
  EXPECT_EQ(g_GraphicsData.backgrounds.Get(b)->i_bitmap.s_w, 6);
  EXPECT_EQ(Background_AddFromFile(junk, false, false), -1);
  EXPECT_EQ(Background_AddGradient(0, 0, 0, 0xFFFFFF, 2), 1);
  EXPECT_EQ(g_GraphicsData.backgrounds.Get(1)->i_bitmap, TBitmap32(1, 1, 0xFF000000u));
  EXPECT_EQ(Background_AddColor(-1, 4, 0), 2);
  EXPECT_EQ(g_GraphicsData.backgrounds.Get(2)->GetWidth(), 0) << "a refused size leaves the new background without a picture";
  const std::string bck = Write("b.qvbck", g_GraphicsData.backgrounds.Get(b)->SaveToBackgroundBytes());
  EXPECT_TRUE(Background_ReplaceFromBackgroundFile(2, bck));
  EXPECT_EQ(g_GraphicsData.backgrounds.Get(2)->GetWidth(), 6);
  EXPECT_EQ(Background_Duplicate(b), 3);
  EXPECT_TRUE(Background_Delete(3));
  EXPECT_FALSE(Background_Assign(3, 9));
  EXPECT_TRUE(Background_Assign(3, b));
  EXPECT_TRUE(g_GraphicsData.backgrounds.Exists(3));

  g_GraphicsData.sprites.Clear();
  g_GraphicsData.backgrounds.Clear();
}

TEST_F(Sprites, BackgroundSelfAssignAndAlphaKeepThePicture) {
  CBackground b;
  ASSERT_TRUE(b.CreateGradient(4, 1, 0x000000, 0xFFFFFF, 0));
  const TBitmap32 before = b.i_bitmap;
  b.Assign(b);
  EXPECT_EQ(b.i_bitmap, before);
  EXPECT_TRUE(Live(b.i_tex));
  EXPECT_EQ(LiveTextures(), 1u);
  b.SetAlphaFromBackground(b);
  EXPECT_EQ(b.i_bitmap.GetPixel(1, 0), 0x40404040u);
  EXPECT_FALSE(b.CreateColor(0, 5, 0));
  EXPECT_FALSE(b.CreateColor(1 << 20, 1 << 20, 0));
  EXPECT_EQ(b.i_bitmap.s_w, 4) << "a refused size changes nothing";
}

}  // namespace
}  // namespace tavrin
