#include "graphics/Sprite_Class.h"

#include <algorithm>

#include "graphics/Bitmap_Effects.h"
#include "graphics/Bitmap_Transform.h"
#include "graphics/Graphics_Texture.h"
#include "package/Package_Sections.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {


namespace {
// The smallest records the count checks can rely on: a frame is at least its
// version and size, a mask at least its version, size and box.
constexpr size_t kMinFrameRecord = 12;
constexpr size_t kMinMaskRecord = 28;
}  // namespace

int32_t CSprite::FrameIndex(int64_t index) const {
  if (i_numb <= 0) return 0;
  const int64_t r = index % i_numb;
  return int32_t(r < 0 ? r + i_numb : r);
}

void CSprite::Clear() {
  FreeTexture();
  i_numb = 0;
  i_bitmap.clear();
  i_xorig = i_yorig = 0;
  i_bbox = {};
  i_mask.clear();
  i_sepmasks = false;
  i_tex.clear();
}

void CSprite::Assign(const CSprite& spr) {
  if (&spr != this) {
    // Copied before anything of this sprite is let go.
    std::vector<TBitmap32> frames = spr.i_bitmap;
    // All masks when separate, else the one shared mask.
    std::vector<TMask> masks = spr.i_mask;
    if (!spr.i_sepmasks && masks.size() > 1) masks.resize(1);
    FreeTexture();
    i_xorig = spr.i_xorig;
    i_yorig = spr.i_yorig;
    i_bbox = spr.i_bbox;
    i_bitmap = std::move(frames);
    i_numb = int32_t(i_bitmap.size());
    i_sepmasks = spr.i_sepmasks;
    i_mask = std::move(masks);
  }
  InitTexture();
}

std::optional<TBitmap32> CSprite::GetBitmap(int32_t ind) const {
  if (ind < 0 || ind >= i_numb) return std::nullopt;
  return i_bitmap[size_t(ind)];
}

TRect CSprite::GetBoundingBoxImg(int32_t ind) const {
  if (ind < 0 || ind >= i_numb) return {};
  return Bitmap_BoundingBox(i_bitmap[size_t(ind)], 0);
}

void CSprite::AddFromSprite(const CSprite& spr) {
  // Copies first: `spr` may be this sprite, whose frames the appending moves.
  std::vector<TBitmap32> added = spr.i_bitmap;
  if (added.empty()) return;
  const int32_t w = i_numb > 0 ? GetWidth() : added[0].s_w;
  const int32_t h = i_numb > 0 ? GetHeight() : added[0].s_h;
  for (TBitmap32& frame : added) Bitmap_Stretch(frame, w, h, 1);
  FreeTexture();
  for (TBitmap32& frame : added) i_bitmap.push_back(std::move(frame));
  i_numb = int32_t(i_bitmap.size());
  RMaskSettings masks;
  masks.sepmasks = i_sepmasks;
  ComputeMask(masks);
  InitTexture();
}

void CSprite::SetAlphaFromSprite(const CSprite& spr) {
  if (spr.i_bitmap.empty()) return;
  // With spr == this, frame i reads its own pixels, each before it is
  // written: safe in place.
  for (size_t i = 0; i < i_bitmap.size(); ++i)
    Effect_AlphaFromBrightness(i_bitmap[i], spr.i_bitmap[i % spr.i_bitmap.size()]);
  InitTexture();
}

void CSprite::InitTexture() {
  FreeTexture();
  i_tex.assign(i_bitmap.size(), -1);
  for (size_t i = 0; i < i_bitmap.size(); ++i) i_tex[i] = Texture_CreateFromBitmap(i_bitmap[i]);
}

void CSprite::FreeTexture() {
  for (int32_t& id : i_tex) {
    Texture_Free(id);
    id = -1;
  }
}

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
  FreeTexture();
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
