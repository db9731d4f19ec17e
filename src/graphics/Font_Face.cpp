#include "graphics/Font_Face.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <tuple>

namespace tavrin {

namespace {

struct RFaceCache {
  FT_Library library = nullptr;
  bool libraryTried = false;
  FcConfig* fonts = nullptr;  // the system's font configuration, loaded once
  std::map<std::tuple<std::string, bool, bool>, RFontFace> faces;

  void Close() {
    for (auto& [key, f] : faces)
      if (f.face) FT_Done_Face(f.face);
    faces.clear();
    if (fonts) FcConfigDestroy(fonts);
    fonts = nullptr;
  }
  ~RFaceCache() {
    Close();
    if (library) FT_Done_FreeType(library);
  }
};

RFaceCache& Cache() {
  static RFaceCache cache;
  return cache;
}

// The best face file for the family and style, with what the face lacks of
// the style.
RFontFace Open(RFaceCache& cache, const std::string& family, bool bold, bool italic) {
  RFontFace out;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return out;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(cache.fonts, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(cache.fonts, pattern, &result)) {
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FT_New_Face(cache.library, reinterpret_cast<const char*>(file), index, &out.face) != 0)
      out.face = nullptr;
    out.embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
    out.oblique = italic && slant == FC_SLANT_ROMAN;
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return out;
}

}  // namespace

FT_Library FontFace_Library() {
  RFaceCache& cache = Cache();
  if (!cache.libraryTried) {
    cache.libraryTried = true;
    if (FT_Init_FreeType(&cache.library) != 0) cache.library = nullptr;
  }
  return cache.library;
}

const RFontFace& FontFace_Find(const std::string& family, bool bold, bool italic) {
  RFaceCache& cache = Cache();
  const auto key = std::make_tuple(family, bold, italic);
  const auto found = cache.faces.find(key);
  if (found != cache.faces.end()) return found->second;
  RFontFace face;
  if (FontFace_Library()) {
    if (!cache.fonts) cache.fonts = FcInitLoadConfigAndFonts();
    if (cache.fonts) face = Open(cache, family, bold, italic);
  }
  return cache.faces[key] = face;
}

void FontFace_Reset() { Cache().Close(); }

}  // namespace tavrin
