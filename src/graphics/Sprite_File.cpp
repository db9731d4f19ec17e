// The sprite data file a game loads and replaces sprites from: the frames,
// the origin and how the collision masks are to be made.
//
// File: int32 1234321, then one compressed block holding int32 800, the
// origin x and y, the frame count, that many picture records, then the mask
// kind, the tolerance, the separate-masks flag and the box mode, and the
// manual box as left, right, bottom, top. The file is untrusted: counts are
// checked against the bytes that remain, pictures against the pixel limits,
// and the sprite is only replaced once the whole file has been read.
#include "graphics/Bitmap_Effects.h"
#include "graphics/Sprite_Class.h"

namespace tavrin {

namespace {
constexpr int32_t kSpriteFileMagic = 1234321;
constexpr int32_t kSpriteFileVersion = 800;
// The smallest picture record: version, width, height.
constexpr size_t kMinFrameRecord = 12;
}  // namespace

bool CSprite::LoadFromSpriteFile(const std::string& fname) {
  CStream file;
  return file.LoadFromFile(fname) && LoadFromSpriteBytes(file.Bytes());
}

bool CSprite::LoadFromSpriteBytes(std::span<const uint8_t> bytes) {
  CPictureBudget budget;  // one file holds at most as many pixels as a package
  CSprite s;
  RMaskSettings masks;
  try {
    CStream file(bytes.data(), bytes.size());
    if (file.ReadInteger() != kSpriteFileMagic) return false;
    CStream block = file.ReadStreamC();
    if (block.ReadInteger() != kSpriteFileVersion) return false;
    s.i_xorig = block.ReadInteger();
    s.i_yorig = block.ReadInteger();
    const int32_t count = block.ReadInteger();
    if (!block.CountFits(count, kMinFrameRecord)) return false;
    s.i_bitmap.resize(size_t(count));
    for (TBitmap32& frame : s.i_bitmap)
      if (!Bitmap_LoadFromStream(block, frame)) return false;
    masks.kind = block.ReadInteger();
    masks.tolerance = block.ReadInteger();
    masks.sepmasks = block.ReadBoolean();
    masks.bbmode = block.ReadInteger();
    masks.bbox.Left = block.ReadInteger();
    masks.bbox.Right = block.ReadInteger();
    masks.bbox.Bottom = block.ReadInteger();
    masks.bbox.Top = block.ReadInteger();
  } catch (const CStreamError&) {
    return false;
  }
  s.i_numb = int32_t(s.i_bitmap.size());
  for (TBitmap32& frame : s.i_bitmap) Effect_FillTransparent(frame);
  s.ComputeMask(masks);
  FreeTexture();
  *this = std::move(s);
  InitTexture();
  return true;
}

std::vector<uint8_t> CSprite::SaveToSpriteBytes(const RMaskSettings& masks) const {
  CStream block;
  block.WriteInteger(kSpriteFileVersion);
  block.WriteInteger(i_xorig);
  block.WriteInteger(i_yorig);
  block.WriteInteger(int32_t(i_bitmap.size()));
  for (const TBitmap32& frame : i_bitmap) Bitmap_SaveToStream(block, frame);
  block.WriteInteger(masks.kind);
  block.WriteInteger(masks.tolerance);
  block.WriteBoolean(masks.sepmasks);
  block.WriteInteger(masks.bbmode);
  block.WriteInteger(masks.bbox.Left);
  block.WriteInteger(masks.bbox.Right);
  block.WriteInteger(masks.bbox.Bottom);
  block.WriteInteger(masks.bbox.Top);
  CStream file;
  file.WriteInteger(kSpriteFileMagic);
  file.WriteStreamC(block);
  return std::move(file.Bytes());
}

bool CSprite::SaveToSpriteFile(const std::string& fname, const RMaskSettings& masks) const {
  return CStream(SaveToSpriteBytes(masks)).SaveToFile(fname);
}

}  // namespace tavrin
