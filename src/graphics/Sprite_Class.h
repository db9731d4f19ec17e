// CSprite: a sequence of equally sized frames with an origin, collision masks
// and a bounding box; and its record in
// the package.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/BM32_Record.h"
#include "graphics/Sprite_Mask.h"
#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

class CSprite {
 public:
  int32_t i_numb = 0;                // frame count
  std::vector<TBitmap32> i_bitmap;   // the frames; frame 0 gives the size
  int32_t i_xorig = 0, i_yorig = 0;  // the point placed at the drawing position
  TRect i_bbox{};                    // box of the masks, in frame coordinates
  std::vector<TMask> i_mask;         // one per frame when i_sepmasks, else one
  bool i_sepmasks = false;
  std::vector<int32_t> i_tex;        // texture per frame, -1 for none
  // The record form it was read in (800, or 810 with one more integer), kept
  // so that a package taken apart and built again is the same to the byte.
  int32_t i_version = 800;
  int32_t i_reserved = 0;

  // 1 x 1 without frames.
  int32_t GetWidth() const { return i_numb > 0 ? i_bitmap[0].s_w : 1; }
  int32_t GetHeight() const { return i_numb > 0 ? i_bitmap[0].s_h : 1; }

  void ComputeMask(const RMaskSettings& settings);
  void ComputeBoundingBox();
  void FreeMask() { i_mask.clear(); }

  // Record: version (800 or 810), origin, frame count, the frames, [810: one
  // ignored integer], separate-masks flag, then when there are frames the
  // masks. The box is computed from the masks. On failure the sprite is left
  // unchanged.
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
};


}  // namespace tavrin
