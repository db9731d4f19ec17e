// The recording device keeps what each draw was made with, and the helpers
// every device shares (colours, uploads of bitmap parts, whole primitives).
#include <gtest/gtest.h>

#include "graphics/Graphics_Recorder.h"

namespace tavrin {
namespace {

TEST(Recorder, EachDrawKeepsItsVerticesTextureStateTransformsViewportAndTarget) {
  CRecordingDevice device(320, 240);
  const TextureId sprite = device.Texture_Create(4, 4, false);
  const TextureId surface = device.Texture_Create(32, 16, true);

  RRenderState additive;
  additive.blendDestination = kBlendOne;
  const RVertexTextured quad[4] = {
      {-0.5f, -0.5f, 0, 0xFFFFFFFF, 0, 0}, {3.5f, -0.5f, 0, 0xFFFFFFFF, 1, 0},
      {3.5f, 3.5f, 0, 0xFFFFFFFF, 1, 1},   {-0.5f, 3.5f, 0, 0xFFFFFFFF, 0, 1}};
  device.SetTexture(sprite);
  device.SetRenderState(additive);
  device.SetTransform(ETransform::World, Matrix_Translation(5, 6, 0));
  device.Draw(EPrimitive::TriangleFan, std::span<const RVertexTextured>(quad));

  ASSERT_TRUE(device.SetRenderTarget(surface));
  device.SetTexture(kNoTexture);
  device.SetRenderState(RRenderState{});
  const RVertexColored line[3] = {{0, 0, 0, 0xFF0000FF}, {5, 5, 0, 0xFF00FF00}, {9, 9, 0, 0xFFFF0000}};
  device.Draw(EPrimitive::LineList, std::span<const RVertexColored>(line));  // the third vertex is left out
  device.Draw(EPrimitive::TriangleStrip, std::span<const RVertexColored>(line, 2));  // nothing complete
  device.Draw(EPrimitive(9), std::span<const RVertexColored>(line));                 // an unknown kind

  const auto& draws = device.Draws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].kind, EPrimitive::TriangleFan);
  EXPECT_EQ(draws[0].layout, EVertexLayout::Textured);
  ASSERT_EQ(draws[0].vertices.size(), 4u);
  EXPECT_EQ(draws[0].vertices[2].x, 3.5f);
  EXPECT_EQ(draws[0].vertices[2].u, 1.0f);
  EXPECT_EQ(draws[0].vertices[2].nx, 0.0f);
  EXPECT_EQ(draws[0].texture, sprite);
  EXPECT_EQ(draws[0].state, additive);
  EXPECT_EQ(draws[0].world, Matrix_Translation(5, 6, 0));
  EXPECT_EQ(draws[0].target, kNoTexture);
  EXPECT_EQ(draws[0].viewport, (RViewport{0, 0, 320, 240, 0, 1}));

  EXPECT_EQ(draws[1].kind, EPrimitive::LineList);
  ASSERT_EQ(draws[1].vertices.size(), 2u);
  EXPECT_EQ(draws[1].vertices[1].color, 0xFF00FF00u);
  EXPECT_EQ(draws[1].vertices[1].u, 0.0f);
  EXPECT_EQ(draws[1].texture, kNoTexture);
  EXPECT_EQ(draws[1].state, RRenderState{});
  EXPECT_EQ(draws[1].target, surface);
  EXPECT_EQ(draws[1].viewport, (RViewport{0, 0, 32, 16, 0, 1}));  // switching targets takes the whole target
}

TEST(Recorder, AFreedTextureIsNoLongerDrawnWithAndItsIdIsReusedLowestFirst) {
  CRecordingDevice device;
  const TextureId a = device.Texture_Create(2, 2, false), b = device.Texture_Create(2, 2, true);
  ASSERT_TRUE(device.SetRenderTarget(b));
  device.SetTexture(a);
  device.Texture_Free(a);
  device.Texture_Free(b);
  EXPECT_EQ(device.Texture(), kNoTexture);
  EXPECT_EQ(device.RenderTarget(), kNoTexture);  // drawing went back to the back buffer
  EXPECT_EQ(device.Texture_Create(8, 8, false), a);
  EXPECT_EQ(device.Texture_Create(8, 8, false), b);
  EXPECT_FALSE(device.SetRenderTarget(a));  // not a render target
  EXPECT_EQ(device.Texture_Create(0, 8, false), kNoTexture);
  EXPECT_EQ(device.Texture_Create(8, 9000, false), kNoTexture);
}

TEST(Recorder, BitmapPartsAreUploadedWithTheirStrideAndReadBack) {
  CRecordingDevice device;
  const TextureId t = device.Texture_Create(4, 4, false);
  TBitmap32 bitmap(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) bitmap.SetPixel(x, y, uint32_t(0xFF000000 | (y << 8) | x));
  ASSERT_TRUE(device.Texture_Upload(t, bitmap, RRect{2, 1, 3, 2}, 1, 2));
  TBitmap32 back;
  ASSERT_TRUE(device.Texture_Copy(t, {0, 0, 4, 4}, back));
  EXPECT_EQ(back.GetPixel(0, 0), 0u);
  EXPECT_EQ(back.GetPixel(1, 2), 0xFF000102u);
  EXPECT_EQ(back.GetPixel(3, 3), 0xFF000204u);
  struct RCase {
    const char* name;
    RRect part;
    int32_t x, y;
  } refused[] = {
      {"part beyond the bitmap", {3, 0, 3, 1}, 0, 0},
      {"negative part", {-1, 0, 2, 1}, 0, 0},
      {"empty part", {0, 0, 0, 1}, 0, 0},
      {"beyond the texture", {0, 0, 2, 2}, 3, 0},
      {"before the texture", {0, 0, 2, 2}, 0, -1},
  };
  for (const RCase& c : refused) EXPECT_FALSE(device.Texture_Upload(t, bitmap, c.part, c.x, c.y)) << c.name;
  EXPECT_FALSE(device.Texture_Copy(t, {0, 0, 5, 1}, back));
  EXPECT_FALSE(device.BackBuffer_Copy({0, 0, 1, 1}, back));  // nothing is rasterized
}

TEST(DeviceColours, GameColoursBecomeArgbWithRoundedClampedAlpha) {
  struct RCase {
    uint32_t color;
    double alpha;
    uint32_t want;
  } cases[] = {
      {0x0000FF, 1.0, 0xFFFF0000},   // red is the low byte of a game's colour
      {0xFF0000, 1.0, 0xFF0000FF},   // blue the third
      {0x123456, 0.5, 0x80563412},   // 127.5 rounds to even
      {0x123456, 0.502, 0x80563412},
      {0x00FF00, 2.0, 0xFF00FF00},
      {0x00FF00, -1.0, 0x0000FF00},
      {0x00FF00, std::nan(""), 0x0000FF00},
      {0xFF123456, 1.0, 0xFF563412},  // bits above the colour are ignored
  };
  for (const RCase& c : cases) EXPECT_EQ(Device_ArgbOf(c.color, c.alpha), c.want) << std::hex << c.color << " " << c.alpha;
}

TEST(DevicePrimitives, OnlyWholePrimitivesAreDrawn) {
  struct RCase {
    EPrimitive kind;
    int32_t count, used;
  } cases[] = {
      {EPrimitive::PointList, 1, 1},     {EPrimitive::LineList, 5, 4},      {EPrimitive::LineStrip, 1, 0},
      {EPrimitive::LineStrip, 2, 2},     {EPrimitive::TriangleList, 8, 6},  {EPrimitive::TriangleStrip, 2, 0},
      {EPrimitive::TriangleFan, 5, 5},   {EPrimitive(0), 6, 0},             {EPrimitive(7), 6, 0},
      {EPrimitive::TriangleList, -3, 0},
  };
  for (const RCase& c : cases)
    EXPECT_EQ(Primitive_UsedVertices(c.kind, c.count), c.used) << int(c.kind) << " x " << c.count;
}

}  // namespace
}  // namespace tavrin
