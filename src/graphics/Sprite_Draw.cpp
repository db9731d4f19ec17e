// Drawing sprite frames and backgrounds: each operation picks the frame's
// texture and hands it to the quad of the same kind (Graphics_Quad.h), with
// the sprite's origin where the operation uses one and angles turned from
// degrees into radians.
#include <cmath>
#include <numbers>

#include "graphics/Background_Class.h"
#include "graphics/Graphics_Quad.h"
#include "graphics/Sprite_Class.h"

namespace tavrin {

namespace {
double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }
}  // namespace

int32_t CSprite::GetTexture(int64_t ind) const {
  if (i_numb <= 0) return -1;
  const size_t frame = size_t(FrameIndex(ind));
  return frame < i_tex.size() ? i_tex[frame] : -1;
}

void CSprite::DrawSimple(int64_t ind, double x, double y) const {
  Quad_DrawSimple(GetTexture(ind), x - i_xorig, y - i_yorig);
}

void CSprite::Draw(int64_t ind, double x, double y, double xscale, double yscale, double angle, uint32_t color,
                   double alpha) const {
  Quad_Draw(GetTexture(ind), i_xorig, i_yorig, x, y, xscale, yscale, Radians(angle), color, alpha);
}

void CSprite::DrawStretched(int64_t ind, double x, double y, double w, double h, uint32_t color,
                            double alpha) const {
  if (!(w > 0) || !(h > 0) || i_numb <= 0 || GetWidth() <= 0 || GetHeight() <= 0) return;
  Quad_Draw(GetTexture(ind), 0, 0, x, y, w / GetWidth(), h / GetHeight(), 0, color, alpha);
}

void CSprite::DrawPart(int64_t ind, double left, double top, double w, double h, double x, double y,
                       double xscale, double yscale, uint32_t color, double alpha) const {
  Quad_DrawPart(GetTexture(ind), left, top, w, h, x, y, xscale, yscale, 0, color, alpha);
}

void CSprite::DrawGeneral(int64_t ind, double left, double top, double w, double h, double x, double y,
                          double xscale, double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3,
                          uint32_t c4, double alpha) const {
  Quad_DrawGeneral(GetTexture(ind), left, top, w, h, x, y, xscale, yscale, Radians(angle), c1, c2, c3, c4, alpha);
}

void CSprite::DrawTiled(int64_t ind, double x, double y, double xscale, double yscale, bool htiled, bool vtiled,
                        double xr, double yr, double wr, double hr, uint32_t color, double alpha) const {
  Quad_DrawTiled(GetTexture(ind), htiled, vtiled, i_xorig, i_yorig, x, y, xscale, yscale, xr, yr, wr, hr, color,
                 alpha);
}

void CSprite::DrawPos(int64_t ind, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                      double y4, double alpha) const {
  Quad_DrawPos(GetTexture(ind), alpha, x1, y1, x2, y2, x3, y3, x4, y4);
}

void CBackground::DrawSimple(double x, double y) const { Quad_DrawSimple(i_tex, x, y); }

void CBackground::Draw(double x, double y, double xscale, double yscale, double angle, uint32_t color,
                       double alpha) const {
  Quad_Draw(i_tex, 0, 0, x, y, xscale, yscale, Radians(angle), color, alpha);
}

void CBackground::DrawStretched(double x, double y, double w, double h, uint32_t color, double alpha) const {
  if (!(w > 0) || !(h > 0) || GetWidth() <= 0 || GetHeight() <= 0) return;
  Quad_Draw(i_tex, 0, 0, x, y, w / GetWidth(), h / GetHeight(), 0, color, alpha);
}

void CBackground::DrawPart(double left, double top, double w, double h, double x, double y, double xscale,
                           double yscale, uint32_t color, double alpha) const {
  Quad_DrawPart(i_tex, left, top, w, h, x, y, xscale, yscale, 0, color, alpha);
}

void CBackground::DrawGeneral(double left, double top, double w, double h, double x, double y, double xscale,
                              double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                              double alpha) const {
  Quad_DrawGeneral(i_tex, left, top, w, h, x, y, xscale, yscale, Radians(angle), c1, c2, c3, c4, alpha);
}

void CBackground::DrawTiled(double x, double y, double xscale, double yscale, bool htiled, bool vtiled, double xr,
                            double yr, double wr, double hr, uint32_t color, double alpha) const {
  Quad_DrawTiled(i_tex, htiled, vtiled, 0, 0, x, y, xscale, yscale, xr, yr, wr, hr, color, alpha);
}

}  // namespace tavrin
