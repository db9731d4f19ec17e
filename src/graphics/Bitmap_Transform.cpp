#include "graphics/Bitmap_Transform.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

bool Bitmap_Stretch(TBitmap32& bm, int32_t neww, int32_t newh, int32_t quality) {
  if (neww <= 0 || newh <= 0 || (neww == bm.s_w && newh == bm.s_h)) return true;
  if (!Bitmap_SizeAllowed(neww, newh)) return false;
  const int32_t oldw = bm.s_w, oldh = bm.s_h;
  const int64_t q = std::max(quality, 1);
  TBitmap32 out(neww, newh);
  if (oldw > 0 && oldh > 0) {
    const double sx = double(neww) / oldw, sy = double(newh) / oldh;
    const double samples = double(q * q);
    for (int32_t i = 0; i < newh; ++i)
      for (int32_t j = 0; j < neww; ++j) {
        double sum[4] = {0, 0, 0, 0};
        for (int64_t cy = 0; cy < q; ++cy) {
          const int32_t row = std::min(oldh - 1, int32_t(std::floor((double(cy) / double(q) + i) / sy)));
          for (int64_t cx = 0; cx < q; ++cx) {
            const int32_t col = std::min(oldw - 1, int32_t(std::floor((double(cx) / double(q) + j) / sx)));
            const TColor32 c = bm.s_data[size_t(row) * size_t(oldw) + size_t(col)];
            if ((c >> 24) == 0) continue;
            for (int k = 0; k < 4; ++k) sum[k] += double(c >> (8 * k) & 0xFF);
          }
        }
        TColor32 c = 0;
        for (int k = 0; k < 4; ++k) c |= uint32_t(std::nearbyint(sum[k] / samples)) << (8 * k);
        out.s_data[size_t(i) * size_t(neww) + size_t(j)] = c;
      }
  }
  bm = std::move(out);
  return true;
}

void Bitmap_DrawPart(TBitmap32& dst, int32_t x, int32_t y, const TBitmap32& src, int32_t xo, int32_t yo, int32_t wo,
                     int32_t ho) {
  // Clip in 64 bits: a script may pass any coordinates.
  int64_t sx0 = xo, sy0 = yo, sx1 = int64_t(xo) + wo, sy1 = int64_t(yo) + ho;
  sx0 = std::max<int64_t>(sx0, 0);
  sy0 = std::max<int64_t>(sy0, 0);
  sx1 = std::min<int64_t>(sx1, src.s_w);
  sy1 = std::min<int64_t>(sy1, src.s_h);
  // Where the clipped source lands, clipped to the destination in turn.
  const int64_t dx = int64_t(x) - xo, dy = int64_t(y) - yo;
  sx0 = std::max(sx0, -dx);
  sy0 = std::max(sy0, -dy);
  sx1 = std::min(sx1, int64_t(dst.s_w) - dx);
  sy1 = std::min(sy1, int64_t(dst.s_h) - dy);
  if (sx0 >= sx1 || sy0 >= sy1) return;
  for (int64_t sy = sy0; sy < sy1; ++sy) {
    const TColor32* from = &src.s_data[size_t(sy) * size_t(src.s_w) + size_t(sx0)];
    TColor32* to = &dst.s_data[size_t(sy + dy) * size_t(dst.s_w) + size_t(sx0 + dx)];
    std::copy(from, from + (sx1 - sx0), to);
  }
}

}  // namespace tavrin
