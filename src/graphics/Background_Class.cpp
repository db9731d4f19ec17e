#include "graphics/Background_Class.h"

#include "package/Package_Sections.h"

namespace tavrin {

CResourceList<CBackground> g_Backgrounds;

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

bool Background_LoadAll(CStream& content) { return Section_ReadList(content, g_Backgrounds); }
void Background_SaveAll(CStream& content) { Section_WriteList(content, g_Backgrounds); }
void Background_ClearAll() { g_Backgrounds.Clear(); }

}  // namespace tavrin
