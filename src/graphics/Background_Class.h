// CBackground: one picture drawn behind (or as tiles in) a room, and its
// record. Loading from pictures and making colour and gradient pictures are
// in Background_Load.cpp, the background data file in Background_File.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

  // No picture; texture freed.
  void Clear();
  // Becomes a copy of `back`'s picture, then makes its texture. Assigning a
  // background to itself keeps it whole.
  void Assign(const CBackground& back);
  // A copy of the picture.
  TBitmap32 GetBitmap() const { return i_bitmap; }
  // Alpha from the brightness of `back`'s picture where the two overlap;
  // `back` may be this background.
  void SetAlphaFromBackground(const CBackground& back);

  // A picture file (any format, by its bytes; a GIF gives its first frame)
  // with the load effects (Effect_ApplyLoad). False, and nothing changed,
  // for a missing file or an unreadable picture.
  bool LoadFromFile(const std::string& fname, bool removeback, bool smooth);
  bool LoadFromPicture(std::span<const uint8_t> file, bool removeback, bool smooth);
  // A grabbed picture, by the rules of CSprite::CreateFromBitmap.
  void CreateFromBitmap(const TBitmap32& bbb, int32_t removeback, bool smooth);
  // An opaque w x h picture of script colour `col`. False (nothing changed)
  // for a side <= 0 or a size Bitmap_SizeAllowed refuses.
  bool CreateColor(int32_t w, int32_t h, int32_t col);
  // Bitmap_CreateGradient; false (nothing changed) for a size it refuses.
  bool CreateGradient(int32_t w, int32_t h, int32_t col1, int32_t col2, int32_t kind);

  // The background data file: int32 1234321, then one compressed block
  // holding int32 710, a flag and six integers kept for the editor (ignored
  // here, written as zeros), and a picture record. On loading, transparent
  // pixels take their neighbours' colours (Effect_FillTransparent). False,
  // and nothing changed, for a missing file, a wrong magic or version, or
  // damaged data.
  bool LoadFromBackgroundFile(const std::string& fname);
  bool LoadFromBackgroundBytes(std::span<const uint8_t> file);
  std::vector<uint8_t> SaveToBackgroundBytes() const;
  bool SaveToBackgroundFile(const std::string& fname) const;

  // The texture in the game's texture table (Graphics_Texture), the old one
  // freed first; -1 without a device. FreeTexture frees it and leaves -1.
  void InitTexture();
  void FreeTexture();

  // Drawing (Sprite_Draw.cpp): as the sprite operations of the same names,
  // with the origin at the top-left. Nothing without a texture.
  void DrawSimple(double x, double y) const;
  void Draw(double x, double y, double xscale, double yscale, double angle, uint32_t color, double alpha) const;
  void DrawStretched(double x, double y, double w, double h, uint32_t color, double alpha) const;
  void DrawPart(double left, double top, double w, double h, double x, double y, double xscale, double yscale,
                uint32_t color, double alpha) const;
  void DrawGeneral(double left, double top, double w, double h, double x, double y, double xscale, double yscale,
                   double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, double alpha) const;
  void DrawTiled(double x, double y, double xscale, double yscale, bool htiled, bool vtiled, double xr, double yr,
                 double wr, double hr, uint32_t color, double alpha) const;

 private:
  void Replace(TBitmap32 bitmap);
};


}  // namespace tavrin
