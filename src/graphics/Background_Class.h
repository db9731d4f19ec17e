// CBackground: one picture drawn behind (or as tiles in) a room; its record.
#pragma once

#include <cstdint>

#include "graphics/BM32_Record.h"
#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr int32_t kBackgroundRecordVersion = 710;

class CBackground {
 public:
  TBitmap32 i_bitmap;
  int32_t i_tex = -1;  // texture, -1 for none

  int32_t GetWidth() const { return i_bitmap.s_w; }
  int32_t GetHeight() const { return i_bitmap.s_h; }

  // Record: version 710, then the picture record. Unchanged on failure.
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
};


}  // namespace tavrin
