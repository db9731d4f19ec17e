// Surfaces on the recording device, whose textures hold exactly what is
// written: the table's ids, refused sizes, depth buffers kept for sixty steps
// after their surface, switching the target and the
// viewport each target gets, copies clipped to both surfaces (and onto
// themselves), pixels inside and outside, and every surface gone after a
// device reset.
#include <gtest/gtest.h>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_Surface.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/RecordingFixture.h"

namespace tavrin {
namespace {

class Surfaces : public test::CRecordingTest {
 protected:
  void SetUp() override {
    CRecordingTest::SetUp();
    g_Surfaces.Reset();
    g_Display.deviceW = 320;
    g_Display.deviceH = 240;
  }
  void TearDown() override {
    g_Surfaces.Reset();
    g_Display.Reset();
    CRecordingTest::TearDown();
  }

  // A w x h surface whose pixel (x, y) is 0xFF000000 | y << 8 | x.
  int32_t Numbered(int32_t w, int32_t h) {
    const int32_t id = Surface_Create(w, h);
    EXPECT_TRUE(m_device->Texture_Upload(Surface_GetTexture(id), test::NumberedPicture(w, h)));
    return id;
  }
  uint32_t Pixel(int32_t id, int32_t x, int32_t y) {
    uint32_t p = 0;
    EXPECT_TRUE(m_device->Texture_Read(Surface_GetTexture(id), {x, y, 1, 1}, &p));
    return p;
  }
};

TEST_F(Surfaces, IdsAreReusedAndRefusedSizesLeaveNothing) {
  const int32_t a = Surface_Create(30, 20), b = Surface_Create(8, 8);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(Surface_GetWidth(a), 30);
  EXPECT_EQ(Surface_GetHeight(a), 20);
  // The texture is large enough, and its image is the size asked for.
  EXPECT_EQ(Texture_Entry(Surface_GetTexture(a))->w, 30);
  EXPECT_TRUE(m_device->Texture_IsRenderTarget(Surface_GetTexture(a)));
  Surface_Free(a);
  EXPECT_FALSE(Surface_Exists(a));
  EXPECT_EQ(Surface_GetWidth(a), -1);
  EXPECT_EQ(Surface_GetTexture(a), -1);
  EXPECT_EQ(Surface_Create(4, 4), a);
  for (const auto [w, h] : {std::pair{0, 8}, {8, -1}, {2000, 8}, {8, 1 << 30}}) {
    EXPECT_EQ(Surface_Create(w, h), -1) << w << " x " << h;
    EXPECT_EQ(g_Surfaces.table.size(), 2u) << w << " x " << h;
  }
  Graphics_SetDevice(nullptr);
  EXPECT_EQ(Surface_Create(8, 8), -1);
}

TEST_F(Surfaces, DepthBuffersOutliveTheirSurfaceBySixtySteps) {
  const int32_t s = Surface_Create(30, 2);
  ASSERT_TRUE(Surface_SetTarget(s));
  EXPECT_EQ(m_device->RenderTargetDepth(), g_Surfaces.table[0].depth);
  EXPECT_EQ(m_device->DepthBuffer_Count(), 1);
  Surface_Free(s);
  EXPECT_EQ(Surface_Create(5, 5), s);  // the surface id is free at once
  Surface_Free(s);
  for (int step = 1; step < kSurfaceDepthDelay; ++step) {
    Surface_TickDepthBuffers();
    ASSERT_EQ(m_device->DepthBuffer_Count(), 2) << step;
  }
  Surface_TickDepthBuffers();
  EXPECT_EQ(m_device->DepthBuffer_Count(), 0);
  EXPECT_TRUE(g_Surfaces.oldDepthBuffers.empty());
}

TEST_F(Surfaces, ADepthBufferTheDeviceRefusesMakesNoSurface) {
  // Depth buffers are at least 4 x 4: this device makes nothing that large.
  Graphics_SetDevice(std::make_unique<CRecordingDevice>(640, 480, 2));
  EXPECT_EQ(Surface_Create(1, 1), -1);
  EXPECT_TRUE(g_Surfaces.table.empty());
  EXPECT_EQ(Texture_Count(), 0);
}

TEST_F(Surfaces, TheTargetAndItsCoordinates) {
  const int32_t s = Surface_Create(30, 20), t = Surface_Create(10, 10);
  ASSERT_TRUE(Surface_SetTarget(s));
  EXPECT_EQ(m_device->RenderTarget(), Surface_GetTexture(s));
  // The surface's own pixels from its top-left, not the texture's size.
  EXPECT_EQ(m_device->Viewport(), (RViewport{0, 0, 30, 20, 0, 1}));
  EXPECT_TRUE(Surface_SetTarget(s));
  EXPECT_FALSE(Surface_SetTarget(7));
  EXPECT_EQ(g_Surfaces.target, s);
  ASSERT_TRUE(Surface_SetTarget(t));
  EXPECT_EQ(m_device->Viewport(), (RViewport{0, 0, 10, 10, 0, 1}));
  // Back to the whole region, whatever view drew before.
  ASSERT_TRUE(Surface_ResetTarget());
  EXPECT_EQ(m_device->RenderTarget(), kNoTexture);
  EXPECT_EQ(m_device->Viewport(), (RViewport{0, 0, 320, 240, 0, 1}));
  EXPECT_FALSE(Surface_ResetTarget());
  // Freeing the target draws on the screen again.
  ASSERT_TRUE(Surface_SetTarget(s));
  Surface_Free(s);
  EXPECT_EQ(g_Surfaces.target, -1);
  EXPECT_EQ(m_device->RenderTarget(), kNoTexture);
}

TEST_F(Surfaces, CopiesAreClippedToBothSurfaces) {
  const struct {
    const char* name;
    int32_t x, y, xs, ys, ws, hs;
    RRect changed;          // in the destination
    int32_t fromX, fromY;   // the source pixel of the changed part's top-left
  } cases[] = {
      {"inside both", 1, 2, 3, 4, 2, 3, {1, 2, 2, 3}, 3, 4},
      {"negative destination", -2, 3, 1, 1, 4, 4, {0, 3, 2, 4}, 3, 1},
      {"negative source", 2, 2, -3, -1, 6, 6, {5, 3, 3, 5}, 0, 0},
      {"past the source's far side", 0, 0, 6, 6, 10, 10, {0, 0, 2, 2}, 6, 6},
      {"past the destination's far side", 6, 7, 0, 0, 8, 8, {6, 7, 2, 1}, 0, 0},
      {"no overlap", 8, 0, 0, 0, 4, 4, {0, 0, 0, 0}, 0, 0},
      {"a source part outside", 0, 0, -9, 0, 4, 4, {0, 0, 0, 0}, 0, 0},
  };
  const int32_t src = Numbered(8, 8);
  for (const auto& c : cases) {
    const int32_t dest = Surface_Create(8, 8);
    Surface_CopyPart(dest, c.x, c.y, src, c.xs, c.ys, c.ws, c.hs);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) {
        const RRect& r = c.changed;
        const bool in = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
        const uint32_t want =
            in ? 0xFF000000u | uint32_t(y - r.y + c.fromY) << 8 | uint32_t(x - r.x + c.fromX) : 0u;
        ASSERT_EQ(Pixel(dest, x, y), want) << c.name << " at " << x << ", " << y;
      }
    Surface_Free(dest);
  }
}

TEST_F(Surfaces, ASurfaceCopiedOntoItselfReadsBeforeItWrites) {
  const int32_t s = Numbered(8, 2);
  // Both ways: to the right (a forward copy would smear the first pixels),
  // then row 1 to the left.
  Surface_Copy(s, 3, 0, s);
  Surface_CopyPart(s, 0, 1, s, 2, 1, 6, 1);
  const uint32_t rows[2][8] = {{0, 1, 2, 0, 1, 2, 3, 4}, {2, 0, 1, 2, 3, 4, 3, 4}};
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(Pixel(s, x, y) & 0xFF, rows[y][x]) << x << ", " << y;
}

TEST_F(Surfaces, PixelsInsideAndOutside) {
  const int32_t s = Numbered(8, 4);
  // A game colour: red in the low byte.
  EXPECT_EQ(Surface_GetPixel(s, 5, 3), 0x050300u);
  for (const auto [x, y] : {std::pair{-1, 0}, {0, -1}, {8, 0}, {0, 4}, {-100000, 1 << 30}})
    EXPECT_EQ(Surface_GetPixel(s, x, y), 0u) << x << ", " << y;
  EXPECT_EQ(Surface_GetPixel(s + 1, 0, 0), 0u);
  TBitmap32 part;
  ASSERT_TRUE(Surface_Grab(s, -2, 2, 5, 9, part));  // clipped to (0, 2, 3, 2)
  EXPECT_EQ(part.s_w, 3);
  EXPECT_EQ(part.s_h, 2);
  EXPECT_EQ(part.GetPixel(2, 1), 0xFF000302u);
  EXPECT_FALSE(Surface_Grab(s, 8, 0, 4, 4, part));
}

TEST_F(Surfaces, ADeviceResetFreesThemAll) {
  const int32_t a = Surface_Create(8, 8), b = Surface_Create(8, 8);
  ASSERT_TRUE(Surface_SetTarget(b));
  g_Display.resetRequested = true;
  Display_ServeReset();
  EXPECT_FALSE(Surface_Exists(a));
  EXPECT_FALSE(Surface_Exists(b));
  EXPECT_EQ(m_device->RenderTarget(), kNoTexture);
  EXPECT_EQ(Texture_Count(), 0);
  EXPECT_EQ(m_device->DepthBuffer_Count(), 0);  // none kept for later
}

}  // namespace
}  // namespace tavrin
