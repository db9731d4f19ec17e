// Sprites and backgrounds drawn from their frames' textures: which frame a
// frame index picks, where the origin puts the picture, the stretched and
// part forms; and exact pixels through a real headless device.
#include <gtest/gtest.h>

#include "graphics/DeviceFixture.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/RecordingFixture.h"

namespace tavrin {
namespace {

// A sprite of `frames` w x h frames, frame i filled with 0xFF0000i0.
CSprite Frames(int32_t frames, int32_t w, int32_t h, int32_t xorig, int32_t yorig) {
  CSprite s;
  for (int32_t i = 0; i < frames; ++i) s.i_bitmap.emplace_back(w, h, 0xFF000000u | uint32_t(i) << 4);
  s.i_numb = frames;
  s.i_xorig = xorig;
  s.i_yorig = yorig;
  s.InitTexture();
  return s;
}

using SpriteDrawing = test::CRecordingTest;

TEST_F(SpriteDrawing, FrameIndicesWrapBothWays) {
  const CSprite s = Frames(4, 2, 2, 0, 0);
  const struct {
    int64_t index;
    int32_t frame;
  } cases[] = {{0, 0}, {3, 3}, {9, 1}, {-1, 3}, {-4, 0}, {-6, 2}, {int64_t(1) << 40, 0}};
  for (const auto& c : cases) {
    m_device->ForgetDraws();
    s.DrawSimple(c.index, 0, 0);
    ASSERT_EQ(m_device->Draws().size(), 1u) << c.index;
    EXPECT_EQ(m_device->Draws()[0].texture, s.i_tex[size_t(c.frame)]) << c.index;
    EXPECT_EQ(s.GetTexture(c.index), s.i_tex[size_t(c.frame)]) << c.index;
  }
}

TEST_F(SpriteDrawing, OriginsScalesAndForms) {
  const CSprite s = Frames(1, 8, 4, 3, 2);
  CBackground b;
  ASSERT_TRUE(b.CreateColor(8, 4, 0xFFFFFF));
  b.InitTexture();
  // The top-left corner of each drawing (its first vertex), and the
  // bottom-right (the third).
  const struct {
    const char* name;
    void (*draw)(const CSprite&, const CBackground&);
    float x0, y0, x2, y2;
  } cases[] = {
      {"sprite simple: origin at the position", [](const CSprite& s, const CBackground&) { s.DrawSimple(0, 10, 10); },
       6.5f, 7.5f, 14.5f, 11.5f},
      {"sprite scaled about its origin",
       [](const CSprite& s, const CBackground&) { s.Draw(0, 10, 10, 2, 3, 0, 0xFFFFFF, 1); }, 3.5f, 3.5f, 19.5f,
       15.5f},
      {"sprite stretched: origin ignored",
       [](const CSprite& s, const CBackground&) { s.DrawStretched(0, 10, 10, 16, 2, 0xFFFFFF, 1); }, 9.5f, 9.5f,
       25.5f, 11.5f},
      {"sprite part: no origin",
       [](const CSprite& s, const CBackground&) { s.DrawPart(0, 2, 1, 4, 2, 10, 10, 1, 1, 0xFFFFFF, 1); }, 9.5f,
       9.5f, 13.5f, 11.5f},
      {"background simple", [](const CSprite&, const CBackground& b) { b.DrawSimple(10, 10); }, 9.5f, 9.5f, 17.5f,
       13.5f},
      {"background scaled from its top-left",
       [](const CSprite&, const CBackground& b) { b.Draw(10, 10, 2, 2, 0, 0xFFFFFF, 1); }, 9.5f, 9.5f, 25.5f,
       17.5f},
      {"background stretched",
       [](const CSprite&, const CBackground& b) { b.DrawStretched(0, 0, 4, 4, 0xFFFFFF, 1); }, -0.5f, -0.5f, 3.5f,
       3.5f},
  };
  for (const auto& c : cases) {
    m_device->ForgetDraws();
    c.draw(s, b);
    ASSERT_EQ(m_device->Draws().size(), 1u) << c.name;
    const auto& v = m_device->Draws()[0].vertices;
    EXPECT_FLOAT_EQ(v[0].x, c.x0) << c.name;
    EXPECT_FLOAT_EQ(v[0].y, c.y0) << c.name;
    EXPECT_FLOAT_EQ(v[2].x, c.x2) << c.name;
    EXPECT_FLOAT_EQ(v[2].y, c.y2) << c.name;
  }
  // Nothing for a stretch to no size, a sprite without frames, or a frame
  // without a texture.
  m_device->ForgetDraws();
  s.DrawStretched(0, 0, 0, 0, 5, 0xFFFFFF, 1);
  b.DrawStretched(0, 0, 5, -1, 0xFFFFFF, 1);
  CSprite empty;
  empty.DrawSimple(0, 0, 0);
  empty.DrawTiled(0, 0, 0, 1, 1, true, true, 0, 0, 100, 100, 0xFFFFFF, 1);
  EXPECT_EQ(empty.GetTexture(0), -1);
  CSprite untextured = s;
  untextured.i_tex = {-1};
  untextured.Draw(0, 0, 0, 1, 1, 0, 0xFFFFFF, 1);
  EXPECT_TRUE(m_device->Draws().empty());
}

// Exact pixels on the real device: the table's power-of-two textures with
// their fractions and half-pixel offsets copy a sprite exactly, and tiling
// from an origin fills the whole screen.
class SpritePixels : public test::CDeviceTest {
 protected:
  void SetUp() override {
    CDeviceTest::SetUp();
    Graphics_SetDevice(std::move(m_device));
    g_DrawState.Reset();
    Graphics_Device()->Clear(true, 0xFF000000, true);
  }
  void TearDown() override {
    Graphics_SetDevice(nullptr);
    CDeviceTest::TearDown();
  }
  uint32_t At(int32_t x, int32_t y) {
    TBitmap32 out;
    EXPECT_TRUE(Graphics_Device()->BackBuffer_Copy({x, y, 1, 1}, out));
    return out.s_data.empty() ? 0 : out.s_data[0];
  }
};

TEST_F(SpritePixels, ASpriteFrameLandsPixelForPixel) {
  // 3 x 3 (a 4 x 4 texture), every pixel different, origin at its centre.
  CSprite s;
  TBitmap32 frame(3, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) frame.SetPixel(x, y, 0xFF000000u | uint32_t(40 + 70 * x) << 16 | uint32_t(40 + 70 * y));
  s.i_bitmap = {frame};
  s.i_numb = 1;
  s.i_xorig = s.i_yorig = 1;
  s.InitTexture();
  ASSERT_DOUBLE_EQ(Texture_WidthFraction(s.i_tex[0]), 0.75);
  s.DrawSimple(0, 20, 30);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(At(19 + x, 29 + y), frame.GetPixel(x, y)) << x << "," << y;
  EXPECT_EQ(At(22, 30), 0xFF000000u) << "the texture's empty column is not drawn";
  EXPECT_EQ(At(18, 30), 0xFF000000u);

  // Blended with a colour at half alpha over black: red halves, the rest goes.
  Graphics_Device()->Clear(true, 0xFF000000, true);
  s.Draw(0, 20, 30, 1, 1, 0, 0x0000FF, 0.5);
  const uint32_t centre = At(20, 30);
  EXPECT_NEAR(int((centre >> 16) & 0xFF), (110 + 1) / 2, 1);
  EXPECT_EQ(centre & 0xFFFF, 0u);
}

TEST_F(SpritePixels, TilesFromAnyOriginFillTheScreen) {
  CBackground b;
  ASSERT_TRUE(b.CreateColor(5, 7, 0x00FF00));
  b.InitTexture();
  CSprite s;
  s.i_bitmap = {TBitmap32(5, 7, 0xFF0000FFu)};
  s.i_numb = 1;
  s.i_xorig = 4;
  s.i_yorig = -3;
  s.InitTexture();
  for (int pass = 0; pass < 2; ++pass) {
    Graphics_Device()->Clear(true, 0xFF000000, true);
    const uint32_t want = pass == 0 ? 0xFF00FF00u : 0xFF0000FFu;
    if (pass == 0)
      b.DrawTiled(13, -29, 1, 1, true, true, 0, 0, kSize, kSize, 0xFFFFFF, 1);
    else
      s.DrawTiled(0, 13, -29, 1, 1, true, true, 0, 0, kSize, kSize, 0xFFFFFF, 1);
    TBitmap32 screen;
    ASSERT_TRUE(Graphics_Device()->BackBuffer_Copy({0, 0, kSize, kSize}, screen));
    int32_t uncovered = 0;
    for (uint32_t p : screen.s_data) uncovered += p != want;
    EXPECT_EQ(uncovered, 0) << "pass " << pass;
  }
}

}  // namespace
}  // namespace tavrin
