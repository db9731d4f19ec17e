// Drawing a line of glyph codes. A sheet glyph is a part of the sheet's
// texture drawn as one quad (Graphics_Quad.h); consecutive glyphs share the
// texture and the state, so the device draws a whole line, or a whole
// screen of text, in one batch. A sprite glyph is a frame of its sprite.
#include <cmath>
#include <numbers>

#include "graphics/Font_Class.h"
#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Quad.h"

namespace tavrin {

namespace {

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

bool InRange(const CFont& f, uint8_t c) { return f.s_first <= c && c <= f.s_last; }

// The sprite of a sprite font, when it still exists.
const CSprite* GlyphSprite(const CFont& f) { return g_GraphicsData.sprites.Get(f.s_spr); }

// Whether a sheet glyph has anything to draw.
bool SheetGlyph(const CFont& f, uint8_t c) { return f.s_w[c] > 0 && f.s_h[c] > 0; }

// The corner colours of a glyph spanning p .. p + adv of a line `width` wide.
struct RGlyphColors {
  uint32_t c1, c2, c3, c4;
};
RGlyphColors Spread(uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, double p, double adv, double width) {
  // A line with no width has nothing to spread over: its colours are those
  // of its left edge.
  const double t0 = width > 0 ? p / width : 0, t1 = width > 0 ? (p + adv) / width : 0;
  return {Color_Merge(c1, c2, t0), Color_Merge(c1, c2, t1), Color_Merge(c4, c3, t1), Color_Merge(c4, c3, t0)};
}

}  // namespace

void CFont::Draw_String(double x, double y, std::string_view codes, uint32_t col, double alpha) const {
  const CSprite* spr = IsSpriteFont() ? GlyphSprite(*this) : nullptr;
  if (IsSpriteFont() ? !spr : s_tex < 0) return;
  double pen = x;
  for (char ch : codes) {
    const uint8_t c = uint8_t(ch);
    if (InRange(*this, c)) {
      if (spr)
        spr->Draw(c - s_first, pen + s_offset[c], y, 1, 1, 0, col, alpha);
      else if (SheetGlyph(*this, c))
        Quad_DrawPart(s_tex, s_x[c], s_y[c], s_w[c], s_h[c], pen + s_offset[c], y, 1, 1, 0, col, alpha);
    }
    pen += GlyphAdvance(c);
  }
}

void CFont::Draw_String_Transformed(double x, double y, std::string_view codes, double xsc, double ysc, double angle,
                                    uint32_t col, double alpha) const {
  const CSprite* spr = IsSpriteFont() ? GlyphSprite(*this) : nullptr;
  if (IsSpriteFont() ? !spr : s_tex < 0) return;
  const double a = Radians(angle), c = std::cos(a), s = std::sin(a);
  double px = x, py = y;
  for (char ch : codes) {
    const uint8_t k = uint8_t(ch);
    if (InRange(*this, k)) {
      const double gx = px + xsc * s_offset[k] * c, gy = py - xsc * s_offset[k] * s;
      if (spr)
        spr->Draw(k - s_first, gx, gy, xsc, ysc, angle, col, alpha);
      else if (SheetGlyph(*this, k))
        Quad_DrawPart(s_tex, s_x[k], s_y[k], s_w[k], s_h[k], gx, gy, xsc, ysc, a, col, alpha);
    }
    const double adv = GlyphAdvance(k);
    px += adv * c * xsc;
    py -= adv * s * xsc;
  }
}

void CFont::Draw_String_Color(double x, double y, std::string_view codes, uint32_t c1, uint32_t c2, uint32_t c3,
                              uint32_t c4, double alpha) const {
  Draw_String_Transformed_Color(x, y, codes, 1, 1, 0, c1, c2, c3, c4, alpha);
}

void CFont::Draw_String_Transformed_Color(double x, double y, std::string_view codes, double xsc, double ysc,
                                          double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                                          double alpha) const {
  const CSprite* spr = IsSpriteFont() ? GlyphSprite(*this) : nullptr;
  if (IsSpriteFont() ? !spr : s_tex < 0) return;
  const double width = TextWidth(codes);
  const double a = Radians(angle), c = std::cos(a), s = std::sin(a);
  double px = x, py = y, p = 0;
  for (char ch : codes) {
    const uint8_t k = uint8_t(ch);
    const double adv = GlyphAdvance(k);
    if (InRange(*this, k)) {
      const RGlyphColors g = Spread(c1, c2, c3, c4, p, adv, width);
      const double gx = px + xsc * s_offset[k] * c, gy = py - xsc * s_offset[k] * s;
      // A coloured sprite glyph is the whole frame from its top-left: the
      // sprite's origin does not apply.
      if (spr)
        spr->DrawGeneral(k - s_first, 0, 0, spr->GetWidth(), spr->GetHeight(), gx, gy, xsc, ysc, angle, g.c1, g.c2,
                         g.c3, g.c4, alpha);
      else if (SheetGlyph(*this, k))
        Quad_DrawGeneral(s_tex, s_x[k], s_y[k], s_w[k], s_h[k], gx, gy, xsc, ysc, a, g.c1, g.c2, g.c3, g.c4, alpha);
    }
    px += adv * c * xsc;
    py -= adv * s * xsc;
    p += adv;
  }
}

}  // namespace tavrin
