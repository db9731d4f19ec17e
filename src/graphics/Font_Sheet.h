// The glyph sheet of a font made from a system face: the glyph tables from
// the face's metrics and glyph images, then every glyph packed into one
// alpha sheet, largest first, in rows two pixels apart, on the smallest
// power-of-two rectangle the halving search finds. The glyph images come
// from a source (the FreeType rasterizer, or a test's own glyphs), so the
// tables and the packing are the same whatever draws the glyphs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/Font_Class.h"

namespace tavrin {

struct RFontMetrics {
  int32_t height = 0, ascent = 0;       // line height and the part above the baseline
  int32_t avgWidth = 0, maxWidth = 0;   // of the face's characters
};

// One glyph: its black box (bw x bh pixels of coverage 0..64, rows top
// first), the box's origin (ox to the right of the pen, oy up from the
// baseline) and the pen's advance. No pixels: bw = bh = 0.
struct RGlyphImage {
  int32_t bw = 0, bh = 0, ox = 0, oy = 0, advance = 0;
  std::vector<uint8_t> grey;
};

class IGlyphSource {
 public:
  virtual ~IGlyphSource() = default;
  // False when the face cannot be measured: the font then has no glyphs.
  virtual bool Metrics(RFontMetrics& out) = 0;
  // The glyph of character code `code` (0..255) of the font's code page.
  virtual void Glyph(int32_t code, RGlyphImage& out) = 0;
};

// Fills the glyph tables of `font` for s_first .. s_last from the source,
// then packs the sheet (s_bw, s_bh, s_bytes). A space without pixels keeps
// a slot of the space's width and the line's height. Nothing for an empty
// or reversed range.
void Sheet_Build(CFont& font, IGlyphSource& source);

// The codes packed, slot area largest first (equal areas by code). Every
// code of the range is packed, a one-pixel glyph like any other.
std::vector<int32_t> Sheet_GlyphList(const CFont& font);

struct RSheetSize {
  int32_t w = 0, h = 0;
  bool operator==(const RSheetSize&) const = default;
};
// The smallest sheet found by halving 2048 x 2048, height first, then width
// and height in turn, while the glyphs still fit with the spacing; never
// below 1 x 1, and never narrower than a glyph. 2048 x 2048 when even that
// does not hold them.
RSheetSize Sheet_ComputeSize(const CFont& font, std::span<const int32_t> glyphs, int32_t hsep, int32_t vsep);

}  // namespace tavrin
