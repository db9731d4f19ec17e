#include "graphics/Bitmap_Effects.h"

#include <algorithm>

namespace tavrin {

namespace {
constexpr TColor32 kRgb = 0x00FFFFFFu;
uint32_t Alpha(TColor32 c) { return c >> 24; }
size_t At(const TBitmap32& bm, int32_t x, int32_t y) { return size_t(y) * size_t(bm.s_w) + size_t(x); }
}  // namespace

void Effect_RemoveBack(TBitmap32& bm) {
  if (bm.s_w <= 0 || bm.s_h <= 0) return;
  const TColor32 back = bm.s_data[At(bm, 0, bm.s_h - 1)] & kRgb;
  for (TColor32& c : bm.s_data)
    if ((c & kRgb) == back) c &= kRgb;
}

void Effect_SmoothEdges(TBitmap32& bm) {
  for (int32_t y = 0; y < bm.s_h; ++y)
    for (int32_t x = 0; x < bm.s_w; ++x) {
      if (Alpha(bm.s_data[At(bm, x, y)]) != 0) continue;
      for (int32_t ny = std::max(0, y - 1); ny <= std::min(bm.s_h - 1, y + 1); ++ny)
        for (int32_t nx = std::max(0, x - 1); nx <= std::min(bm.s_w - 1, x + 1); ++nx) {
          TColor32& n = bm.s_data[At(bm, nx, ny)];
          if (Alpha(n) >= 32) n -= 32u << 24;
        }
    }
}

void Effect_FillTransparent(TBitmap32& bm) {
  const auto opaqueAt = [&](int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < bm.s_w && y < bm.s_h && Alpha(bm.s_data[At(bm, x, y)]) != 0;
  };
  for (int32_t y = 0; y < bm.s_h; ++y)
    for (int32_t x = 0; x < bm.s_w; ++x) {
      TColor32& c = bm.s_data[At(bm, x, y)];
      if (Alpha(c) != 0) continue;
      // Alphas never change here, so filling in place sees the same
      // neighbours a copy would.
      static constexpr int32_t kDx[4] = {-1, 1, 0, 0}, kDy[4] = {0, 0, -1, 1};
      for (int i = 0; i < 4; ++i)
        if (opaqueAt(x + kDx[i], y + kDy[i])) {
          c = bm.s_data[At(bm, x + kDx[i], y + kDy[i])] & kRgb;
          break;
        }
    }
}

void Effect_Opaque(TBitmap32& bm) {
  for (TColor32& c : bm.s_data) c |= 0xFF000000u;
}

void Effect_AlphaFromBrightness(TBitmap32& bm, const TBitmap32& src) {
  const int32_t w = std::min(bm.s_w, src.s_w), h = std::min(bm.s_h, src.s_h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const TColor32 s = src.s_data[At(src, x, y)];
      const uint32_t a = ((s >> 16 & 0xFF) + (s >> 8 & 0xFF) + (s & 0xFF)) / 3;
      TColor32& c = bm.s_data[At(bm, x, y)];
      c = (c & kRgb) | a << 24;
    }
}

void Effect_ApplyLoad(TBitmap32& bm, bool removeback, bool smooth) {
  if (removeback) {
    Effect_RemoveBack(bm);
    if (smooth) Effect_SmoothEdges(bm);
    Effect_FillTransparent(bm);
  } else if (smooth) {
    Effect_SmoothEdges(bm);
  }
}

}  // namespace tavrin
