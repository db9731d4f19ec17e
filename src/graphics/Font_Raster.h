// The system-font rasterizer behind fonts made while a game runs: the face
// of a family and style found through fontconfig (Font_Face.h), sized in
// points at 96 pixels per inch, measured, and each character code of the
// font's code page drawn as a 65-level grey glyph, upright and unscaled.
#pragma once

#include <memory>
#include <string>

#include "graphics/Font_Sheet.h"

namespace tavrin {

// Point sizes beyond this are drawn at it: a larger glyph could not fit a
// sheet anyway.
inline constexpr int32_t kFontMaxPixelSize = 1024;

// A glyph source for the face; its metrics fail when no face is installed
// at all or it cannot take the size.
std::unique_ptr<IGlyphSource> FontRaster_Open(const std::string& family, int32_t points, bool bold, bool italic,
                                              int32_t codePage);

// Closes the faces and forgets the font configuration: the next font reads
// it again (FONTCONFIG_FILE may have changed since).
void FontRaster_Reset();

}  // namespace tavrin
