#include "graphics/Bitmap_Gradient.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/Bitmap_Effects.h"

namespace tavrin {

TColor32 Gradient_Mix(int32_t col1, int32_t col2, double t) {
  const TColor32 a = Color_ToPixel(col1), b = Color_ToPixel(col2);
  TColor32 out = 0xFF000000u;
  for (int k = 0; k < 24; k += 8) {
    const double v = (1 - t) * double(a >> k & 0xFF) + t * double(b >> k & 0xFF);
    out |= uint32_t(std::clamp(std::nearbyint(v), 0.0, 255.0)) << k;
  }
  return out;
}

namespace {

// A line from (x0, y0) towards (x1, y1), the end point left out.
void Line(TBitmap32& bm, int64_t x0, int64_t y0, int64_t x1, int64_t y1, TColor32 c) {
  const int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
  const int64_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int64_t err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    if (x0 >= 0 && y0 >= 0 && x0 < bm.s_w && y0 < bm.s_h) bm.s_data[size_t(y0) * size_t(bm.s_w) + size_t(x0)] = c;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

// The step of a pixel when nested shapes are painted from the outside in:
// the last shape that covers the pixel wins, so its colour is that of the
// highest i whose shape holds it. Shapes shrink as i grows, so "holds" is
// monotonic and the answer is found per pixel, not by painting n shapes.
int32_t InnermostRectangle(int32_t w, int32_t h, int32_t n, int32_t x, int32_t y) {
  return std::min({x, y, w - 1 - x, h - 1 - y, n});
}

bool InEllipse(int32_t w, int32_t h, int32_t i, int32_t x, int32_t y) {
  const double rx = (w - 2.0 * i) / 2, ry = (h - 2.0 * i) / 2;
  if (rx <= 0 || ry <= 0) return false;
  const double dx = (x + 0.5 - w / 2.0) / rx, dy = (y + 0.5 - h / 2.0) / ry;
  return dx * dx + dy * dy <= 1;
}

// -1 when even the outermost ellipse leaves the pixel out.
int32_t InnermostEllipse(int32_t w, int32_t h, int32_t n, int32_t x, int32_t y) {
  if (!InEllipse(w, h, 0, x, y)) return -1;
  int32_t lo = 0, hi = n;  // lo holds it; find the last i that does
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo + 1) / 2;
    if (InEllipse(w, h, mid, x, y)) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

double Step(int32_t i, int32_t n) { return n > 0 ? double(i) / n : 0.0; }

}  // namespace

std::optional<TBitmap32> Bitmap_CreateGradient(int32_t w, int32_t h, int32_t col1, int32_t col2, int32_t kind) {
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (!Bitmap_SizeAllowed(w, h)) return std::nullopt;
  TBitmap32 bm(w, h, Color_ToPixel(col1));
  const auto set = [&](int32_t x, int32_t y, TColor32 c) { bm.s_data[size_t(y) * size_t(w) + size_t(x)] = c; };
  switch (kind) {
    case 0:
      for (int32_t x = 0; x < w; ++x) Line(bm, x, 0, x, h, Gradient_Mix(col1, col2, double(x) / w));
      break;
    case 1:
      for (int32_t y = 0; y < h; ++y) Line(bm, 0, y, w, y, Gradient_Mix(col1, col2, double(y) / h));
      break;
    case 2:
    case 3: {
      const int32_t n = std::min(w, h) / 2;
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const int32_t i = kind == 2 ? InnermostRectangle(w, h, n, x, y) : InnermostEllipse(w, h, n, x, y);
          if (i >= 0) set(x, y, Gradient_Mix(col1, col2, Step(i, n)));
        }
      break;
    }
    case 4: {
      const int32_t n = w / 2;
      for (int32_t i = 0; i <= n; ++i) {
        const TColor32 c = Gradient_Mix(col1, col2, Step(i, n));
        Line(bm, i, 0, i, h, c);
        Line(bm, w - i, 0, w - i, h, c);
      }
      break;
    }
    case 5: {
      const int32_t n = h / 2;
      for (int32_t i = 0; i <= n; ++i) {
        const TColor32 c = Gradient_Mix(col1, col2, Step(i, n));
        Line(bm, 0, i, w, i, c);
        Line(bm, 0, h - i, w, h - i, c);
      }
      break;
    }
    case 6:
    case 7:
      for (int32_t i = 0; i <= h; ++i) {
        const TColor32 c = Gradient_Mix(col1, col2, double(i) / h);
        if (kind == 6) {
          Line(bm, 0, i, w, int64_t(i) + h, c);
          Line(bm, 0, -i, w, h - i, c);
        } else {
          Line(bm, 0, int64_t(i) + h, w, i, c);
          Line(bm, 0, h - i, w, -i, c);
        }
      }
      break;
    case 8:
    case 9:
    case 10:
    case 11: {
      const int32_t n = std::min(w, h);
      const double cx = kind == 9 || kind == 11 ? w : 0, cy = kind >= 10 ? h : 0;
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          // The smallest circle (radius 1 .. n) that holds the pixel's
          // centre is painted last.
          const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
          const int32_t r = std::max(1, int32_t(std::ceil(d)));
          if (r <= n) set(x, y, Gradient_Mix(col1, col2, double(r) / n));
        }
      break;
    }
    default: break;
  }
  return bm;
}

}  // namespace tavrin
