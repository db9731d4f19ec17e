#include "graphics/Font_Raster.h"

#include <algorithm>
#include <cmath>

#include "graphics/Font_CodePage.h"
#include "graphics/Font_Face.h"
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace tavrin {

namespace {

int32_t Round26(FT_Pos v) { return int32_t((v + 32) >> 6); }

class CFaceGlyphs final : public IGlyphSource {
 public:
  CFaceGlyphs(const RFontFace& face, int32_t pixels, int32_t codePage)
      : m_face(face), m_pixels(pixels), m_codePage(codePage) {}

  bool Metrics(RFontMetrics& out) override {
    FT_Face f = m_face.face;
    if (!f || FT_Set_Pixel_Sizes(f, 0, FT_UInt(m_pixels)) != 0) return false;
    // The line is what the face's own table says a line needs (the extent
    // of every glyph it was made for), so lines of text never overlap.
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 && f->units_per_EM > 0 && os2->usWinAscent + os2->usWinDescent > 0) {
      const double scale = double(m_pixels) / f->units_per_EM;
      out.ascent = int32_t(std::lround(os2->usWinAscent * scale));
      out.height = out.ascent + int32_t(std::lround(os2->usWinDescent * scale));
      out.avgWidth = int32_t(std::lround(os2->xAvgCharWidth * scale));
    } else {
      out.ascent = Round26(f->size->metrics.ascender);
      out.height = out.ascent - Round26(f->size->metrics.descender);
      out.avgWidth = Round26(f->size->metrics.max_advance) / 2;
    }
    out.maxWidth = Round26(f->size->metrics.max_advance);
    return true;
  }

  void Glyph(int32_t code, RGlyphImage& out) override {
    out = RGlyphImage{};
    FT_Face f = m_face.face;
    if (!f) return;
    const FT_UInt index = FT_Get_Char_Index(f, CodePage_ToUnicode(m_codePage, uint8_t(code)));
    if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT) != 0) return;
    FT_GlyphSlot slot = f->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (m_face.embolden) FT_GlyphSlot_Embolden(slot);
      if (m_face.oblique) FT_GlyphSlot_Oblique(slot);
    }
    out.advance = Round26(slot->advance.x);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& b = slot->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY && b.pixel_mode != FT_PIXEL_MODE_MONO) return;
    out.bw = int32_t(b.width);
    out.bh = int32_t(b.rows);
    out.ox = slot->bitmap_left;
    out.oy = slot->bitmap_top;
    out.grey.assign(size_t(out.bw) * size_t(out.bh), 0);
    for (int32_t r = 0; r < out.bh; ++r) {
      const uint8_t* row = b.buffer + ptrdiff_t(r) * b.pitch;
      for (int32_t k = 0; k < out.bw; ++k) {
        // 256 levels of coverage become the 65 a sheet is made of.
        const int v = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[k >> 3] >> (7 - (k & 7))) & 1) * 255 : row[k];
        out.grey[size_t(r) * size_t(out.bw) + size_t(k)] = uint8_t((v * 64 + 127) / 255);
      }
    }
  }

 private:
  RFontFace m_face;
  int32_t m_pixels;
  int32_t m_codePage;
};

}  // namespace

std::unique_ptr<IGlyphSource> FontRaster_Open(const std::string& family, int32_t points, bool bold, bool italic,
                                              int32_t codePage) {
  // Points at 96 pixels per inch, as a desktop shows them.
  const int64_t pixels = std::clamp<int64_t>((int64_t(points) * 96 + 36) / 72, 1, kFontMaxPixelSize);
  return std::make_unique<CFaceGlyphs>(FontFace_Find(family, bold, italic), int32_t(pixels), codePage);
}

void FontRaster_Reset() { FontFace_Reset(); }

}  // namespace tavrin
