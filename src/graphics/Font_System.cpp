#include "graphics/Font_System.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>

namespace tavrin {

namespace {

struct RFaceCache {
  FT_Library library = nullptr;
  FcConfig* fonts = nullptr;  // the system's font configuration, loaded once
  std::map<std::string, FT_Face> faces;  // by family
  ~RFaceCache() {
    for (auto& [family, face] : faces)
      if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
    if (fonts) {
      FcConfigDestroy(fonts);
      FcFini();
    }
  }
};

RFaceCache& Cache() {
  static RFaceCache cache;
  return cache;
}

std::string FindFontFile(FcConfig* fonts, const std::string& family) {
  std::string path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
  if (!pattern) return path;
  FcConfigSubstitute(fonts, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(fonts, pattern, &result)) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}

FT_Face Face(const std::string& family) {
  RFaceCache& cache = Cache();
  const auto found = cache.faces.find(family);
  if (found != cache.faces.end()) return found->second;
  FT_Face face = nullptr;
  if (!cache.library && FT_Init_FreeType(&cache.library) != 0) cache.library = nullptr;
  if (!cache.fonts) cache.fonts = FcInitLoadConfigAndFonts();
  const std::string file = cache.library && cache.fonts ? FindFontFile(cache.fonts, family) : std::string();
  if (!file.empty() && FT_New_Face(cache.library, file.c_str(), 0, &face) != 0) face = nullptr;
  cache.faces[family] = face;
  return face;
}

// The next code point of UTF-8 text; malformed bytes read as themselves.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
  const uint8_t c = uint8_t(s[i++]);
  const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + size_t(extra) > s.size()) return c;
  uint32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) cp = cp << 6 | (uint8_t(s[i++]) & 0x3F);
  return cp;
}

}  // namespace

bool Font_DrawSystemText(TBitmap32& target, const RTextBox& box, const std::string& text, const std::string& family,
                         int pixelHeight, uint32_t color) {
  FT_Face face = Face(family);
  if (!face || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight)) != 0) return false;
  const int ascender = int(face->size->metrics.ascender >> 6);
  const int descender = int(face->size->metrics.descender >> 6);
  const int baseline = box.y + (box.h - (ascender - descender)) / 2 + ascender;
  int pen = box.x;
  for (size_t i = 0; i < text.size();) {
    if (FT_Load_Char(face, NextCodePoint(text, i), FT_LOAD_RENDER) != 0) continue;
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

}  // namespace tavrin
