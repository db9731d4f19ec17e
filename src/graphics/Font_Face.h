// The system's font faces, shared by everything that rasterizes text:
// FreeType opened once, and fontconfig asked for the face file of a family
// in a style (a missing family falls back to the closest installed face;
// the usual family names of games find metric-compatible faces). Faces are
// opened once and kept. Only graphics sources include this header: it
// brings in FreeType.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace tavrin {

struct RFontFace {
  FT_Face face = nullptr;  // null when no face could be found or opened
  // The style asked for but missing from the face found, to be made up.
  bool embolden = false;
  bool oblique = false;
};

// The face of `family` in the style, opened on first need.
const RFontFace& FontFace_Find(const std::string& family, bool bold, bool italic);
// The FreeType library the faces belong to (null when it cannot start).
FT_Library FontFace_Library();
// Closes every face and forgets the font configuration, so that the next
// look-up reads it again (tests point FONTCONFIG_FILE at their own fonts).
void FontFace_Reset();

}  // namespace tavrin
