#include "windows/Dialog_Paint.h"

#include <algorithm>

#include "graphics/Bitmap_Transform.h"
#include "graphics/Font_System.h"

namespace tavrin {

void Paint_Fill(TBitmap32& bm, const RPaintRect& r, TColor32 color) {
  const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
  const int x1 = std::min(r.x + r.w, bm.s_w), y1 = std::min(r.y + r.h, bm.s_h);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) bm.s_data[size_t(y) * size_t(bm.s_w) + size_t(x)] = color;
}

void Paint_Frame(TBitmap32& bm, const RPaintRect& r, TColor32 light, TColor32 dark) {
  if (r.w <= 0 || r.h <= 0) return;
  Paint_Fill(bm, {r.x, r.y, r.w, 1}, light);
  Paint_Fill(bm, {r.x, r.y, 1, r.h}, light);
  Paint_Fill(bm, {r.x, r.y + r.h - 1, r.w, 1}, dark);
  Paint_Fill(bm, {r.x + r.w - 1, r.y, 1, r.h}, dark);
}

void Paint_Picture(TBitmap32& bm, const RPaintRect& r, const TBitmap32& picture, bool masked) {
  if (r.w <= 0 || r.h <= 0 || picture.s_w <= 0 || picture.s_h <= 0) return;
  TBitmap32 scaled = picture;
  if (scaled.s_w != r.w || scaled.s_h != r.h) {
    // Stretched by nearest pixels, which keeps the mask colour exact.
    scaled = TBitmap32(r.w, r.h);
    for (int y = 0; y < r.h; ++y)
      for (int x = 0; x < r.w; ++x)
        scaled.SetPixel(x, y, picture.GetPixel(int(int64_t(x) * picture.s_w / r.w), int(int64_t(y) * picture.s_h / r.h)));
  }
  const TColor32 key = picture.GetPixel(0, picture.s_h - 1) & 0xFFFFFFu;
  for (int y = 0; y < r.h; ++y)
    for (int x = 0; x < r.w; ++x) {
      const TColor32 c = scaled.GetPixel(x, y);
      if (masked && (c & 0xFFFFFFu) == key) continue;
      bm.SetPixel(r.x + x, r.y + y, c | 0xFF000000u);
    }
}

int Paint_TextWidth(std::string_view text, const RPaintFont& font) {
  return Font_SystemTextWidth(std::string(text), font.family, font.pixels);
}

int Paint_LineHeight(const RPaintFont& font) { return Font_SystemLineHeight(font.family, font.pixels); }

void Paint_Text(TBitmap32& bm, int x, int y, int clipRight, std::string_view text, const RPaintFont& font) {
  const int h = Paint_LineHeight(font);
  Font_DrawSystemText(bm, {x, y, std::max(clipRight - x, 0), h}, std::string(text), font.family, font.pixels,
                      font.color);
}

std::vector<std::string> Paint_WrapText(std::string_view text, int width, const RPaintFont& font) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    const std::string_view paragraph = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    // Words with the blanks that follow them, taken while they fit.
    std::string line;
    size_t i = 0;
    while (i < paragraph.size()) {
      size_t j = paragraph.find(' ', i);
      j = j == std::string_view::npos ? paragraph.size() : j + 1;
      const std::string_view word = paragraph.substr(i, j - i);
      std::string candidate = line + std::string(word);
      std::string trimmed = candidate;
      while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
      if (!line.empty() && Paint_TextWidth(trimmed, font) > width) {
        lines.push_back(line);
        line = std::string(word);
      } else {
        line = std::move(candidate);
      }
      i = j;
    }
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    // CR LF is one break.
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    if (start == text.size()) break;
  }
  return lines;
}

void Paint_Label(TBitmap32& bm, const RPaintRect& r, std::string_view text, const RPaintFont& font) {
  std::string shown;
  size_t underlined = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&') underlined = shown.size();
    }
    shown += text[i];
  }
  const int w = Paint_TextWidth(shown, font), h = Paint_LineHeight(font);
  const int x = r.x + (r.w - w) / 2;
  const int top = r.y + (r.h - h) / 2;
  Paint_Text(bm, x, top, r.x + r.w, shown, font);
  if (underlined != std::string::npos) {
    size_t next = underlined + 1;
    while (next < shown.size() && (static_cast<unsigned char>(shown[next]) & 0xC0) == 0x80) ++next;
    const int from = x + Paint_TextWidth(shown.substr(0, underlined), font);
    const int to = x + Paint_TextWidth(shown.substr(0, next), font);
    Paint_Fill(bm, {from, top + h - 2, to - from, 1}, 0xFF000000u | font.color);
  }
}

void Paint_Button(TBitmap32& bm, const RPaintRect& r, std::string_view label, const RButtonLook& look) {
  const RPaintFont font{"Arial", 12, 0x000000};
  Paint_Fill(bm, r, look.hover ? 0xFFE5F1FBu : 0xFFE1E1E1u);
  if (look.pressed)
    Paint_Frame(bm, r, 0xFF707070u, 0xFFFFFFFFu);
  else
    Paint_Frame(bm, r, 0xFFFFFFFFu, 0xFF707070u);
  if (look.isDefault) Paint_Frame(bm, {r.x - 1, r.y - 1, r.w + 2, r.h + 2}, 0xFF0078D7u, 0xFF0078D7u);
  if (look.focused) Paint_Frame(bm, {r.x + 3, r.y + 3, r.w - 6, r.h - 6}, 0xFF404040u, 0xFF404040u);
  Paint_Label(bm, look.pressed ? RPaintRect{r.x + 1, r.y + 1, r.w, r.h} : r, label, font);
}

void Paint_Hint(TBitmap32& bm, const RPaintRect& control, std::string_view hint) {
  const RPaintFont font{"Arial", 12, 0x000000};
  const int w = Paint_TextWidth(hint, font) + 8, h = Paint_LineHeight(font) + 4;
  const int x = std::clamp(control.x, 0, std::max(bm.s_w - w, 0));
  const int y = control.y - h - 2 >= 0 ? control.y - h - 2 : control.y + control.h + 2;
  Paint_Fill(bm, {x, y, w, h}, 0xFFFFFFE1u);
  Paint_Frame(bm, {x, y, w, h}, 0xFF767676u, 0xFF767676u);
  Paint_Text(bm, x + 4, y + 2, x + w - 2, hint, font);
}

void Paint_Field(TBitmap32& bm, const RPaintRect& r, const CTextField& field, const RPaintFont& font,
                 TColor32 background, bool focused) {
  Paint_Fill(bm, r, background);
  Paint_Frame(bm, r, 0xFF1E2023u, 0xFFC8CED4u);
  const std::string& t = field.Text();
  const int lineH = Paint_LineHeight(font);
  const int x = r.x + 4, y = r.y + (r.h - lineH) / 2;
  const int from = x + Paint_TextWidth(t.substr(0, field.SelectionStart()), font);
  const int to = x + Paint_TextWidth(t.substr(0, field.SelectionEnd()), font);
  if (focused && to > from) Paint_Fill(bm, {from, y, std::min(to, r.x + r.w - 2) - from, lineH}, 0xFF3370CCu);
  Paint_Text(bm, x, y, r.x + r.w - 2, t, font);
  if (focused) {
    const int caret = x + Paint_TextWidth(t.substr(0, field.Caret()), font);
    if (caret < r.x + r.w - 2) Paint_Fill(bm, {caret, y, 1, lineH}, 0xFF000000u | font.color);
  }
}

}  // namespace tavrin
