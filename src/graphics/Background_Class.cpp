#include "graphics/Background_Class.h"

#include "package/Package_Sections.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {


bool CBackground::LoadFromStream(CStream& str) {
  if (str.ReadInteger() != kBackgroundRecordVersion) return false;
  TBitmap32 bitmap;
  if (!Bitmap_LoadFromStream(str, bitmap)) return false;
  i_bitmap = std::move(bitmap);
  i_tex = -1;
  return true;
}

void CBackground::SaveToStream(CStream& str) const {
  str.WriteInteger(kBackgroundRecordVersion);
  Bitmap_SaveToStream(str, i_bitmap);
}

}  // namespace tavrin
