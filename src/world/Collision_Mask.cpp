#include "world/Collision_Mask.h"

#include <algorithm>
#include <cmath>

#include "graphics/Sprite_Class.h"
#include "script/Variable_Class.h"
#include "world/World_Angles.h"

namespace tavrin {

namespace {


// The cell of a mask that a mapped coordinate names, or -1 when it lies
// outside the mask (huge, infinite and undefined values included).
int32_t Cell(double v, int32_t size) {
  if (!(v >= 0) || v >= size) return -1;
  return int32_t(v);
}

}  // namespace

RPlacedMask RPlacedMask::Of(const CSprite& sprite, double image, const TRect& box, double x, double y, double sx,
                            double sy, double angle) {
  RPlacedMask m;
  if (sprite.i_numb <= 0 || sprite.i_mask.empty()) return m;
  // The frame is floor(image) taken modulo the frame count, never negative.
  double frame = std::fmod(std::floor(image), double(sprite.i_numb));
  if (!(frame >= 0)) frame = std::isnan(frame) ? 0 : frame + sprite.i_numb;
  const size_t index = sprite.i_sepmasks ? size_t(frame) : 0;
  if (index >= sprite.i_mask.size()) return m;
  m.mask = &sprite.i_mask[index];
  m.box = box;
  m.x = Real_ToInt32(x);
  m.y = Real_ToInt32(y);
  m.xo = sprite.i_xorig;
  m.yo = sprite.i_yorig;
  m.sx = sx;
  m.sy = sy;
  const double a = Angle_ToRadians(-angle);
  m.c = std::cos(a);
  m.s = std::sin(a);
  m.plain = sx == 1 && sy == 1 && angle == 0;
  return m;
}

bool RPlacedMask::Covers(double px, double py) const {
  if (!mask) return false;
  double mx, my;
  if (plain) {
    mx = std::floor(px) - x + xo;
    my = std::floor(py) - y + yo;
  } else {
    const double dx = px - x, dy = py - y;
    mx = std::floor(xo + (dx * c + dy * s) / sx);
    my = std::floor(yo + (dy * c - dx * s) / sy);
  }
  const int32_t cx = Cell(mx, mask->i_w), cy = Cell(my, mask->i_h);
  return cx >= 0 && cy >= 0 && mask->i_mask[size_t(cx) * size_t(mask->i_h) + size_t(cy)] != 0;
}

namespace {

// 64 bits of a row of bits from bit `start` on (bits past the row read 0).
uint64_t BitsAt(const uint64_t* row, int32_t words, int64_t start) {
  const int64_t w = start / 64, shift = start % 64;
  const uint64_t lo = w < words ? row[w] : 0;
  if (shift == 0) return lo;
  const uint64_t hi = w + 1 < words ? row[w + 1] : 0;
  return (lo >> shift) | (hi << (64 - shift));
}

// Two unscaled, unturned masks over the overlap of their boxes, a row at a
// time and 64 columns to a word: the same cells as the pixel walk, so the
// same answer.
bool PlainMasksMeet(const RPlacedMask& a, const RPlacedMask& b, int64_t left, int64_t right, int64_t top,
                    int64_t bottom) {
  const TMask &ma = *a.mask, &mb = *b.mask;
  // Room column px is mask column px - x + xo; keep the columns both masks have.
  const int64_t ax = int64_t(a.xo) - a.x, bx = int64_t(b.xo) - b.x;
  left = std::max({left, -ax, -bx});
  right = std::min({right, ma.i_w - 1 - ax, mb.i_w - 1 - bx});
  const int64_t ay = int64_t(a.yo) - a.y, by = int64_t(b.yo) - b.y;
  top = std::max({top, -ay, -by});
  bottom = std::min({bottom, ma.i_h - 1 - ay, mb.i_h - 1 - by});
  if (left > right || top > bottom) return false;
  const std::vector<uint64_t>& ra = ma.Rows();
  const std::vector<uint64_t>& rb = mb.Rows();
  const int32_t wa = ma.RowWords(), wb = mb.RowWords();
  for (int64_t py = top; py <= bottom; ++py) {
    const uint64_t* rowA = ra.data() + size_t(py + ay) * size_t(wa);
    const uint64_t* rowB = rb.data() + size_t(py + by) * size_t(wb);
    for (int64_t px = left; px <= right; px += 64) {
      const int64_t n = std::min<int64_t>(64, right - px + 1);
      const uint64_t keep = n == 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1;
      if (BitsAt(rowA, wa, px + ax) & BitsAt(rowB, wb, px + bx) & keep) return true;
    }
  }
  return false;
}

}  // namespace

bool Mask_CollidesMask(const RPlacedMask& a, const RPlacedMask& b) {
  if (!a.mask || !b.mask) return false;
  const int64_t left = std::max(a.box.Left, b.box.Left), right = std::min(a.box.Right, b.box.Right);
  const int64_t top = std::max(a.box.Top, b.box.Top), bottom = std::min(a.box.Bottom, b.box.Bottom);
  if (a.plain && b.plain) return PlainMasksMeet(a, b, left, right, top, bottom);
  for (int64_t px = left; px <= right; ++px)
    for (int64_t py = top; py <= bottom; ++py)
      if (a.Covers(double(px), double(py)) && b.Covers(double(px), double(py))) return true;
  return false;
}

bool Mask_CollidesPoint(const RPlacedMask& m, int32_t x, int32_t y) { return m.Covers(x, y); }

bool Mask_CollidesRectangle(const RPlacedMask& m, const TRect& rr) {
  const int64_t left = std::max(m.box.Left, rr.Left), right = std::min(m.box.Right, rr.Right);
  const int64_t top = std::max(m.box.Top, rr.Top), bottom = std::min(m.box.Bottom, rr.Bottom);
  for (int64_t px = left; px <= right; ++px)
    for (int64_t py = top; py <= bottom; ++py)
      if (m.Covers(double(px), double(py))) return true;
  return false;
}

// The ellipse inscribed in rr, with the plain radii and its edge included.
bool Mask_CollidesEllipse(const RPlacedMask& m, const TRect& rr) {
  const double cx = (double(rr.Left) + rr.Right) / 2, rx = (double(rr.Right) - rr.Left) / 2;
  const double cy = (double(rr.Top) + rr.Bottom) / 2, ry = (double(rr.Bottom) - rr.Top) / 2;
  const int64_t left = std::max(m.box.Left, rr.Left), right = std::min(m.box.Right, rr.Right);
  const int64_t top = std::max(m.box.Top, rr.Top), bottom = std::min(m.box.Bottom, rr.Bottom);
  for (int64_t px = left; px <= right; ++px) {
    for (int64_t py = top; py <= bottom; ++py) {
      const double u = (double(px) - cx) / rx, v = (double(py) - cy) / ry;
      if (u * u + v * v <= 1 && m.Covers(double(px), double(py))) return true;
    }
  }
  return false;
}

bool Mask_CollidesLine(const RPlacedMask& m, int32_t xl, int32_t yl, int32_t xr, int32_t yr) {
  if (xl == xr || yl == yr)
    return Mask_CollidesRectangle(m, {std::min(xl, xr), std::min(yl, yr), std::max(xl, xr), std::max(yl, yr)});
  if (std::abs(int64_t(xr) - xl) < std::abs(int64_t(yr) - yl)) {
    // Steep: one point per row.
    if (yl > yr) {
      std::swap(xl, xr);
      std::swap(yl, yr);
    }
    const double k = (double(xr) - xl) / (double(yr) - yl);
    for (int64_t py = std::max(m.box.Top, yl); py <= std::min(m.box.Bottom, yr); ++py)
      if (m.Covers(xl + double(py - yl) * k, double(py))) return true;
    return false;
  }
  if (xl > xr) {
    std::swap(xl, xr);
    std::swap(yl, yr);
  }
  const double k = (double(yr) - yl) / (double(xr) - xl);
  for (int64_t px = std::max(m.box.Left, xl); px <= std::min(m.box.Right, xr); ++px)
    if (m.Covers(double(px), yl + double(px - xl) * k)) return true;
  return false;
}

}  // namespace tavrin
