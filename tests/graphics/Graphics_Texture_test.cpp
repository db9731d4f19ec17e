// The game's texture table and everything drawn from it, checked through the
// recording device: power-of-two textures and the fractions games see, the
// quads of sprites and backgrounds (corners with their half-pixel offsets,
// texture rectangles, colours, rotation), tiling that covers its area from
// any origin, the primitive builder, and the drawing state reaching the
// device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Primitive.h"
#include "graphics/Graphics_Quad.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/RecordingFixture.h"
#include "graphics/Sprite_List.h"

namespace tavrin {
namespace {

struct RCorner {
  float x, y, u, v;
  uint32_t color;
};

class Textures : public test::CRecordingTest {
 protected:
  void TearDown() override {
    g_GraphicsData.Clear();
    CRecordingTest::TearDown();
    g_DrawState.Reset();
  }
  static TBitmap32 Picture(int32_t w, int32_t h) { return test::NumberedPicture(w, h); }
  const RRecordedDraw& Only() {
    EXPECT_EQ(m_device->Draws().size(), 1u);
    return m_device->Draws().back();
  }
  static void ExpectQuad(const RRecordedDraw& d, const std::array<RCorner, 4>& want, const char* name) {
    EXPECT_EQ(d.kind, EPrimitive::TriangleFan) << name;
    EXPECT_EQ(d.layout, EVertexLayout::Textured) << name;
    ASSERT_EQ(d.vertices.size(), 4u) << name;
    for (size_t i = 0; i < 4; ++i) {
      const RVertexLit& v = d.vertices[i];
      EXPECT_NEAR(v.x, want[i].x, 1e-3) << name << " corner " << i;
      EXPECT_NEAR(v.y, want[i].y, 1e-3) << name << " corner " << i;
      EXPECT_FLOAT_EQ(v.u, want[i].u) << name << " corner " << i;
      EXPECT_FLOAT_EQ(v.v, want[i].v) << name << " corner " << i;
      EXPECT_EQ(v.color, want[i].color) << name << " corner " << i;
    }
  }
};

TEST_F(Textures, ImagesSitTopLeftInPowerOfTwoTextures) {
  const TextureId id = Texture_CreateFromBitmap(Picture(100, 60));
  ASSERT_GE(id, 0);
  int32_t w = 0, h = 0;
  ASSERT_TRUE(m_device->Texture_Size(id, w, h));
  EXPECT_EQ(w, 128);
  EXPECT_EQ(h, 64);
  EXPECT_DOUBLE_EQ(Texture_WidthFraction(id), 0.78125);
  EXPECT_DOUBLE_EQ(Texture_HeightFraction(id), 0.9375);
  uint32_t texel = 0;
  ASSERT_TRUE(m_device->Texture_Read(id, {99, 59, 1, 1}, &texel));
  EXPECT_EQ(texel, 0xFF003B63u) << "the image's last pixel";
  ASSERT_TRUE(m_device->Texture_Read(id, {100, 59, 1, 1}, &texel));
  EXPECT_EQ(texel, 0u) << "beyond the image the texture is empty";

  // Sizes that are powers of two already stay; glyph sheets are white.
  const uint8_t alpha[3] = {0, 128, 255};
  const TextureId glyphs = Texture_CreateAlpha(1, 3, alpha);
  ASSERT_TRUE(m_device->Texture_Size(glyphs, w, h));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 4);
  uint32_t column[3];
  ASSERT_TRUE(m_device->Texture_Read(glyphs, {0, 0, 1, 3}, column));
  EXPECT_EQ(column[1], 0x80FFFFFFu);

  // Freed ids come back lowest first; a freed or unknown id is nothing.
  Texture_Free(id);
  EXPECT_FALSE(Texture_Exists(id));
  EXPECT_DOUBLE_EQ(Texture_WidthFraction(id), 1.0);
  Texture_Free(id);
  Texture_Free(-1);
  Texture_Free(99);
  EXPECT_EQ(Texture_CreateEmpty(3, 3, true), id);
  EXPECT_EQ(Texture_Count(), 2);
}

TEST_F(Textures, WhatCannotBeATextureIsMinusOne) {
  EXPECT_EQ(Texture_CreateFromBitmap(TBitmap32()), -1) << "empty picture";
  EXPECT_EQ(Texture_CreateFromBitmap(TBitmap32(1025, 1)), -1) << "wider than the device allows";
  EXPECT_EQ(Texture_CreateEmpty(0, 5, false), -1);
  EXPECT_EQ(Texture_CreateAlpha(2, 2, nullptr), -1);
  EXPECT_EQ(Texture_CreateFromBitmap(TBitmap32(1024, 1)), 0) << "the limit itself is fine";
  EXPECT_EQ(Texture_Count(), 1);

  // Without a device nothing is made and nothing drawn.
  Graphics_SetDevice(nullptr);
  EXPECT_EQ(Texture_Count(), 0);
  EXPECT_EQ(Texture_CreateFromBitmap(Picture(4, 4)), -1);
  Quad_DrawSimple(0, 0, 0);
  Primitive_Begin(4, -1);
  for (int i = 0; i < 3; ++i) Primitive_Vertex(i, i, 0, 0, 0xFFFFFFFF);
  Primitive_End();  // must not reach a device that is gone
}

TEST_F(Textures, ANewDeviceForgetsThePicturesTexturesWithoutFreeingOthers) {
  auto sprite = std::make_unique<CSprite>();
  sprite->i_bitmap = {Picture(2, 2), Picture(2, 2)};
  sprite->i_numb = 2;
  sprite->InitTexture();
  g_GraphicsData.sprites.Add(std::move(sprite), "s");
  EXPECT_EQ(g_GraphicsData.sprites.Get(0)->i_tex, (std::vector<int32_t>{0, 1}));

  auto next = std::make_unique<CRecordingDevice>();
  CRecordingDevice* device = next.get();
  Graphics_SetDevice(std::move(next));
  m_device = device;
  EXPECT_EQ(g_GraphicsData.sprites.Get(0)->i_tex, (std::vector<int32_t>{-1, -1}));
  // A texture of the new device with an id the sprite held before survives
  // the sprite's textures being made again.
  const TextureId font = Texture_CreateFromBitmap(Picture(1, 1));
  EXPECT_EQ(font, 0);
  Sprite_InitTextures();
  EXPECT_TRUE(Texture_Exists(font));
  EXPECT_EQ(g_GraphicsData.sprites.Get(0)->i_tex, (std::vector<int32_t>{1, 2}));
}

TEST_F(Textures, QuadCornersTexelsAndColours) {
  const TextureId id = Texture_CreateFromBitmap(Picture(100, 60));  // 128 x 64
  constexpr float U = 0.78125f, V = 0.9375f;
  constexpr uint32_t kWhite = 0xFFFFFFFF, kHalfRed = 0x80FF0000;  // game red 0x0000FF at alpha 0.5
  const struct {
    const char* name;
    void (*draw)(TextureId);
    std::array<RCorner, 4> want;
  } cases[] = {
      {"simple", [](TextureId t) { Quad_DrawSimple(t, 10, 20); },
       {{{9.5f, 19.5f, 0, 0, kWhite}, {109.5f, 19.5f, U, 0, kWhite}, {109.5f, 79.5f, U, V, kWhite},
         {9.5f, 79.5f, 0, V, kWhite}}}},
      {"origin and scales", [](TextureId t) { Quad_Draw(t, 50, 30, 100, 100, 2, 0.5, 0, 0x0000FF, 0.5); },
       {{{-0.5f, 84.5f, 0, 0, kHalfRed}, {199.5f, 84.5f, U, 0, kHalfRed}, {199.5f, 114.5f, U, V, kHalfRed},
         {-0.5f, 114.5f, 0, V, kHalfRed}}}},
      {"mirrored", [](TextureId t) { Quad_Draw(t, 0, 0, 0, 0, -1, 1, 0, 0xFFFFFF, 1); },
       {{{-0.5f, -0.5f, 0, 0, kWhite}, {-100.5f, -0.5f, U, 0, kWhite}, {-100.5f, 59.5f, U, V, kWhite},
         {-0.5f, 59.5f, 0, V, kWhite}}}},
      // A quarter turn counter-clockwise: the top edge now points up the screen.
      {"quarter turn", [](TextureId t) { Quad_Draw(t, 0, 0, 0, 0, 1, 1, std::numbers::pi / 2, 0xFFFFFF, 1); },
       {{{-0.5f, 0.5f, 0, 0, kWhite}, {-0.5f, -99.5f, U, 0, kWhite}, {59.5f, -99.5f, U, V, kWhite},
         {59.5f, 0.5f, 0, V, kWhite}}}},
      {"a turn too small to matter", [](TextureId t) { Quad_Draw(t, 0, 0, 0, 0, 1, 1, 0.0009, 0xFFFFFF, 1); },
       {{{-0.5f, -0.5f, 0, 0, kWhite}, {99.5f, -0.5f, U, 0, kWhite}, {99.5f, 59.5f, U, V, kWhite},
         {-0.5f, 59.5f, 0, V, kWhite}}}},
      {"part", [](TextureId t) { Quad_DrawPart(t, 10, 8, 20, 16, 3, 4, 1, 2, 0, 0x0000FF, 0.5); },
       {{{2.5f, 3.5f, 10 / 128.f, 8 / 64.f, kHalfRed}, {22.5f, 3.5f, 30 / 128.f, 8 / 64.f, kHalfRed},
         {22.5f, 35.5f, 30 / 128.f, 24 / 64.f, kHalfRed}, {2.5f, 35.5f, 10 / 128.f, 24 / 64.f, kHalfRed}}}},
      {"general", [](TextureId t) {
         Quad_DrawGeneral(t, 0, 0, 100, 60, 0, 0, 1, 1, 0, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0.5);
       },
       {{{-0.5f, -0.5f, 0, 0, 0x80FF0000}, {99.5f, -0.5f, U, 0, 0x8000FF00}, {99.5f, 59.5f, U, V, 0x800000FF},
         {-0.5f, 59.5f, 0, V, 0x80FFFFFF}}}},
      {"four corners", [](TextureId t) { Quad_DrawPos(t, 0.25, 0, 0, 10, 1, 12, 9, 1, 8); },
       {{{-0.5f, -0.5f, 0, 0, 0x40FFFFFF}, {9.5f, 0.5f, U, 0, 0x40FFFFFF}, {11.5f, 8.5f, U, V, 0x40FFFFFF},
         {0.5f, 7.5f, 0, V, 0x40FFFFFF}}}},
  };
  for (const auto& c : cases) {
    m_device->ForgetDraws();
    c.draw(id);
    ExpectQuad(Only(), c.want, c.name);
    EXPECT_EQ(Only().texture, id) << c.name;
    // Missing textures draw nothing at all.
    m_device->ForgetDraws();
    c.draw(id + 1);
    c.draw(-1);
    EXPECT_TRUE(m_device->Draws().empty()) << c.name;
  }
}

// The union of the tiles' spans along one direction: whether they cover
// [from, to) without a gap.
bool Covers(std::vector<std::pair<float, float>> spans, double from, double to) {
  std::sort(spans.begin(), spans.end());
  double reached = from;
  for (const auto& [a, b] : spans) {
    if (a > reached + 1e-3) return false;
    reached = std::max(reached, double(b));
  }
  return reached >= to - 1e-3;
}

TEST_F(Textures, TilingCoversTheAreaWhateverTheOrigin) {
  const TextureId id = Texture_CreateFromBitmap(Picture(10, 6));
  const double origins[] = {0, 3, 9, 10, 25, -4, -17};
  const double positions[] = {0, 1, -7, 33, 503, -1234};
  const double scales[] = {1, 2, 0.5};
  for (double o : origins)
    for (double x : positions)
      for (double s : scales) {
        m_device->ForgetDraws();
        // The area (5, 7, 100, 50), tiled both ways.
        Quad_DrawTiled(id, true, true, o, o / 2, x, x, s, s, 5, 7, 100, 50, 0xFFFFFF, 1);
        std::vector<std::pair<float, float>> xs, ys;
        for (const RRecordedDraw& d : m_device->Draws()) {
          xs.emplace_back(d.vertices[0].x + 0.5f, d.vertices[1].x + 0.5f);
          ys.emplace_back(d.vertices[0].y + 0.5f, d.vertices[3].y + 0.5f);
        }
        const std::string what = "origin " + std::to_string(o) + " at " + std::to_string(x) + " scale " +
                                 std::to_string(s);
        EXPECT_TRUE(Covers(xs, 5, 105)) << what;
        EXPECT_TRUE(Covers(ys, 7, 57)) << what;
        // No tile lies wholly outside the area.
        for (size_t i = 0; i < xs.size(); ++i) {
          EXPECT_TRUE(xs[i].second > 5 && xs[i].first < 105) << what;
          EXPECT_TRUE(ys[i].second > 7 && ys[i].first < 57) << what;
        }
      }
}

TEST_F(Textures, TilingInOneDirectionAndTilesBelowAPixel) {
  const TextureId id = Texture_CreateFromBitmap(Picture(10, 6));
  Quad_DrawTiled(id, true, false, 0, 0, 3, 40, 1, 1, 0, 0, 30, 100, 0xFFFFFF, 1);
  ASSERT_EQ(m_device->Draws().size(), 4u) << "columns at -7, 3, 13, 23; one row";
  for (const RRecordedDraw& d : m_device->Draws()) EXPECT_FLOAT_EQ(d.vertices[0].y, 39.5f);
  EXPECT_FLOAT_EQ(m_device->Draws()[0].vertices[0].x, -7.5f);

  m_device->ForgetDraws();
  Quad_DrawTiled(id, true, true, 0, 0, 0, 0, 0.04, 1, 0, 0, 100, 100, 0xFFFFFF, 1);  // round(0.4) = 0 wide
  Quad_DrawTiled(id, true, true, 0, 0, 0, 0, 1, -1, 0, 0, 100, 100, 0xFFFFFF, 1);
  Quad_DrawTiled(id, false, false, 0, 0, 200, 0, 1, 1, 0, 0, 100, 100, 0xFFFFFF, 1);  // past the far edge
  EXPECT_TRUE(m_device->Draws().empty());
}

TEST_F(Textures, QuadsDrawClampedAndPrimitivesWithTheRepeatSetting) {
  const TextureId id = Texture_CreateFromBitmap(Picture(4, 4));
  g_DrawState.textureRepeat = true;
  g_DrawState.interpolation = false;
  DrawState_SetBlendMode(1);
  Quad_DrawSimple(id, 0, 0);
  Primitive_Begin(int32_t(EPrimitive::TriangleList), id);
  for (int i = 0; i < 3; ++i) Primitive_Vertex(i, 0, 2, 2, 0xFFFFFFFF);
  Primitive_End();
  ASSERT_EQ(m_device->Draws().size(), 2u);
  const RRenderState& quad = m_device->Draws()[0].state;
  const RRenderState& primitive = m_device->Draws()[1].state;
  EXPECT_FALSE(quad.textureRepeat);
  EXPECT_TRUE(primitive.textureRepeat) << "the setting games read is the one the primitive used";
  for (const RRenderState* s : {&quad, &primitive}) {
    EXPECT_FALSE(s->linearFilter);
    EXPECT_EQ(s->blendSource, kBlendSrcAlpha);
    EXPECT_EQ(s->blendDestination, kBlendOne);
  }
  EXPECT_EQ(m_device->Texture(), kNoTexture) << "a primitive leaves no texture bound";

  const struct {
    int32_t mode;
    int32_t source, destination;
  } modes[] = {{0, kBlendSrcAlpha, kBlendInvSrcAlpha},
               {1, kBlendSrcAlpha, kBlendOne},
               {2, kBlendSrcAlpha, kBlendInvSrcColor},
               {3, kBlendZero, kBlendInvSrcColor},
               {77, kBlendSrcAlpha, kBlendInvSrcAlpha}};
  for (const auto& m : modes) {
    m_device->ForgetDraws();
    DrawState_SetBlendMode(m.mode);
    Quad_DrawSimple(id, 0, 0);
    EXPECT_EQ(Only().state.blendSource, m.source) << m.mode;
    EXPECT_EQ(Only().state.blendDestination, m.destination) << m.mode;
  }
}

TEST_F(Textures, PrimitivesTakeColoursDepthAndTheirCap) {
  DrawState_SetColor(0x0000FF);
  DrawState_SetAlpha(0.5);
  g_DrawState.depth = 7;
  Primitive_Begin(int32_t(EPrimitive::LineStrip), 12345);  // no such texture: drawn untextured
  Primitive_Vertex(1, 2, 0, 0, g_DrawState.color);
  Primitive_Vertex(3, 4, 0.5, 0.25, Color_ToARGB(0x00FF00, 2));
  Primitive_End();
  const RRecordedDraw& d = Only();
  EXPECT_EQ(d.kind, EPrimitive::LineStrip);
  EXPECT_EQ(d.texture, kNoTexture);
  ASSERT_EQ(d.vertices.size(), 2u);
  EXPECT_EQ(d.vertices[0].color, 0x80FF0000u);
  EXPECT_EQ(d.vertices[1].color, 0xFF00FF00u) << "alpha above 1 is opaque";
  EXPECT_FLOAT_EQ(d.vertices[1].u, 0.5f);
  EXPECT_FLOAT_EQ(d.vertices[1].v, 0.25f);
  EXPECT_FLOAT_EQ(d.vertices[0].z, 7.f);
  Primitive_End();
  EXPECT_EQ(m_device->Draws().size(), 2u) << "ending again draws the same vertices again";

  m_device->ForgetDraws();
  Primitive_Begin(int32_t(EPrimitive::PointList), -1);
  for (int i = 0; i < 1500; ++i) Primitive_Vertex(i, 0, 0, 0, 0xFFFFFFFF);
  EXPECT_EQ(Primitive_VertexCount(), 1001);
  Primitive_End();
  EXPECT_EQ(Only().vertices.size(), 1001u);
  EXPECT_FLOAT_EQ(Only().vertices.back().x, 1000.f);
}

TEST_F(Textures, PrimitivesTooShortOrOfNoKindDrawNothing) {
  const struct {
    int32_t kind, count;
    bool drawn;
  } cases[] = {
      {1, 0, false}, {1, 1, true},  {2, 1, false}, {2, 3, true},  {3, 0, false}, {3, 1, false}, {3, 2, true},
      {4, 2, false}, {4, 3, true},  {5, 0, false}, {5, 1, false}, {5, 2, false}, {5, 3, true},  {6, 1, false},
      {6, 2, false}, {6, 3, true},  {0, 9, false}, {7, 9, false}, {-1, 9, false},
  };
  for (const auto& c : cases) {
    m_device->ForgetDraws();
    Primitive_Begin(c.kind, -1);
    for (int i = 0; i < c.count; ++i) Primitive_Vertex(i, i * i, 0, 0, 0xFFFFFFFF);
    Primitive_End();
    EXPECT_EQ(!m_device->Draws().empty(), c.drawn) << "kind " << c.kind << ", " << c.count << " vertices";
  }
}

TEST_F(Textures, DrawStateColourAndAlpha) {
  EXPECT_EQ(g_DrawState.color, 0xFF000000u);
  DrawState_SetColor(0x123456);
  EXPECT_EQ(g_DrawState.color, 0xFF563412u);
  EXPECT_EQ(DrawState_GetColor(), 0x123456u);
  const struct {
    double in, stored;
    uint32_t alphaByte;
  } alphas[] = {{2, 1, 255}, {-1, 0, 0}, {0.5, 0.5, 128}, {NAN, 0, 0}, {0.25, 0.25, 64}};
  for (const auto& a : alphas) {
    DrawState_SetAlpha(a.in);
    EXPECT_EQ(g_DrawState.alpha, a.stored) << a.in;
    EXPECT_EQ(g_DrawState.color >> 24, a.alphaByte) << a.in;
    EXPECT_EQ(DrawState_GetColor(), 0x123456u) << a.in;
  }
  DrawState_SetColor(0xFFFFFF);
  EXPECT_EQ(g_DrawState.color, 0x40FFFFFFu) << "a new colour keeps the alpha";
  g_DrawState.Reset();
  EXPECT_EQ(g_DrawState.color, 0xFF000000u);
  EXPECT_EQ(g_DrawState.alpha, 1.0);
}

}  // namespace
}  // namespace tavrin
