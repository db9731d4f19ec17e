#include "graphics/Graphics_Color.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavrin {

uint32_t Color_SetAlpha(uint32_t argb, double alpha) {
  const double a = alpha * 255.0;
  if (!(a >= 0)) return argb & 0xFFFFFF;
  return (uint32_t(std::nearbyint(std::fmin(a, 255.0))) << 24) | (argb & 0xFFFFFF);
}

uint32_t Color_Merge(uint32_t c1, uint32_t c2, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double a = double((c1 >> shift) & 0xFF), b = double((c2 >> shift) & 0xFF);
    double m = std::nearbyint((1.0 - t) * a + t * b);
    m = std::isnan(m) ? 0.0 : std::clamp(m, 0.0, 255.0);
    out |= uint32_t(m) << shift;
  }
  return out;
}

namespace {
double Held(double x) { return std::isnan(x) ? 0.0 : std::clamp(x, 0.0, 255.0); }
uint32_t Channel(double x) { return uint32_t(std::trunc(x * 255.0)); }
}  // namespace

uint32_t Color_FromHSV(double h, double s, double v) {
  double hue = std::isfinite(h) ? std::fmod(h * 360.0 / 255.0, 360.0) : 0.0;
  if (hue < 0) hue += 360.0;
  if (hue >= 360.0) hue = 0.0;  // a remainder rounded up to the full circle
  const double S = Held(s) / 255.0, V = Held(v) / 255.0;
  double r = V, g = V, b = V;
  if (S != 0) {
    const int i = int(std::trunc(hue / 60.0));
    const double f = hue / 60.0 - i;
    const double p = V * (1 - S), q = V * (1 - S * f), t = V * (1 - S * (1 - f));
    switch (i) {
      case 0: r = V, g = t, b = p; break;
      case 1: r = q, g = V, b = p; break;
      case 2: r = p, g = V, b = t; break;
      case 3: r = p, g = q, b = V; break;
      case 4: r = t, g = p, b = V; break;
      default: r = V, g = p, b = q; break;
    }
  }
  return Channel(r) | (Channel(g) << 8) | (Channel(b) << 16);
}

RHSV Color_ToHSV(uint32_t c) {
  const double r = (c & 0xFF) / 255.0, g = ((c >> 8) & 0xFF) / 255.0, b = ((c >> 16) & 0xFF) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  RHSV out;
  out.v = int32_t(std::trunc(mx * 255.0));
  out.s = mx == 0 ? 0 : int32_t(std::trunc((mx - mn) / mx * 255.0));
  double hue = 0;
  if (out.s != 0) {
    const double d = mx - mn;
    if (r == mx)
      hue = (g - b) * 60.0 / d;
    else if (g == mx)
      hue = (b - r) * 60.0 / d + 120.0;
    else
      hue = (r - g) * 60.0 / d + 240.0;
    if (hue < 0) hue += 360.0;
  }
  out.h = int32_t(std::trunc(hue * 255.0 / 360.0));
  return out;
}

int64_t Color_Arg(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9223372036854775807.0;
  if (value >= kLimit) return std::numeric_limits<int64_t>::max();
  if (value <= -kLimit) return std::numeric_limits<int64_t>::min();
  return int64_t(std::nearbyint(value));
}

int64_t Color_Make(double r, double g, double b) {
  // Wrapping (not undefined) when a game passes absurd channels.
  const uint64_t sum = uint64_t(Color_Arg(r)) + uint64_t(Color_Arg(g)) * 256u + uint64_t(Color_Arg(b)) * 65536u;
  return int64_t(sum);
}

int64_t Color_Channel(double c, int32_t channel) {
  const int64_t v = Color_Arg(c);
  const int64_t shifted = channel == 0 ? v : channel == 1 ? v / 256 : v / 65536;
  return shifted % 256;
}

}  // namespace tavrin
