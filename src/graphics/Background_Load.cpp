// Backgrounds made from pictures: files a game loads, grabbed pictures, plain
// colours and gradients.
#include "graphics/Background_Class.h"
#include "graphics/Bitmap_Effects.h"
#include "graphics/Bitmap_Gradient.h"
#include "graphics/Graphics_Picture.h"

namespace tavrin {

void CBackground::Replace(TBitmap32 bitmap) {
  FreeTexture();
  i_bitmap = std::move(bitmap);
  InitTexture();
}

bool CBackground::LoadFromFile(const std::string& fname, bool removeback, bool smooth) {
  CStream file;
  return file.LoadFromFile(fname) && LoadFromPicture(file.Bytes(), removeback, smooth);
}

bool CBackground::LoadFromPicture(std::span<const uint8_t> file, bool removeback, bool smooth) {
  CPictureBudget budget;
  std::optional<TBitmap32> bm = Picture_LoadFromBytes(file);
  if (!bm) return false;
  Effect_ApplyLoad(*bm, removeback, smooth);
  Replace(std::move(*bm));
  return true;
}

void CBackground::CreateFromBitmap(const TBitmap32& bbb, int32_t removeback, bool smooth) {
  TBitmap32 bm = bbb;
  bool anyAlpha = false;
  for (TColor32 c : bm.s_data) anyAlpha |= (c >> 24) != 0;
  if (removeback != 2 && !anyAlpha) Effect_Opaque(bm);
  if (removeback == 1)
    Effect_ApplyLoad(bm, true, smooth);
  else if (removeback == -1)
    Effect_Opaque(bm);
  Replace(std::move(bm));
}

bool CBackground::CreateColor(int32_t w, int32_t h, int32_t col) {
  if (w <= 0 || h <= 0 || !Bitmap_SizeAllowed(w, h)) return false;
  Replace(TBitmap32(w, h, Color_ToPixel(col)));
  return true;
}

bool CBackground::CreateGradient(int32_t w, int32_t h, int32_t col1, int32_t col2, int32_t kind) {
  std::optional<TBitmap32> bm = Bitmap_CreateGradient(w, h, col1, col2, kind);
  if (!bm) return false;
  Replace(std::move(*bm));
  return true;
}

}  // namespace tavrin
