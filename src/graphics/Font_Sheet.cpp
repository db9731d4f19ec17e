#include "graphics/Font_Sheet.h"

#include <algorithm>

namespace tavrin {

namespace {

constexpr int32_t kSheetStart = 2048;
constexpr int32_t kSpacing = 2;

// Where the glyphs go on a sheet `width` wide: each glyph's top-left, and
// the height they take. When `strict`, a glyph wider than the sheet does
// not fit (false); otherwise it is placed and cut at the sheet's edge.
template <class Place>
bool Pack(const CFont& f, std::span<const int32_t> glyphs, int32_t width, int32_t hsep, int32_t vsep, bool strict,
          int64_t& height, Place place) {
  int64_t px = 0, py = 0, rh = 0;
  for (int32_t g : glyphs) {
    const int32_t w = f.s_w[size_t(g)];
    if (strict && w > width) return false;
    if (w + px >= width) {
      px = 0;
      py += rh + vsep;
      rh = 0;
    }
    rh = std::max<int64_t>(rh, f.s_h[size_t(g)]);
    place(g, int32_t(px), int32_t(py));
    px += w + hsep;
  }
  height = py + rh;
  return true;
}

}  // namespace

std::vector<int32_t> Sheet_GlyphList(const CFont& f) {
  std::vector<int32_t> list;
  for (int32_t c = f.s_first; c <= f.s_last; ++c) list.push_back(c);
  const auto area = [&f](int32_t c) { return int64_t(f.s_w[size_t(c)]) * f.s_h[size_t(c)]; };
  std::stable_sort(list.begin(), list.end(), [&](int32_t a, int32_t b) { return area(a) > area(b); });
  return list;
}

RSheetSize Sheet_ComputeSize(const CFont& f, std::span<const int32_t> glyphs, int32_t hsep, int32_t vsep) {
  int32_t w = kSheetStart, h = kSheetStart;
  RSheetSize best{w, h};
  for (int pass = 1;; ++pass) {
    int64_t used = 0;
    if (!Pack(f, glyphs, w, hsep, vsep, true, used, [](int32_t, int32_t, int32_t) {}) || used > h) break;
    best = {w, h};
    // Halving stops at one pixel: a font without glyphs fits anywhere.
    int32_t& side = pass % 2 == 1 ? h : w;
    if (side == 1) break;
    side /= 2;
  }
  return best;
}

void Sheet_Build(CFont& f, IGlyphSource& source) {
  RFontMetrics m;
  if (!source.Metrics(m)) return;
  // Codes are table indices: outside 0..255 nothing would be safe to read.
  f.s_first = std::clamp(f.s_first, 0, 255);
  f.s_last = std::clamp(f.s_last, 0, 255);
  std::vector<RGlyphImage> images(256);
  int32_t spaceWidth = 0;
  // A line is never less than nothing high, even in a font without glyphs.
  f.s_FontHeight = 0;
  for (int32_t c = f.s_first; c <= f.s_last; ++c) {
    const size_t i = size_t(c);
    RGlyphImage& g = images[i];
    source.Glyph(c, g);
    if (g.bw < 0 || g.bh < 0 || g.grey.size() < size_t(g.bw) * size_t(g.bh))
      g = RGlyphImage{0, 0, g.ox, g.oy, g.advance, {}};
    f.s_w[i] = g.bw;
    f.s_h[i] = m.ascent + g.bh - g.oy;
    f.s_shift[i] = g.advance - std::min(g.ox, 0);
    f.s_offset[i] = g.ox;
    f.s_x[i] = f.s_y[i] = 0;
    f.s_FontHeight = std::max(f.s_FontHeight, f.s_h[i]);
    if (g.bw == 0 || g.bh == 0) f.s_w[i] = f.s_h[i] = f.s_shift[i] = f.s_offset[i] = 0;
    if (c == 32) spaceWidth = g.advance != 0 ? g.advance : std::min(m.avgWidth, m.maxWidth);
  }
  if (f.s_first <= 32 && 32 <= f.s_last) {
    if (f.s_h[32] == 0) f.s_h[32] = m.height;
    if (f.s_w[32] == 0) f.s_w[32] = f.s_shift[32] = spaceWidth;
  }
  const std::vector<int32_t> list = Sheet_GlyphList(f);
  const RSheetSize size = Sheet_ComputeSize(f, list, kSpacing, kSpacing);
  f.s_bw = size.w;
  f.s_bh = size.h;
  f.s_bytes.assign(size_t(size.w) * size_t(size.h), 0);
  int64_t used = 0;
  Pack(f, list, size.w, kSpacing, kSpacing, false, used, [&](int32_t c, int32_t px, int32_t py) {
    f.s_x[size_t(c)] = px;
    f.s_y[size_t(c)] = py;
    if (c == 32) return;
    const RGlyphImage& g = images[size_t(c)];
    // The glyph's rows from the ascent line down; rows above the line (a
    // face whose glyph rises above its ascent) are left out rather than
    // written into the slot of the glyph above.
    for (int32_t r = 0; r < g.bh; ++r) {
      const int64_t y = int64_t(py) + m.ascent - g.oy + r;
      if (y < py || y >= f.s_bh) continue;
      for (int32_t k = 0; k < g.bw; ++k) {
        const int64_t x = int64_t(px) + k;
        if (x >= f.s_bw) break;
        const int v = g.grey[size_t(r) * size_t(g.bw) + size_t(k)];
        f.s_bytes[size_t(y) * size_t(f.s_bw) + size_t(x)] = uint8_t(std::min(255, 4 * v));
      }
    }
  });
}

}  // namespace tavrin
