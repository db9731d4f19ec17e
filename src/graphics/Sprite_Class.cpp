#include "graphics/Sprite_Class.h"

#include <algorithm>

#include "package/Package_Sections.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {


namespace {
// The smallest records the count checks can rely on: a frame is at least its
// version and size, a mask at least its version, size and box.
constexpr size_t kMinFrameRecord = 12;
constexpr size_t kMinMaskRecord = 28;
}  // namespace

void CSprite::ComputeMask(const RMaskSettings& s) {
  FreeMask();
  i_sepmasks = s.sepmasks;
  if (i_numb <= 0) {
    i_bbox = {};
    return;
  }
  if (s.sepmasks) {
    for (const TBitmap32& frame : i_bitmap) i_mask.push_back(TMask::Create(&frame, s.bbmode, s.bbox, s.kind, s.tolerance));
  } else {
    i_mask.push_back(TMask::Create(&i_bitmap[0], s.bbmode, s.bbox, s.kind, s.tolerance));
    for (size_t i = 1; i < i_bitmap.size(); ++i) i_mask[0].Merge(i_bitmap[i], s.bbmode, s.bbox, s.kind, s.tolerance);
  }
  ComputeBoundingBox();
}

void CSprite::ComputeBoundingBox() {
  if (i_numb <= 0 || i_mask.empty()) {
    i_bbox = {};
    return;
  }
  if (!i_sepmasks) {
    i_bbox = i_mask[0].i_bbox;
    return;
  }
  i_bbox = {GetWidth() - 1, GetHeight() - 1, 0, 0};
  for (const TMask& m : i_mask) {
    i_bbox.Left = std::min(i_bbox.Left, m.i_bbox.Left);
    i_bbox.Top = std::min(i_bbox.Top, m.i_bbox.Top);
    i_bbox.Right = std::max(i_bbox.Right, m.i_bbox.Right);
    i_bbox.Bottom = std::max(i_bbox.Bottom, m.i_bbox.Bottom);
  }
}

bool CSprite::LoadFromStream(CStream& str) {
  CSprite s;
  s.i_version = str.ReadInteger();
  if (s.i_version != 800 && s.i_version != 810) return false;
  s.i_xorig = str.ReadInteger();
  s.i_yorig = str.ReadInteger();
  s.i_numb = str.ReadInteger();
  if (!str.CountFits(s.i_numb, kMinFrameRecord)) return false;
  s.i_bitmap.resize(size_t(s.i_numb));
  for (TBitmap32& frame : s.i_bitmap)
    if (!Bitmap_LoadFromStream(str, frame)) return false;
  if (s.i_version == 810) s.i_reserved = str.ReadInteger();
  s.i_sepmasks = str.ReadBoolean();
  if (s.i_numb > 0) {
    const size_t masks = s.i_sepmasks ? size_t(s.i_numb) : 1;
    if (!str.CountFits(int64_t(masks), kMinMaskRecord)) return false;
    s.i_mask.resize(masks);
    // A mask of another version would leave the rest of the record misread;
    // the whole sprite fails instead.
    for (TMask& m : s.i_mask)
      if (!m.LoadFromStream(str)) return false;
  }
  s.i_tex.assign(size_t(s.i_numb), -1);
  s.ComputeBoundingBox();
  *this = std::move(s);
  return true;
}

void CSprite::SaveToStream(CStream& str) const {
  str.WriteInteger(i_version == 810 ? 810 : 800);
  str.WriteInteger(i_xorig);
  str.WriteInteger(i_yorig);
  str.WriteInteger(int32_t(i_bitmap.size()));
  for (const TBitmap32& frame : i_bitmap) Bitmap_SaveToStream(str, frame);
  if (i_version == 810) str.WriteInteger(i_reserved);
  str.WriteBoolean(i_sepmasks);
  if (i_bitmap.empty()) return;
  // Always as many masks as the reader expects, so the record stays whole.
  const size_t masks = i_sepmasks ? i_bitmap.size() : 1;
  for (size_t i = 0; i < masks; ++i) (i < i_mask.size() ? i_mask[i] : TMask()).SaveToStream(str);
}

}  // namespace tavrin
