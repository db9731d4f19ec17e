// Text as every text function lays it out, in the current font (Font_List.h):
// "#" breaks a line ("\#" is a plain "#"), as do CR, LF and CR LF; a width
// of 0 or more wraps each line at spaces and hyphens; lines are `sep`
// apart (below 0: the font's line height) and aligned by the text state.
// Laying out and drawing reuse their buffers: drawing the same text each
// frame allocates nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "graphics/Font_Class.h"

namespace tavrin {

// "#" becomes a line break (one CR) and "\#" a plain "#"; the rest is
// copied. Every text a game shows or draws passes through this.
std::string Text_ConvertHashes(std::string_view text);

// Lines of glyph codes in one font, back to back in `codes`.
struct RTextLines {
  std::string codes;
  std::vector<std::pair<uint32_t, uint32_t>> spans;  // start and length of each line
  size_t Count() const { return spans.size(); }
  std::string_view Line(size_t i) const { return std::string_view(codes).substr(spans[i].first, spans[i].second); }
};

// Splits UTF-8 text into lines of `font`'s glyph codes. A final line break
// starts no further line and an empty text has no line. With w >= 0 a
// non-empty line is wrapped: words run up to and including a space or a
// hyphen, which stay at the end of their line and count in its width; a
// line takes words while they fit in w, and a word wider than w stands
// alone, unbroken.
void Text_SplitLines(const CFont& font, std::string_view text, int32_t w, RTextLines& out);

// In the current font: the widest line, at least 1; the height of the
// lines (the line height, then sep for each further line), 1 for no line.
int32_t Text_Width(std::string_view text, int32_t w);
int32_t Text_Height(std::string_view text, int32_t sep, int32_t w);

// Drawing in the current font and alignment, from (x, y), in the drawing
// colour and alpha or in four corner colours (top-left, top-right,
// bottom-right, bottom-left of each line) with their own alpha. Turned text
// turns about (x, y) by `angle` degrees, its lines stepping down the turned
// text.
void Text_Draw(std::string_view text, int32_t sep, int32_t w, double x, double y);
void Text_DrawTransformed(std::string_view text, int32_t sep, int32_t w, double x, double y, double xscale,
                          double yscale, double angle);
void Text_DrawColor(std::string_view text, int32_t sep, int32_t w, double x, double y, uint32_t c1, uint32_t c2,
                    uint32_t c3, uint32_t c4, double alpha);
void Text_DrawTransformedColor(std::string_view text, int32_t sep, int32_t w, double x, double y, double xscale,
                               double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                               double alpha);

}  // namespace tavrin
