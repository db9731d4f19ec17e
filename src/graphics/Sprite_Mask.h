// TMask: the collision mask of one image, one boolean per pixel, with its box.
// Masks are made from a frame's alpha or from a simple shape, and travel in
// the package inside the sprite record so that games collide exactly as
// their author saw it.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/BM32_Record.h"
#include "package/Support_Stream.h"

namespace tavrin {

// How a mask is made from an image.
enum EMaskKind : int32_t { kMaskPrecise = 0, kMaskRectangle = 1, kMaskEllipse = 2, kMaskDiamond = 3 };
enum EMaskBox : int32_t { kBoxAutomatic = 0, kBoxFull = 1, kBoxManual = 2 };  // any other value is manual too

struct RMaskSettings {
  bool sepmasks = false;
  int32_t bbmode = kBoxAutomatic;
  TRect bbox{};  // used by the manual mode, clipped to the image
  int32_t kind = kMaskPrecise;
  int32_t tolerance = 0;  // a pixel counts when its alpha is strictly greater
  bool operator==(const RMaskSettings&) const = default;
};

inline constexpr int32_t kMaskRecordVersion = 800;

class TMask {
 public:
  int32_t i_w = 0;
  int32_t i_h = 0;
  TRect i_bbox{};
  std::vector<uint8_t> i_mask;  // i_w columns of i_h cells: cell (x, y) at x * i_h + y

  // The cells again as rows of bits, 64 to a word, made on first use: two
  // unscaled, unturned masks are compared a word at a time.
  const std::vector<uint64_t>& Rows() const;
  int32_t RowWords() const { return (i_w + 63) / 64; }

  bool Get(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < i_w && y < i_h && i_mask[size_t(x) * size_t(i_h) + size_t(y)];
  }
  void Set(int32_t x, int32_t y, bool on) {
    i_mask[size_t(x) * size_t(i_h) + size_t(y)] = on;
    m_rows.clear();
  }

  // The mask of `bm` (nullptr: the empty mask).
  static TMask Create(const TBitmap32* bm, int32_t bbmode, const TRect& bbox, int32_t kind, int32_t tolerance);
  // Adds another frame to a mask shared by all frames.
  void Merge(const TBitmap32& bm, int32_t bbmode, const TRect& bbox, int32_t kind, int32_t tolerance);

  // Record: version 800, w, h, left, right, bottom, top (that order), then
  // w x h booleans row by row. Another version, a negative size, or more
  // cells than bytes remain fail before anything is allocated.
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;

  bool operator==(const TMask& o) const {
    return i_w == o.i_w && i_h == o.i_h && i_bbox == o.i_bbox && i_mask == o.i_mask;
  }

 private:
  mutable std::vector<uint64_t> m_rows;  // empty until asked for; dropped when cells change
  void FillShape(const TRect& box, int32_t kind);
};

}  // namespace tavrin
