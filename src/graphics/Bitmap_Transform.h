// Geometry on 32-bit bitmaps: the q x q sampled stretch that fits a frame to
// its sprite's size, and clipped copies of a rectangle from one bitmap into
// another (a frame cut from a strip, a picture placed on a canvas).
#pragma once

#include <cstdint>

#include "package/BM32_Bitmap.h"

namespace tavrin {

// Scales `bm` to neww x newh. Nothing for a size <= 0, an unchanged size, or
// a size Bitmap_SizeAllowed refuses (false then; true otherwise). Quality q
// below 1 counts as 1. Each new pixel (j, i) sums b, g, r, a over q x q
// samples, source column floor((cx / q + j) / (neww / oldw)) and row
// floor((cy / q + i) / (newh / oldh)) for cx, cy = 0 .. q - 1, skipping
// samples whose alpha is 0, and takes each sum / q^2 rounded (ties to even).
// With q = 1 this is nearest-neighbour scaling in which transparent pixels
// stay all zero.
bool Bitmap_Stretch(TBitmap32& bm, int32_t neww, int32_t newh, int32_t quality);

// Copies the rectangle (xo, yo, wo, ho) of `src` to (x, y) of `dst`, clipped
// to both; pixels are replaced, alpha included. `src` may be `dst`
// only when the rectangles do not overlap.
void Bitmap_DrawPart(TBitmap32& dst, int32_t x, int32_t y, const TBitmap32& src, int32_t xo, int32_t yo, int32_t wo,
                     int32_t ho);
inline void Bitmap_Draw(TBitmap32& dst, int32_t x, int32_t y, const TBitmap32& src) {
  Bitmap_DrawPart(dst, x, y, src, 0, 0, src.s_w, src.s_h);
}

}  // namespace tavrin
