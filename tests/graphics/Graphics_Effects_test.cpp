// The image effects, the sampled stretch, clipped copies and the gradients,
// on bitmaps of a few pixels with every expected pixel written out.
#include <gtest/gtest.h>

#include <functional>

#include "graphics/BM32_Record.h"
#include "graphics/Bitmap_Effects.h"
#include "graphics/Bitmap_Gradient.h"
#include "graphics/Bitmap_Transform.h"

namespace tavrin {
namespace {

TBitmap32 Make(int32_t w, int32_t h, std::vector<TColor32> pixels) {
  TBitmap32 bm(w, h);
  bm.s_data = std::move(pixels);
  return bm;
}

constexpr TColor32 R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu;

TEST(BitmapEffects, EachEffectGivesExactPixels) {
  const struct {
    const char* name;
    TBitmap32 in;
    std::function<void(TBitmap32&)> effect;
    std::vector<TColor32> want;
  } cases[] = {
      // The bottom-left colour goes, whatever the alpha of a pixel of that
      // colour; colours stay.
      {"remove back", Make(3, 2, {R, 0x80FFFFFFu, G, W, B, W}), Effect_RemoveBack,
       {R, 0x00FFFFFFu, G, 0x00FFFFFFu, B, 0x00FFFFFFu}},
      {"remove back of a half-transparent corner", Make(2, 1, {0x7F000000u, 0xFF000000u}), Effect_RemoveBack,
       {0x00000000u, 0x00000000u}},
      // The cleared corner softens its neighbour to 0, which in turn
      // softens the next one as the scan reaches it.
      {"smooth edges, chained", Make(4, 1, {0x00000000u, 0x20000000u, 0xFF000000u, 0xFF000000u}), Effect_SmoothEdges,
       {0x00000000u, 0x00000000u, 0xDF000000u, 0xFF000000u}},
      {"smooth edges around a hole",
       Make(3, 3, {W, W, W, W, 0x00FFFFFFu, 0x10FFFFFFu, W, W, W}), Effect_SmoothEdges,
       {0xDFFFFFFFu, 0xDFFFFFFFu, 0xDFFFFFFFu, 0xDFFFFFFFu, 0x00FFFFFFu, 0x10FFFFFFu, 0xDFFFFFFFu, 0xDFFFFFFFu,
        0xDFFFFFFFu}},
      // Left first, then right, then above, then below; alpha stays 0.
      {"fill transparent", Make(4, 2, {R, 0, 0, B, 0, G, 0, 0}), Effect_FillTransparent,
       {R, 0x00FF0000u, 0x000000FFu, B, 0x0000FF00u, G, 0x0000FF00u, 0x000000FFu}},
      {"fill transparent from below", Make(1, 2, {0, R}), Effect_FillTransparent, {0x00FF0000u, R}},
      {"opaque", Make(2, 1, {0x00123456u, 0x80ABCDEFu}), Effect_Opaque, {0xFF123456u, 0xFFABCDEFu}},
      {"alpha from brightness of a smaller picture", Make(2, 1, {R, G}),
       [](TBitmap32& b) { Effect_AlphaFromBrightness(b, Make(1, 1, {0xFF0A141Eu})); },
       {0x14FF0000u, G}},
      {"alpha from its own brightness", Make(2, 1, {W, 0x00030303u}),
       [](TBitmap32& b) { Effect_AlphaFromBrightness(b, b); }, {W, 0x03030303u}},
      // Remove-background then fill: the cleared pixels take their
      // neighbours' colours.
      {"load: remove back", Make(3, 1, {W, R, W}), [](TBitmap32& b) { Effect_ApplyLoad(b, true, false); },
       {0x00FF0000u, R, 0x00FF0000u}},
      {"load: remove back and smooth", Make(3, 1, {W, R, W}), [](TBitmap32& b) { Effect_ApplyLoad(b, true, true); },
       {0x00FF0000u, 0xBFFF0000u, 0x00FF0000u}},
      {"load: smoothing alone keeps the background", Make(2, 1, {W, 0x00000000u}),
       [](TBitmap32& b) { Effect_ApplyLoad(b, false, true); }, {0xDFFFFFFFu, 0x00000000u}},
  };
  for (const auto& c : cases) {
    TBitmap32 bm = c.in;
    c.effect(bm);
    EXPECT_EQ(bm.s_data, c.want) << c.name;
  }
}

TEST(BitmapTransform, StretchSamplesAndSkipsTransparentPixels) {
  const struct {
    const char* name;
    TBitmap32 in;
    int32_t w, h, q;
    std::vector<TColor32> want;
  } cases[] = {
      {"double the width", Make(2, 1, {R, B}), 4, 1, 1, {R, R, B, B}},
      {"halve, nearest", Make(4, 1, {R, G, B, W}), 2, 1, 1, {R, B}},
      {"quality below 1 is 1", Make(4, 1, {R, G, B, W}), 2, 1, -5, {R, B}},
      {"transparent becomes all zero", Make(2, 1, {0x00FFFFFFu, R}), 4, 1, 1, {0, 0, R, R}},
      // 2 x 2 to 1 x 1 with 2 x 2 samples: the transparent sample adds
      // nothing but still counts in the division.
      {"averaged", Make(2, 2, {0xFF000000u | 40, 0xFF000000u | 80, 0x000000FFu, 0xFF000000u | 121}), 1, 1, 2,
       {0xBF000000u | 60}},
      {"unchanged size", Make(1, 1, {R}), 1, 1, 4, {R}},
      {"no size", Make(1, 1, {R}), 0, 3, 1, {R}},
  };
  for (const auto& c : cases) {
    TBitmap32 bm = c.in;
    EXPECT_TRUE(Bitmap_Stretch(bm, c.w, c.h, c.q)) << c.name;
    EXPECT_EQ(bm.s_data, c.want) << c.name;
  }
  TBitmap32 bm = Make(1, 1, {R});
  EXPECT_FALSE(Bitmap_Stretch(bm, 1 << 20, 1 << 20, 1));
  EXPECT_EQ(bm.s_w, 1);
}

TEST(BitmapTransform, DrawPartClipsToBothPictures) {
  const TBitmap32 src = Make(3, 2, {R, G, B, W, R, G});
  const struct {
    const char* name;
    int32_t x, y, xo, yo, wo, ho;
    std::vector<TColor32> want;  // the 2 x 2 destination, starting all zero
  } cases[] = {
      {"inside", 0, 0, 1, 0, 2, 2, {G, B, R, G}},
      {"off the left and top", -1, -1, 0, 0, 3, 2, {R, G, 0, 0}},
      {"source rectangle past its picture", 1, 0, 2, 1, 9, 9, {0, G, 0, 0}},
      {"negative source corner", 0, 0, -1, 0, 2, 1, {0, R, 0, 0}},
      {"far away", 1 << 30, 0, 0, 0, 3, 2, {0, 0, 0, 0}},
      {"huge sizes", 0, 0, 0, 0, INT32_MAX, INT32_MAX, {R, G, W, R}},
  };
  for (const auto& c : cases) {
    TBitmap32 dst(2, 2);
    Bitmap_DrawPart(dst, c.x, c.y, src, c.xo, c.yo, c.wo, c.ho);
    EXPECT_EQ(dst.s_data, c.want) << c.name;
  }
}

TEST(BitmapBox, OnlyPixelsAboveTheToleranceCount) {
  // 3 x 2: alpha 10 at (0, 0), 200 at (2, 1), the rest 0.
  const TBitmap32 bm = Make(3, 2, {0x0A000000u, 0, 0, 0, 0, 0xC8000000u});
  const std::pair<int32_t, TRect> cases[] = {
      {0, {0, 0, 2, 1}},
      {9, {0, 0, 2, 1}},
      {10, {2, 1, 2, 1}},  // strictly greater: alpha 10 is out
      {200, {2, 1, 0, 0}},  // nothing: (w - 1, h - 1, 0, 0), left past right
  };
  for (const auto& [tolerance, box] : cases) EXPECT_EQ(Bitmap_BoundingBox(bm, tolerance), box) << tolerance;
}

// Script colours are 0x00BBGGRR.
constexpr int32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000;
TColor32 Grey(uint32_t v) { return 0xFF000000u | v * 0x010101u; }

TEST(BitmapGradient, KindsPaintTheirSteps) {
  const struct {
    const char* name;
    int32_t w, h, col1, col2, kind;
    std::vector<TColor32> want;
  } cases[] = {
      // t = 0, 1/4, 1/2, 3/4: 127.5 rounds to the even 128.
      {"horizontal", 4, 1, kBlack, kWhite, 0, {Grey(0), Grey(64), Grey(128), Grey(191)}},
      {"vertical", 1, 2, kBlack, kWhite, 1, {Grey(0), Grey(128)}},
      {"script colours are blue-green-red", 2, 1, kRed, kBlue, 0, {0xFFFF0000u, 0xFF800080u}},
      // n = 1: the outer ring col1, the rest of the rectangle col2.
      {"rectangles", 3, 3, kBlack, kWhite, 2,
       {Grey(0), Grey(0), Grey(0), Grey(0), Grey(255), Grey(0), Grey(0), Grey(0), Grey(0)}},
      {"ellipses", 3, 3, kBlack, kWhite, 3,
       {Grey(0), Grey(0), Grey(0), Grey(0), Grey(255), Grey(0), Grey(0), Grey(0), Grey(0)}},
      // n = 2: lines at 0 and 4 (t = 0), 1 and 3 (t = 1/2), 2 (t = 1).
      {"double vertical", 4, 1, kBlack, kWhite, 4, {Grey(0), Grey(128), Grey(255), Grey(128)}},
      {"double horizontal", 1, 4, kBlack, kWhite, 5, {Grey(0), Grey(128), Grey(255), Grey(128)}},
      // Corner circles, n = 2: the corner pixel lies in the radius-1 circle
      // (t = 1/2), its neighbours in radius 2 (t = 1), the far corner in
      // none of them.
      {"circles about the top left", 2, 2, kBlack, kWhite, 8, {Grey(128), Grey(255), Grey(255), Grey(0)}},
      {"circles about the bottom right", 2, 2, kBlack, kWhite, 11, {Grey(0), Grey(255), Grey(255), Grey(128)}},
      {"unknown kind is the plain fill", 2, 1, kRed, kBlue, 12, {0xFFFF0000u, 0xFFFF0000u}},
      {"sides below 1 count as 1", 0, -3, kRed, kBlue, 0, {0xFFFF0000u}},
  };
  for (const auto& c : cases) {
    const std::optional<TBitmap32> bm = Bitmap_CreateGradient(c.w, c.h, c.col1, c.col2, c.kind);
    ASSERT_TRUE(bm) << c.name;
    EXPECT_EQ(bm->s_data, c.want) << c.name;
  }
  // On 7 x 7 (n = 3) the pixel (1, 1) is inside the second rectangle but
  // outside the second ellipse.
  const std::optional<TBitmap32> rect = Bitmap_CreateGradient(7, 7, kBlack, kWhite, 2);
  const std::optional<TBitmap32> oval = Bitmap_CreateGradient(7, 7, kBlack, kWhite, 3);
  ASSERT_TRUE(rect && oval);
  EXPECT_EQ(rect->GetPixel(1, 1), Grey(85));
  EXPECT_EQ(oval->GetPixel(1, 1), Grey(0));
  EXPECT_EQ(oval->GetPixel(1, 3), Grey(85));
  EXPECT_EQ(oval->GetPixel(3, 3), Grey(255));
}

TEST(BitmapGradient, OnePixelSidesGiveTheFirstColourNotADivisionByZero) {
  // Kinds 2 to 5 divide by half a side; on a side of one pixel that half is
  // 0 and the only step is the outermost one, col1.
  for (int32_t kind : {2, 3, 4, 5})
    for (auto [w, h] : {std::pair{1, 1}, {1, 5}, {5, 1}}) {
      const std::optional<TBitmap32> bm = Bitmap_CreateGradient(w, h, kRed, kBlue, kind);
      ASSERT_TRUE(bm);
      const bool halfIsZero = kind == 4 ? w == 1 : kind == 5 ? h == 1 : true;
      if (!halfIsZero) continue;
      for (TColor32 p : bm->s_data) EXPECT_EQ(p, 0xFFFF0000u) << "kind " << kind << " " << w << "x" << h;
    }
  EXPECT_FALSE(Bitmap_CreateGradient(1 << 20, 1 << 20, kRed, kBlue, 0));
}

}  // namespace
}  // namespace tavrin
