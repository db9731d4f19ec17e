#include "graphics/Font_Text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/Font_List.h"
#include "graphics/Graphics_DrawState.h"

namespace tavrin {

namespace {

// The buffers text functions lay out into, kept from call to call.
struct RTextScratch {
  std::string converted;
  RTextLines lines;
};
RTextScratch& Scratch() {
  static RTextScratch scratch;
  return scratch;
}

void ConvertHashesInto(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '#') {
      out.push_back('#');
      ++i;
    } else {
      out.push_back(text[i] == '#' ? '\r' : text[i]);
    }
  }
}

bool EndsWord(char c) { return c == ' ' || c == '-'; }

// The end of the word starting at `pos`: past the next space or hyphen.
size_t WordEnd(std::string_view codes, size_t pos) {
  while (pos < codes.size())
    if (EndsWord(codes[pos++])) break;
  return pos;
}

void AddLine(RTextLines& out, size_t start, size_t end) {
  out.spans.emplace_back(uint32_t(start), uint32_t(end - start));
}

// One line of the text, encoded and wrapped.
void AddSegment(const CFont& font, std::string_view segment, int32_t w, RTextLines& out) {
  const size_t begin = out.codes.size();
  font.Encode(segment, out.codes);
  const std::string_view codes = out.codes;
  if (w < 0 || codes.size() == begin) return AddLine(out, begin, codes.size());
  for (size_t pos = begin; pos < codes.size();) {
    size_t end = WordEnd(codes, pos);
    int64_t width = font.TextWidth(codes.substr(pos, end - pos));
    while (width < w && end < codes.size()) {
      const size_t next = WordEnd(codes, end);
      const int64_t more = font.TextWidth(codes.substr(end, next - end));
      if (width + more > w) break;
      width += more;
      end = next;
    }
    AddLine(out, pos, end);
    pos = end;
  }
}

const RTextLines& Layout(const CFont& font, std::string_view text, int32_t w) {
  RTextLines& lines = Scratch().lines;
  Text_SplitLines(font, text, w, lines);
  return lines;
}

int32_t Separation(const CFont& font, int32_t sep) { return sep < 0 ? font.TextHeight() : sep; }

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The horizontal shift of a line by the alignment, for upright text.
double AlignShift(int32_t width) {
  switch (g_TextState.halign) {
    case EHAlign::Center: return -double(width / 2);
    case EHAlign::Right: return -double(width);
    default: return 0;
  }
}

// Upright lines: each drawn by `draw(x, y, line)`.
template <class Draw>
void DrawLines(std::string_view text, int32_t sep, int32_t w, double x, double y, Draw draw) {
  const CFont& font = Font_Current();
  const RTextLines& lines = Layout(font, text, w);
  sep = Separation(font, sep);
  const int64_t n = int64_t(lines.Count());
  if (g_TextState.valign == EVAlign::Middle) y -= double((n * sep) / 2);
  if (g_TextState.valign == EVAlign::Bottom) y -= double(n * sep);
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines.Line(i);
    draw(font, x + AlignShift(font.TextWidth(line)), y, line);
    y += sep;
  }
}

// Turned and scaled lines: each drawn by `draw(x, y, line)` with the pen at
// the line's turned top-left.
template <class Draw>
void DrawLinesTransformed(std::string_view text, int32_t sep, int32_t w, double x, double y, double xscale,
                          double yscale, double angle, Draw draw) {
  const CFont& font = Font_Current();
  const RTextLines& lines = Layout(font, text, w);
  sep = Separation(font, sep);
  const double a = Radians(angle), c = std::cos(a), s = std::sin(a);
  const double n = double(lines.Count());
  const double stepX = s * yscale * sep, stepY = c * yscale * sep;
  if (g_TextState.valign == EVAlign::Middle) {
    x -= std::nearbyint(n * stepX / 2);
    y -= std::nearbyint(n * stepY / 2);
  } else if (g_TextState.valign == EVAlign::Bottom) {
    x -= std::nearbyint(n * stepX);
    y -= std::nearbyint(n * stepY);
  }
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines.Line(i);
    const double width = font.TextWidth(line);
    double dx = 0;
    if (g_TextState.halign == EHAlign::Center) dx = -std::nearbyint(xscale * width / 2);
    if (g_TextState.halign == EHAlign::Right) dx = -std::nearbyint(xscale * width);
    draw(font, x + dx * c, y - dx * s, line);
    x += stepX;
    y += stepY;
  }
}

}  // namespace

std::string Text_ConvertHashes(std::string_view text) {
  std::string out;
  ConvertHashesInto(text, out);
  return out;
}

void Text_SplitLines(const CFont& font, std::string_view text, int32_t w, RTextLines& out) {
  out.codes.clear();
  out.spans.clear();
  std::string& conv = Scratch().converted;
  ConvertHashesInto(text, conv);
  // CR, LF and CR LF each end a line.
  size_t start = 0;
  for (size_t i = 0; i < conv.size(); ++i) {
    if (conv[i] == '\n' && i > 0 && conv[i - 1] == '\r') {
      start = i + 1;
    } else if (conv[i] == '\r' || conv[i] == '\n') {
      AddSegment(font, std::string_view(conv).substr(start, i - start), w, out);
      start = i + 1;
    }
  }
  if (start < conv.size()) AddSegment(font, std::string_view(conv).substr(start), w, out);
}

int32_t Text_Width(std::string_view text, int32_t w) {
  const CFont& font = Font_Current();
  const RTextLines& lines = Layout(font, text, w);
  int32_t widest = 1;
  for (size_t i = 0; i < lines.Count(); ++i) widest = std::max(widest, font.TextWidth(lines.Line(i)));
  return widest;
}

int32_t Text_Height(std::string_view text, int32_t sep, int32_t w) {
  const CFont& font = Font_Current();
  const RTextLines& lines = Layout(font, text, w);
  if (lines.Count() == 0) return 1;
  return int32_t(std::clamp<int64_t>(font.TextHeight() + int64_t(Separation(font, sep)) * int64_t(lines.Count() - 1),
                                     INT32_MIN, INT32_MAX));
}

void Text_Draw(std::string_view text, int32_t sep, int32_t w, double x, double y) {
  const uint32_t color = DrawState_GetColor();
  const double alpha = g_DrawState.alpha;
  DrawLines(text, sep, w, x, y, [&](const CFont& f, double lx, double ly, std::string_view line) {
    f.Draw_String(lx, ly, line, color, alpha);
  });
}

void Text_DrawColor(std::string_view text, int32_t sep, int32_t w, double x, double y, uint32_t c1, uint32_t c2,
                    uint32_t c3, uint32_t c4, double alpha) {
  DrawLines(text, sep, w, x, y, [&](const CFont& f, double lx, double ly, std::string_view line) {
    f.Draw_String_Color(lx, ly, line, c1, c2, c3, c4, alpha);
  });
}

void Text_DrawTransformed(std::string_view text, int32_t sep, int32_t w, double x, double y, double xscale,
                          double yscale, double angle) {
  const uint32_t color = DrawState_GetColor();
  const double alpha = g_DrawState.alpha;
  DrawLinesTransformed(text, sep, w, x, y, xscale, yscale, angle,
                       [&](const CFont& f, double lx, double ly, std::string_view line) {
                         f.Draw_String_Transformed(lx, ly, line, xscale, yscale, angle, color, alpha);
                       });
}

void Text_DrawTransformedColor(std::string_view text, int32_t sep, int32_t w, double x, double y, double xscale,
                               double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                               double alpha) {
  DrawLinesTransformed(text, sep, w, x, y, xscale, yscale, angle,
                       [&](const CFont& f, double lx, double ly, std::string_view line) {
                         f.Draw_String_Transformed_Color(lx, ly, line, xscale, yscale, angle, c1, c2, c3, c4, alpha);
                       });
}

}  // namespace tavrin
