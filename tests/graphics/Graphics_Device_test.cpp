// The OpenGL device, run headless: pixels read back from the back buffer
// after clears, quads, blending, the alpha test, shading, culling, depth and
// fog; the back buffer surviving Present; render targets; batching (draw
// calls counted, order kept, strips never joined); texture bookkeeping.
#include <gtest/gtest.h>

#include <cstdlib>

#include "DeviceFixture.h"
#include "support/AllocationProbe.h"

namespace tavrin {
namespace {

using test::DrawQuad;
using test::Quad;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr uint32_t kGrey = 0xFF404040;

class DeviceGL : public test::CDeviceTest {};

// Within one step of 255 per channel: blending rounds.
bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 32; shift += 8)
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1) return false;
  return true;
}

TBitmap32 Checker4() {  // four distinct texels in each row
  TBitmap32 b(4, 4);
  const uint32_t colors[4] = {kRed, kGreen, kBlue, 0xFF123456};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) b.SetPixel(x, y, colors[(x + y) % 4]);
  return b;
}

TEST_F(DeviceGL, ClearsAndQuadsReadBackExactly) {
  Device().Clear(true, kGrey, true);
  // An untextured quad covers exactly its pixels.
  const RVertexColored shape[4] = {{1.5f, 1.5f, 0, kRed}, {5.5f, 1.5f, 0, kRed}, {5.5f, 4.5f, 0, kRed}, {1.5f, 4.5f, 0, kRed}};
  Device().Draw(EPrimitive::TriangleFan, std::span<const RVertexColored>(shape));
  // A textured quad with point filtering shows its texels one to one.
  SetState([](RRenderState& s) { s.linearFilter = false; });
  const TBitmap32 checker = Checker4();
  Device().SetTexture(Texture(checker));
  DrawQuad(Device(), Quad(10, 2, 4, 4, kWhite));
  // The right half of an 8 x 4 texture, as a sprite's part is drawn.
  TBitmap32 wide(8, 4, kBlue);
  for (int y = 0; y < 4; ++y)
    for (int x = 4; x < 8; ++x) wide.SetPixel(x, y, checker.GetPixel(x - 4, y));
  Device().SetTexture(Texture(wide));
  DrawQuad(Device(), Quad(20, 2, 4, 4, kWhite, 0.5f, 0, 1, 1));

  const TBitmap32 frame = Read();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 30; ++x) {
      uint32_t want = kGrey;
      if (x >= 2 && x < 6 && y >= 2 && y < 5) want = kRed;
      if (x >= 10 && x < 14 && y >= 2 && y < 6) want = checker.GetPixel(x - 10, y - 2);
      if (x >= 20 && x < 24 && y >= 2 && y < 6) want = checker.GetPixel(x - 20, y - 2);
      ASSERT_EQ(frame.GetPixel(x, y), want) << "at " << x << "," << y;
    }
}

TEST_F(DeviceGL, TextureColourAndVertexColourCombineAsTheStateSays) {
  const TBitmap32 white(2, 2, kWhite);
  const TextureId texture = Texture(white);
  struct RCase {
    const char* name;
    bool textured, blend;
    uint32_t want;
  } cases[] = {
      {"texture x colour", true, true, kRed},
      {"texture alone", true, false, kWhite},
      {"colour alone without a texture", false, true, kRed},
      {"colour alone without a texture, blending off", false, false, kRed},
  };
  int x = 0;
  for (const RCase& c : cases) {
    RRenderState s;
    s.textureBlend = c.blend;
    Device().SetRenderState(s);
    Device().SetTexture(c.textured ? texture : kNoTexture);
    DrawQuad(Device(), Quad(float(x), 0, 2, 2, kRed));
    EXPECT_EQ(Pixel(x, 0), c.want) << c.name;
    x += 4;
  }
}

TEST_F(DeviceGL, BlendFactorsFollowTheGamesNumbering) {
  // Source (40, 80, 160) at alpha 64 over destination (200, 100, 50).
  struct RCase {
    const char* name;
    int32_t source, destination;
    uint32_t want;
  } cases[] = {
      {"normal", kBlendSrcAlpha, kBlendInvSrcAlpha, 0xFFA05F4E},
      {"add", kBlendSrcAlpha, kBlendOne, 0xFFD2785A},
      {"subtract", kBlendZero, kBlendInvSrcColor, 0xFFA94513},
      {"max", kBlendSrcAlpha, kBlendInvSrcColor, 0xFFB3593B},
      {"destination colour", kBlendDestColor, kBlendZero, 0xFF1F1F1F},
      // min(source alpha, 1 - destination alpha), and the back buffer is opaque
      {"saturated alpha as destination", kBlendSrcAlpha, kBlendSrcAlphaSat, 0xFF0A1428},
      {"older pair: source alpha decides both", kBlendBothSrcAlpha, kBlendZero, 0xFFA05F4E},
      {"older pair: inverse source alpha decides both", kBlendBothInvSrcAlpha, kBlendZero, 0xFF505584},
      {"unknown numbers blend as normal", 0, 99, 0xFFA05F4E},
  };
  int x = 0;
  for (const RCase& c : cases) {
    Device().SetRenderState(RRenderState{});
    DrawQuad(Device(), Quad(float(x), 0, 2, 2, 0xFFC86432));
    RRenderState s;
    s.blendSource = c.source;
    s.blendDestination = c.destination;
    Device().SetRenderState(s);
    DrawQuad(Device(), Quad(float(x), 0, 2, 2, 0x402850A0));
    EXPECT_PRED2(Near, Pixel(x, 0), c.want) << c.name << ": " << std::hex << Pixel(x, 0);
    x += 3;
  }
}

TEST_F(DeviceGL, AlphaTestDrawsOnlyAlphasAboveTheReference) {
  Device().Clear(true, kGrey, false);
  TBitmap32 alphas(4, 1);
  const uint32_t a[4] = {0, 100, 101, 255};
  for (int x = 0; x < 4; ++x) alphas.SetPixel(x, 0, (a[x] << 24) | 0xFF0000);
  SetState([](RRenderState& s) {
    s.linearFilter = false;
    s.alphaTest = true;
    s.alphaReference = 100;
    s.blendSource = kBlendOne;  // drawn pixels replace what is there
    s.blendDestination = kBlendZero;
  });
  Device().SetTexture(Texture(alphas));
  DrawQuad(Device(), Quad(0, 0, 4, 1, kWhite));
  EXPECT_EQ(Pixel(0, 0), kGrey);
  EXPECT_EQ(Pixel(1, 0), kGrey);
  EXPECT_EQ(Pixel(2, 0), kRed);  // the back buffer is opaque
  EXPECT_EQ(Pixel(3, 0), kRed);
}

TEST_F(DeviceGL, TheBackBufferKeepsItsPixelsAcrossPresent) {
  Device().Clear(true, kRed, true);
  Device().EndFrame();
  Device().Present({0, 0, kSize, kSize}, {0, 0, kSize, kSize}, 0);
  Device().BeginFrame();  // a game that does not clear draws over the last frame
  DrawQuad(Device(), Quad(0, 0, 8, 8, kBlue));
  Device().EndFrame();
  Device().Present({0, 0, kSize, kSize}, {0, 0, kSize, kSize}, 0);
  Device().Present({0, 0, 32, 32}, {8, 8, 16, 16}, kGreen);  // a repaint, scaled, with margins
  EXPECT_EQ(Pixel(4, 4), kBlue);
  EXPECT_EQ(Pixel(20, 20), kRed);
}

TEST_F(DeviceGL, RenderTargetsAreDrawnIntoThenDrawnWith) {
  const TextureId target = Device().Texture_Create(16, 8, true);
  ASSERT_NE(target, kNoTexture);
  ASSERT_TRUE(Device().SetRenderTarget(target));
  EXPECT_EQ(Device().Viewport(), (RViewport{0, 0, 16, 8, 0, 1}));  // the whole new target
  test::SetView2D(Device(), 16, 8);
  Device().Clear(true, 0x00000000, true);
  DrawQuad(Device(), Quad(0, 0, 8, 8, kRed));
  DrawQuad(Device(), Quad(8, 4, 8, 4, 0x800000FF));  // a render target keeps alpha

  TBitmap32 inside;
  ASSERT_TRUE(Device().Texture_Copy(target, {0, 0, 16, 8}, inside));
  EXPECT_EQ(inside.GetPixel(3, 3), kRed);
  EXPECT_EQ(inside.GetPixel(12, 1), 0u);
  EXPECT_TRUE(Near(inside.GetPixel(12, 6), 0x40000080)) << std::hex << inside.GetPixel(12, 6);

  ASSERT_TRUE(Device().SetRenderTarget(kNoTexture));
  EXPECT_EQ(Device().Viewport(), (RViewport{0, 0, kSize, kSize, 0, 1}));
  test::SetView2D(Device(), kSize, kSize);
  Device().Clear(true, kGrey, true);
  SetState([](RRenderState& s) { s.linearFilter = false; });
  Device().SetTexture(target);
  DrawQuad(Device(), Quad(30, 30, 16, 8, kWhite));
  EXPECT_EQ(Pixel(33, 33), kRed);  // the target's top row is drawn at the top
  EXPECT_EQ(Pixel(42, 31), kGrey);
  EXPECT_FALSE(Device().SetRenderTarget(Texture(TBitmap32(2, 2))));  // not a render target
}

// A render target draws with its own depth buffer or one made apart (larger
// is fine), which may be shared, outlive the target, and be freed while a
// target still has it.
TEST_F(DeviceGL, RenderTargetsTestDepthWithTheDepthBufferTheyAreGiven) {
  const TextureId a = Device().Texture_Create(8, 8, true), b = Device().Texture_Create(8, 8, true);
  const DepthBufferId depth = Device().DepthBuffer_Create(16, 16), small = Device().DepthBuffer_Create(4, 4);
  ASSERT_NE(depth, kNoDepthBuffer);
  EXPECT_EQ(Device().DepthBuffer_Count(), 2);
  EXPECT_FALSE(Device().SetRenderTarget(a, small));  // smaller than the target
  EXPECT_FALSE(Device().SetRenderTarget(kNoTexture, depth));
  EXPECT_FALSE(Device().SetRenderTarget(a, 7));
  SetState([](RRenderState& s) { s.depthTest = true; });
  for (const auto [target, given] : {std::pair{a, depth}, {b, kNoDepthBuffer}, {a, kNoDepthBuffer}}) {
    ASSERT_TRUE(Device().SetRenderTarget(target, given));
    test::SetView2D(Device(), 8, 8);
    Device().Clear(true, kGrey, true);
    DrawQuad(Device(), Quad(0, 0, 4, 4, kRed, 0, 0, 1, 1, -100));  // nearer the camera
    DrawQuad(Device(), Quad(0, 0, 4, 4, kBlue, 0, 0, 1, 1, 100));
    TBitmap32 drawn;
    ASSERT_TRUE(Device().Texture_Copy(target, {0, 0, 8, 8}, drawn));
    EXPECT_EQ(drawn.GetPixel(1, 1), kRed) << target << " with depth buffer " << given;
  }
  // Freed while its target is drawn into, and after its target is gone.
  ASSERT_TRUE(Device().SetRenderTarget(b, depth));
  Device().DepthBuffer_Free(depth);
  DrawQuad(Device(), Quad(0, 0, 4, 4, kGreen));
  ASSERT_TRUE(Device().SetRenderTarget(kNoTexture));
  Device().Texture_Free(b);
  Device().DepthBuffer_Free(small);
  Device().DepthBuffer_Free(small);
  EXPECT_EQ(Device().DepthBuffer_Count(), 0);
  EXPECT_EQ(Device().DepthBuffer_Create(0, 4), kNoDepthBuffer);
}

TEST_F(DeviceGL, EqualStateBatchesIntoOneDrawCallAndChangesSplitInOrder) {
  const TextureId red = Texture(TBitmap32(2, 2, kRed)), blue = Texture(TBitmap32(2, 2, kBlue));
  struct RCase {
    const char* name;
    void (*draw)(IGraphicsDevice&, TextureId, TextureId);
    int32_t drawCalls;
    uint32_t top;  // the colour left on the shared spot
  } cases[] = {
      {"1000 quads of one texture",
       [](IGraphicsDevice& d, TextureId r, TextureId) {
         d.SetTexture(r);
         for (int i = 0; i < 1000; ++i) DrawQuad(d, Quad(float(i % 50), float(i / 50), 4, 4, kWhite));
       },
       1, kRed},
      {"textures alternating on one spot keep their order",
       [](IGraphicsDevice& d, TextureId r, TextureId b) {
         for (int i = 0; i < 5; ++i) {
           d.SetTexture(i % 2 ? b : r);
           DrawQuad(d, Quad(20, 20, 4, 4, kWhite));
         }
       },
       5, kRed},
      {"a state change splits, and setting it back splits again",
       [](IGraphicsDevice& d, TextureId r, TextureId b) {
         d.SetTexture(b);
         DrawQuad(d, Quad(20, 20, 4, 4, kWhite));
         RRenderState additive;
         additive.blendDestination = kBlendOne;
         d.SetRenderState(additive);
         DrawQuad(d, Quad(40, 40, 4, 4, kWhite));
         d.SetRenderState(RRenderState{});
         d.SetTexture(r);
         DrawQuad(d, Quad(20, 20, 4, 4, kWhite));
       },
       3, kRed},
      {"a state set to what it was does not split",
       [](IGraphicsDevice& d, TextureId, TextureId b) {
         d.SetTexture(b);
         DrawQuad(d, Quad(20, 20, 4, 4, kWhite));
         RRenderState s = d.RenderState();
         s.culling = true;
         d.SetRenderState(s);
         s.culling = false;
         d.SetRenderState(s);
         d.SetTransform(ETransform::World, Matrix_Identity());
         DrawQuad(d, Quad(20, 20, 4, 4, kWhite));
       },
       1, kBlue},
      {"shapes and textured quads of one state are separate layouts",
       [](IGraphicsDevice& d, TextureId r, TextureId) {
         d.SetTexture(r);
         DrawQuad(d, Quad(20, 20, 4, 4, kWhite));
         d.SetTexture(kNoTexture);  // shapes are drawn without one
         const RVertexColored tri[3] = {{20, 20, 0, kGreen}, {30, 20, 0, kGreen}, {20, 30, 0, kGreen}};
         d.Draw(EPrimitive::TriangleList, std::span<const RVertexColored>(tri));
       },
       2, kGreen},
  };
  for (const RCase& c : cases) {
    Device().SetRenderState(RRenderState{});
    Device().BeginFrame();
    Device().Clear(true, kGrey, true);
    c.draw(Device(), red, blue);
    Device().EndFrame();
    EXPECT_EQ(Device().Stats().lastFrameDrawCalls, c.drawCalls) << c.name;
    EXPECT_EQ(Pixel(21, 21), c.top) << c.name;
  }
}

TEST_F(DeviceGL, StripsFansAndLineStripsAreNeverJoined) {
  // Two of each, side by side with a gap between; joined, the gap would be
  // crossed by triangles or a line.
  struct RCase {
    const char* name;
    EPrimitive kind;
    std::vector<RVertexColored> first, second;
  } cases[] = {
      {"triangle strips", EPrimitive::TriangleStrip,
       {{-0.5f, -0.5f, 0, kRed}, {3.5f, -0.5f, 0, kRed}, {-0.5f, 3.5f, 0, kRed}, {3.5f, 3.5f, 0, kRed}},
       {{20 - 0.5f, 8 - 0.5f, 0, kRed}, {23.5f, 7.5f, 0, kRed}, {19.5f, 11.5f, 0, kRed}, {23.5f, 11.5f, 0, kRed}}},
      {"triangle fans", EPrimitive::TriangleFan,
       {{-0.5f, -0.5f, 0, kRed}, {3.5f, -0.5f, 0, kRed}, {3.5f, 3.5f, 0, kRed}, {-0.5f, 3.5f, 0, kRed}},
       {{19.5f, 7.5f, 0, kRed}, {23.5f, 7.5f, 0, kRed}, {23.5f, 11.5f, 0, kRed}, {19.5f, 11.5f, 0, kRed}}},
      {"line strips", EPrimitive::LineStrip,
       {{0, 0, 0, kRed}, {3, 0, 0, kRed}, {3, 3, 0, kRed}},
       {{20, 8, 0, kRed}, {23, 8, 0, kRed}, {23, 11, 0, kRed}}},
  };
  for (const RCase& c : cases) {
    Device().BeginFrame();
    Device().Clear(true, kGrey, true);
    Device().Draw(c.kind, std::span<const RVertexColored>(c.first));
    Device().Draw(c.kind, std::span<const RVertexColored>(c.second));
    Device().EndFrame();
    EXPECT_EQ(Device().Stats().lastFrameDrawCalls, 1) << c.name;
    const TBitmap32 frame = Read();
    EXPECT_EQ(frame.GetPixel(1, 0), kRed) << c.name;
    EXPECT_EQ(frame.GetPixel(21, 8), kRed) << c.name;
    int between = 0;  // pixels drawn in the gap
    for (int y = 0; y < 16; ++y)
      for (int x = 5; x < 19; ++x) between += frame.GetPixel(x, y) != kGrey;
    EXPECT_EQ(between, 0) << c.name;
  }
}

TEST_F(DeviceGL, FlatShadingColoursEachTriangleByItsLeadingVertexAndCullingDropsCounterClockwise) {
  // A strip of two triangles over (0,0)-(8,8): triangle 0 takes vertex 0's
  // colour, triangle 1 vertex 1's. A fan's triangles take their second vertex.
  SetState([](RRenderState& s) { s.smoothShading = false; });
  Device().Clear(true, kGrey, true);
  const RVertexColored strip[4] = {{-0.5f, -0.5f, 0, kRed}, {7.5f, -0.5f, 0, kGreen}, {-0.5f, 7.5f, 0, kBlue},
                                   {7.5f, 7.5f, 0, kWhite}};
  Device().Draw(EPrimitive::TriangleStrip, std::span<const RVertexColored>(strip));
  const RVertexColored fan[4] = {{19.5f, -0.5f, 0, kRed}, {27.5f, -0.5f, 0, kGreen}, {27.5f, 7.5f, 0, kBlue},
                                 {19.5f, 7.5f, 0, kWhite}};
  Device().Draw(EPrimitive::TriangleFan, std::span<const RVertexColored>(fan));
  EXPECT_EQ(Pixel(1, 1), kRed);    // above the diagonal: triangle 0
  EXPECT_EQ(Pixel(6, 6), kGreen);  // below: triangle 1
  EXPECT_EQ(Pixel(26, 1), kGreen);
  EXPECT_EQ(Pixel(21, 6), kBlue);

  SetState([](RRenderState& s) {
    s.smoothShading = true;
    s.culling = true;
  });
  Device().Clear(true, kGrey, true);
  // Clockwise as seen (y down): kept. Counter-clockwise: dropped.
  const RVertexColored clockwise[3] = {{0, 0, 0, kRed}, {10, 0, 0, kRed}, {0, 10, 0, kRed}};
  const RVertexColored counter[3] = {{20, 0, 0, kRed}, {20, 10, 0, kRed}, {30, 0, 0, kRed}};
  Device().Draw(EPrimitive::TriangleList, std::span<const RVertexColored>(clockwise));
  Device().Draw(EPrimitive::TriangleList, std::span<const RVertexColored>(counter));
  EXPECT_EQ(Pixel(2, 2), kRed);
  EXPECT_EQ(Pixel(22, 2), kGrey);
}

TEST_F(DeviceGL, DepthTestKeepsTheNearerAndFogFadesByEyeDepth) {
  for (bool depth : {true, false}) {
    SetState(depth ? +[](RRenderState& s) { s.depthTest = true; } : +[](RRenderState& s) { s.depthTest = false; });
    Device().Clear(true, kGrey, true);
    DrawQuad(Device(), Quad(0, 0, 4, 4, kRed, 0, 0, 1, 1, -100));  // nearer the camera
    DrawQuad(Device(), Quad(0, 0, 4, 4, kBlue, 0, 0, 1, 1, 100));
    EXPECT_EQ(Pixel(1, 1), depth ? kRed : kBlue) << "depth test " << depth;
  }
  // The 2D camera stands 16000 in front of z = 0.
  SetState([](RRenderState& s) {
    s.depthTest = false;
    s.fog = RFog{true, 0xFF0000FF, 15000, 17000};
  });
  DrawQuad(Device(), Quad(10, 0, 2, 2, kRed, 0, 0, 1, 1, 0));      // half way
  DrawQuad(Device(), Quad(14, 0, 2, 2, kRed, 0, 0, 1, 1, -2000));  // before the start
  DrawQuad(Device(), Quad(18, 0, 2, 2, kRed, 0, 0, 1, 1, 2000));   // beyond the end
  EXPECT_PRED2(Near, Pixel(10, 0), 0xFF800080);
  EXPECT_EQ(Pixel(14, 0), kRed);
  EXPECT_EQ(Pixel(18, 0), kBlue);
}

TEST_F(DeviceGL, ClearAndDrawingStayInsideTheViewport) {
  Device().Clear(true, kGrey, true);
  Device().SetViewport({16, 16, 32, 32, 0, 1});
  test::SetView2D(Device(), 32, 32);  // the view's room now fills the port
  Device().Clear(true, kRed, true);
  DrawQuad(Device(), Quad(-10, -10, 20, 20, kBlue));  // reaches outside the port
  EXPECT_EQ(Pixel(15, 15), kGrey);
  EXPECT_EQ(Pixel(16, 16), kBlue);
  EXPECT_EQ(Pixel(25, 25), kBlue);
  EXPECT_EQ(Pixel(26, 26), kRed);
  EXPECT_EQ(Pixel(48, 48), kGrey);
}

TEST_F(DeviceGL, TexturesAreWrittenReadAndFreedByTheirIds) {
  const TextureId a = Device().Texture_Create(8, 4, false);
  ASSERT_NE(a, kNoTexture);
  TBitmap32 blank;
  ASSERT_TRUE(Device().Texture_Copy(a, {0, 0, 8, 4}, blank));
  EXPECT_EQ(blank, TBitmap32(8, 4, 0));  // all texels 0 at first
  const TBitmap32 checker = Checker4();
  EXPECT_TRUE(Device().Texture_Upload(a, checker, {1, 1, 2, 3}, 5, 1));  // a part, with the bitmap's stride
  TBitmap32 back;
  ASSERT_TRUE(Device().Texture_Copy(a, {5, 1, 2, 3}, back));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(back.GetPixel(x, y), checker.GetPixel(x + 1, y + 1));
  EXPECT_FALSE(Device().Texture_Upload(a, checker, 6, 0));  // would not fit
  EXPECT_FALSE(Device().Texture_Copy(a, {6, 0, 4, 4}, back));
  EXPECT_FALSE(Device().Texture_Copy(a, {0, 0, 100000, 100000}, back));
  EXPECT_FALSE(Device().BackBuffer_Copy({-1, 0, 4, 4}, back));

  const TextureId b = Device().Texture_Create(2, 2, true);
  Device().Texture_Free(a);
  EXPECT_FALSE(Device().Texture_Exists(a));
  EXPECT_EQ(Device().Texture_Create(3, 3, false), a);  // the lowest free id again
  int32_t w = 0, h = 0;
  EXPECT_TRUE(Device().Texture_Size(a, w, h));
  EXPECT_EQ(w * 10 + h, 33);
  EXPECT_TRUE(Device().Texture_Exists(b));
  EXPECT_EQ(Device().Texture_Create(0, 4, false), kNoTexture);
  EXPECT_EQ(Device().Texture_Create(Device().Texture_MaxSide() + 1, 4, false), kNoTexture);
}

TEST_F(DeviceGL, AWriteToATextureWaitsForTheDrawsMadeWithItBefore) {
  const TextureId t = Texture(TBitmap32(2, 2, kRed));
  Device().SetTexture(t);
  DrawQuad(Device(), Quad(0, 0, 2, 2, kWhite));
  const TBitmap32 blue(2, 2, kBlue);
  Device().Texture_Upload(t, blue);
  DrawQuad(Device(), Quad(4, 0, 2, 2, kWhite));
  EXPECT_EQ(Pixel(0, 0), kRed);
  EXPECT_EQ(Pixel(4, 0), kBlue);
}

TEST_F(DeviceGL, TheBackBufferResizesKeepingWhatBothSizesShare) {
  Device().Clear(true, kRed, true);
  ASSERT_TRUE(Device().BackBuffer_Resize(80, 20));
  EXPECT_EQ(Device().BackBufferWidth(), 80);
  EXPECT_EQ(Pixel(63, 19), kRed);
  EXPECT_FALSE(Device().BackBuffer_Resize(0, 10));
}

TEST_F(DeviceGL, SubmittingDrawsAllocatesNothingOnceFramesRepeat) {
  const TextureId textures[2] = {Texture(TBitmap32(2, 2, kRed)), Texture(TBitmap32(2, 2, kBlue))};
  auto frame = [&] {
    Device().BeginFrame();
    for (int i = 0; i < 500; ++i) {
      Device().SetTexture(textures[i / 100 % 2]);
      DrawQuad(Device(), Quad(float(i % 60), float(i / 60), 4, 4, kWhite));
    }
  };
  for (int warm = 0; warm < 2; ++warm) {
    frame();
    Device().EndFrame();
  }
  test::CAllocationProbe probe;
  frame();
  EXPECT_EQ(probe.Count(), 0u);
  Device().EndFrame();
  EXPECT_EQ(Device().Stats().lastFrameDrawCalls, 5);
}

TEST_F(DeviceGL, ADeviceWhoseWindowHasGoneDrawsNothingAndDoesNotCrash) {
  m_platform->Window_Destroy(m_window);
  DrawQuad(Device(), Quad(0, 0, 4, 4, kRed));
  Device().EndFrame();
  Device().Present({0, 0, 4, 4}, {0, 0, 4, 4}, 0);
  uint32_t pixel = 0;
  EXPECT_FALSE(Device().BackBuffer_Read({0, 0, 1, 1}, &pixel));
}

TEST(DeviceOpen, FailsWithAReasonWhereNoDeviceCanBeMade) {
  RPlatformConfig config;
  config.headless = true;
  auto platform = Platform_CreateSDL(config);
  const WindowId plain = platform->Window_Create("plain", 16, 16, 0);
  try {
    platform->Window_OpenDevice(plain, 16, 16);
    ADD_FAILURE() << "a window made without kWindowGraphics opened a device";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("could not start OpenGL 3.3: ", 0), 0u) << e.what();
  }
  const WindowId graphics = platform->Window_Create("graphics", 16, 16, kWindowGraphics);
  auto device = platform->Window_OpenDevice(graphics, 16, 16);
  EXPECT_THROW(platform->Window_OpenDevice(graphics, 16, 16), std::runtime_error);  // one device per window
  device.reset();
  EXPECT_NO_THROW(platform->Window_OpenDevice(graphics, 16, 16));  // free again once it has gone
}

}  // namespace
}  // namespace tavrin
