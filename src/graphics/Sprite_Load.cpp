// Sprites made from pictures: picture files a game loads (strips and GIF
// animations), pictures grabbed from the screen or a surface, and frames
// added to a sprite that exists.
#include <utility>

#include "graphics/Bitmap_Effects.h"
#include "graphics/Bitmap_Transform.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Sprite_Class.h"

namespace tavrin {

namespace {

// The canvas an animation is drawn on: where a GIF frame leaves pixels
// transparent, this colour shows, and remove-background (which takes the
// bottom-left pixel's colour) clears it again.
constexpr TColor32 kGifCanvas = 0xFF408000u;  // red 64, green 128, blue 0

// Masks as the picture loaders and the frame-adding operations make them.
RMaskSettings LoadedMasks(bool sepmasks) {
  RMaskSettings s;
  s.sepmasks = sepmasks;
  return s;
}

// Frames of `count` columns div count wide cut from a strip; nothing when
// there are more frames than columns.
std::optional<std::vector<TBitmap32>> CutStrip(const TBitmap32& strip, int32_t count) {
  if (count > strip.s_w) return std::nullopt;
  const int32_t w = strip.s_w / count;
  std::vector<TBitmap32> frames;
  frames.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    TBitmap32 frame(w, strip.s_h);
    Bitmap_DrawPart(frame, 0, 0, strip, i * w, 0, w, strip.s_h);
    frames.push_back(std::move(frame));
  }
  return frames;
}

// The pixels of a grabbed picture as a game's file would give them: when no
// pixel has any alpha, the picture is opaque.
void TestAlpha(TBitmap32& bm) {
  for (TColor32 c : bm.s_data)
    if (c >> 24) return;
  Effect_Opaque(bm);
}

}  // namespace

bool CSprite::LoadFromFile(const std::string& fname, int32_t imgnumb, bool removeback, bool smooth, int32_t xo,
                           int32_t yo) {
  CStream file;
  if (!file.LoadFromFile(fname)) return false;
  return LoadFromPicture(file.Bytes(), imgnumb, removeback, smooth, xo, yo);
}

bool CSprite::LoadFromPicture(std::span<const uint8_t> file, int32_t imgnumb, bool removeback, bool smooth, int32_t xo,
                              int32_t yo) {
  // One file may hold at most as many pixels as a whole package.
  CPictureBudget budget;
  std::optional<std::vector<TBitmap32>> frames;
  if (Picture_Recognise(file) == EPictureFormat::GIF) {
    frames = Picture_DecodeGIF(file, kGifCanvas);
  } else {
    const std::optional<TBitmap32> strip = Picture_LoadFromBytes(file);
    if (strip) frames = CutStrip(*strip, imgnumb > 0 ? imgnumb : 1);
  }
  if (!frames) return false;
  CSprite s;
  s.i_bitmap = std::move(*frames);
  for (TBitmap32& frame : s.i_bitmap) Effect_ApplyLoad(frame, removeback, smooth);
  s.i_numb = int32_t(s.i_bitmap.size());
  s.i_xorig = xo;
  s.i_yorig = yo;
  s.ComputeMask(LoadedMasks(false));
  FreeTexture();
  *this = std::move(s);
  InitTexture();
  return true;
}

void CSprite::CreateFromBitmap(const TBitmap32& bbb, int32_t removeback, bool smooth, int32_t xo, int32_t yo) {
  TBitmap32 frame = bbb;
  if (removeback != 2) TestAlpha(frame);
  if (removeback == 1)
    Effect_ApplyLoad(frame, true, smooth);
  else if (removeback == -1)
    Effect_Opaque(frame);
  FreeTexture();
  CSprite s;
  s.i_bitmap.push_back(std::move(frame));
  s.i_numb = 1;
  s.i_xorig = xo;
  s.i_yorig = yo;
  s.ComputeMask(LoadedMasks(false));
  *this = std::move(s);
  InitTexture();
}

void CSprite::AddFromBitmap(const TBitmap32& bbb, bool removeback, bool smooth) {
  TBitmap32 frame = bbb;
  Effect_ApplyLoad(frame, removeback, smooth);
  if (i_numb > 0) Bitmap_Stretch(frame, GetWidth(), GetHeight(), 1);
  FreeTexture();
  i_bitmap.push_back(std::move(frame));
  i_numb = int32_t(i_bitmap.size());
  ComputeMask(LoadedMasks(i_sepmasks));
  InitTexture();
}

}  // namespace tavrin
