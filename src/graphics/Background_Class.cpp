#include "graphics/Background_Class.h"

#include "graphics/Bitmap_Effects.h"
#include "graphics/Graphics_Texture.h"
#include "package/Package_Sections.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {


bool CBackground::LoadFromStream(CStream& str) {
  if (str.ReadInteger() != kBackgroundRecordVersion) return false;
  TBitmap32 bitmap;
  if (!Bitmap_LoadFromStream(str, bitmap)) return false;
  FreeTexture();
  i_bitmap = std::move(bitmap);
  return true;
}

void CBackground::SaveToStream(CStream& str) const {
  str.WriteInteger(kBackgroundRecordVersion);
  Bitmap_SaveToStream(str, i_bitmap);
}

void CBackground::Clear() {
  FreeTexture();
  i_bitmap = TBitmap32();
}

void CBackground::Assign(const CBackground& back) {
  if (&back != this) {
    TBitmap32 copy = back.i_bitmap;  // copied before this picture is let go
    FreeTexture();
    i_bitmap = std::move(copy);
  }
  InitTexture();
}

void CBackground::SetAlphaFromBackground(const CBackground& back) {
  // Each pixel's brightness is read before its alpha is written, so `back`
  // may be this background.
  Effect_AlphaFromBrightness(i_bitmap, back.i_bitmap);
  InitTexture();
}

void CBackground::InitTexture() {
  FreeTexture();
  i_tex = Texture_CreateFromBitmap(i_bitmap);
}

void CBackground::FreeTexture() {
  Texture_Free(i_tex);
  i_tex = -1;
}

}  // namespace tavrin
