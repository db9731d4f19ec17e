#include "graphics/Sprite_Mask.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// Ellipse and diamond are inscribed in the box with half-pixel larger radii,
// so that a one-pixel box still holds its one cell.
bool InShape(int32_t kind, const TRect& box, int32_t x, int32_t y) {
  const double cx = (box.Left + box.Right) / 2.0, rx = cx - box.Left + 0.5;
  const double cy = (box.Top + box.Bottom) / 2.0, ry = cy - box.Top + 0.5;
  const double dx = (x - cx) / rx, dy = (y - cy) / ry;
  if (kind == kMaskEllipse) return dx * dx + dy * dy < 1;
  return std::fabs(dx) + std::fabs(dy) < 1;
}

}  // namespace

void TMask::FillShape(const TRect& box, int32_t kind) {
  for (int32_t x = std::max(0, box.Left); x <= std::min(i_w - 1, box.Right); ++x)
    for (int32_t y = std::max(0, box.Top); y <= std::min(i_h - 1, box.Bottom); ++y)
      Set(x, y, kind == kMaskEllipse || kind == kMaskDiamond ? InShape(kind, box, x, y) : true);
}

TMask TMask::Create(const TBitmap32* bm, int32_t bbmode, const TRect& bbox, int32_t kind, int32_t tolerance) {
  TMask m;
  if (!bm) return m;
  m.i_w = bm->s_w;
  m.i_h = bm->s_h;
  m.i_mask.assign(size_t(m.i_w) * size_t(m.i_h), 0);
  if (bbmode == kBoxAutomatic)
    m.i_bbox = Bitmap_BoundingBox(*bm, tolerance);
  else if (bbmode == kBoxFull)
    m.i_bbox = {0, 0, m.i_w - 1, m.i_h - 1};
  else
    m.i_bbox = {std::max(0, bbox.Left), std::max(0, bbox.Top), std::min(m.i_w - 1, bbox.Right),
                std::min(m.i_h - 1, bbox.Bottom)};
  const TRect& b = m.i_bbox;
  if (kind == kMaskPrecise) {
    // The automatic box of a picture without pixels is (-1, h - 1, 0, 0):
    // not inverted, so the cells are clipped to the picture as well.
    for (int32_t x = std::max(0, b.Left); x <= std::min(m.i_w - 1, b.Right); ++x)
      for (int32_t y = std::max(0, b.Top); y <= std::min(m.i_h - 1, b.Bottom); ++y)
        m.Set(x, y, int32_t(bm->GetPixel(x, y) >> 24) > tolerance);
  } else if (kind >= kMaskRectangle && kind <= kMaskDiamond) {
    m.FillShape(b, kind);
  }
  return m;
}

const std::vector<uint64_t>& TMask::Rows() const {
  if (!m_rows.empty() || i_w <= 0 || i_h <= 0) return m_rows;
  const size_t words = size_t(RowWords());
  m_rows.assign(words * size_t(i_h), 0);
  for (int32_t x = 0; x < i_w; ++x)
    for (int32_t y = 0; y < i_h; ++y)
      if (i_mask[size_t(x) * size_t(i_h) + size_t(y)]) m_rows[size_t(y) * words + size_t(x) / 64] |= uint64_t(1) << (x % 64);
  return m_rows;
}

void TMask::Merge(const TBitmap32& bm, int32_t bbmode, const TRect& bbox, int32_t kind, int32_t tolerance) {
  m_rows.clear();
  const TMask n = Create(&bm, bbmode, bbox, kind, tolerance);
  i_bbox = {std::min(i_bbox.Left, n.i_bbox.Left), std::min(i_bbox.Top, n.i_bbox.Top),
            std::max(i_bbox.Right, n.i_bbox.Right), std::max(i_bbox.Bottom, n.i_bbox.Bottom)};
  if (kind == kMaskPrecise) {
    for (int32_t x = 0; x < std::min(i_w, n.i_w); ++x)
      for (int32_t y = 0; y < std::min(i_h, n.i_h); ++y)
        if (n.Get(x, y)) Set(x, y, true);
  } else {
    // One shape over the union box, not a union of shapes; an unknown kind
    // ends as the filled box.
    FillShape(i_bbox, kind == kMaskEllipse || kind == kMaskDiamond ? kind : kMaskRectangle);
  }
}

bool TMask::LoadFromStream(CStream& str) {
  if (str.ReadInteger() != kMaskRecordVersion) return false;
  TMask m;
  m.i_w = str.ReadInteger();
  m.i_h = str.ReadInteger();
  m.i_bbox.Left = str.ReadInteger();
  m.i_bbox.Right = str.ReadInteger();
  m.i_bbox.Bottom = str.ReadInteger();
  m.i_bbox.Top = str.ReadInteger();
  if (m.i_w < 0 || m.i_h < 0) return false;
  const size_t cells = size_t(m.i_w) * size_t(m.i_h);
  if (!str.CountFits(int64_t(cells), 4)) return false;
  m.i_mask.assign(cells, 0);
  // A mask 0 cells wide may claim any height: walk no rows for it.
  if (cells > 0)
    for (int32_t y = 0; y < m.i_h; ++y)
      for (int32_t x = 0; x < m.i_w; ++x) m.Set(x, y, str.ReadBoolean());
  *this = std::move(m);
  return true;
}

void TMask::SaveToStream(CStream& str) const {
  str.WriteInteger(kMaskRecordVersion);
  str.WriteInteger(i_w);
  str.WriteInteger(i_h);
  str.WriteInteger(i_bbox.Left);
  str.WriteInteger(i_bbox.Right);
  str.WriteInteger(i_bbox.Bottom);
  str.WriteInteger(i_bbox.Top);
  if (i_w == 0 || i_h == 0) return;
  for (int32_t y = 0; y < i_h; ++y)
    for (int32_t x = 0; x < i_w; ++x) str.WriteBoolean(Get(x, y));
}

}  // namespace tavrin
