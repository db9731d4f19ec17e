#include "graphics/Font_System.h"

#include "graphics/Font_CodePage.h"
#include "graphics/Font_Face.h"

namespace tavrin {

bool Font_DrawSystemText(TBitmap32& target, const RTextBox& box, const std::string& text, const std::string& family,
                         int pixelHeight, uint32_t color) {
  FT_Face face = FontFace_Find(family, false, false).face;
  if (!face || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight)) != 0) return false;
  const int ascender = int(face->size->metrics.ascender >> 6);
  const int descender = int(face->size->metrics.descender >> 6);
  const int baseline = box.y + (box.h - (ascender - descender)) / 2 + ascender;
  int pen = box.x;
  for (size_t i = 0; i < text.size();) {
    if (FT_Load_Char(face, Text_NextCodePoint(text, i), FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot g = face->glyph;
    for (unsigned row = 0; row < g->bitmap.rows; ++row)
      for (unsigned col = 0; col < g->bitmap.width; ++col) {
        const int x = pen + g->bitmap_left + int(col), y = baseline - g->bitmap_top + int(row);
        if (x < box.x || y < box.y || x >= box.x + box.w || y >= box.y + box.h) continue;
        const uint32_t coverage = g->bitmap.buffer[row * unsigned(g->bitmap.pitch) + col];
        if (coverage == 0) continue;
        const TColor32 under = target.GetPixel(x, y);
        auto mix = [&](int shift) {
          const uint32_t a = (under >> shift) & 0xFF, b = (color >> shift) & 0xFF;
          return ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
        };
        target.SetPixel(x, y, (under & 0xFF000000u) | mix(16) | mix(8) | mix(0));
      }
    pen += int(g->advance.x >> 6);
    if (pen >= box.x + box.w) break;
  }
  return true;
}

int Font_SystemTextWidth(const std::string& text, const std::string& family, int pixelHeight) {
  FT_Face face = FontFace_Find(family, false, false).face;
  if (!face || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight)) != 0) return 0;
  int width = 0;
  for (size_t i = 0; i < text.size();)
    if (FT_Load_Char(face, Text_NextCodePoint(text, i), FT_LOAD_DEFAULT) == 0) width += int(face->glyph->advance.x >> 6);
  return width;
}

int Font_SystemLineHeight(const std::string& family, int pixelHeight) {
  FT_Face face = FontFace_Find(family, false, false).face;
  if (!face || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight)) != 0) return pixelHeight;
  return int((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
}

}  // namespace tavrin
