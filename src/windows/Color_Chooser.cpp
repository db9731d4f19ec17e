#include "windows/Color_Chooser.h"

#include <algorithm>
#include <charconv>

#include "windows/Dialog_Text.h"

namespace tavrin {

namespace {

constexpr int kTab = 9, kEnter = 13, kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// The palette, as 0xRRGGBB: pale, full, medium, dark and deep tints of
// eight hues, and a row of greys from black to white.
constexpr uint32_t kBasicColors[CColorChooser::kColumns * CColorChooser::kRows] = {
    0xFF8080, 0xFFC080, 0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF, 0xC080FF, 0xFF80FF,
    0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0x8000FF, 0xFF00FF,
    0xC00000, 0xC06000, 0xC0C000, 0x00C000, 0x00C0C0, 0x0000C0, 0x6000C0, 0xC000C0,
    0x800000, 0x804000, 0x808000, 0x008000, 0x008080, 0x000080, 0x400080, 0x800080,
    0x400000, 0x402000, 0x404000, 0x004000, 0x004040, 0x000040, 0x200040, 0x400040,
    0x000000, 0x242424, 0x494949, 0x6D6D6D, 0x929292, 0xB6B6B6, 0xDBDBDB, 0xFFFFFF,
};
constexpr int kCells = CColorChooser::kColumns * CColorChooser::kRows;
constexpr const char* kPartNames[3] = {"Red:", "Green:", "Blue:"};

// Games write colours as 0xBBGGRR.
uint32_t Part(uint32_t color, int part) { return (color >> (8 * part)) & 0xFF; }
uint32_t FromRGB(uint32_t rgb) { return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16); }
TColor32 ToPixel(uint32_t color) { return 0xFF000000u | Part(color, 0) << 16 | Part(color, 1) << 8 | Part(color, 2); }

// Whole numbers 0 to 255 written in decimal.
bool ParseByte(std::string_view s, uint32_t& out) {
  unsigned v = 0;
  const auto [at, error] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (error != std::errc() || at != s.data() + s.size() || v > 255) return false;
  out = v;
  return true;
}

// "R, G, B" (commas or blanks between) or "#RRGGBB".
bool ParseColor(const std::string& text, uint32_t& color) {
  if (!text.empty() && text[0] == '#') {
    unsigned rgb = 0;
    const auto [at, error] = std::from_chars(text.data() + 1, text.data() + text.size(), rgb, 16);
    if (text.size() != 7 || error != std::errc() || at != text.data() + text.size()) return false;
    color = FromRGB(rgb);
    return true;
  }
  uint32_t parts[3] = {};
  int n = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t end = std::min(text.find_first_of(", ", i), text.size());
    if (end > i) {
      if (n == 3 || !ParseByte(std::string_view(text).substr(i, end - i), parts[n])) return false;
      ++n;
    }
    i = end + 1;
  }
  if (n != 3) return false;
  color = parts[0] | parts[1] << 8 | parts[2] << 16;
  return true;
}

}  // namespace

CColorChooser::CColorChooser(int32_t start) { SetColor(uint32_t(start) & 0xFFFFFFu); }

uint32_t CColorChooser::PaletteColor(int cell) { return FromRGB(kBasicColors[std::clamp(cell, 0, kCells - 1)]); }

void CColorChooser::SetColor(uint32_t color) {
  m_color = color;
  for (int part = 0; part < 3; ++part) m_fields[size_t(part)].SetText(std::to_string(Part(color, part)));
  m_cell = -1;
  for (int cell = 0; cell < kCells && m_cell < 0; ++cell)
    if (PaletteColor(cell) == color) m_cell = cell;
}

void CColorChooser::FieldEdited(int part) {
  CTextField& field = m_fields[size_t(part)];
  uint32_t value = 0;
  if (!field.Text().empty() && !ParseByte(field.Text(), value)) {
    value = 255;  // more digits than a part can hold
    field.SetText("255");
  }
  m_color = (m_color & ~(0xFFu << (8 * part))) | value << (8 * part);
  m_cell = -1;
  for (int cell = 0; cell < kCells && m_cell < 0; ++cell)
    if (PaletteColor(cell) == m_color) m_cell = cell;
}

void CColorChooser::Finish(bool cancelled) {
  m_done = true;
  m_cancelled = cancelled;
}

void CColorChooser::Press(int focus) {
  if (focus == kOk) Finish(false);
  if (focus == kCancel) Finish(true);
}

void CColorChooser::Event(const RPlatformEvent& e) {
  if (m_done) return;
  m_keys.Track(e);
  const bool inField = m_focus >= kRed && m_focus <= kBlue;
  switch (e.type) {
    case RPlatformEvent::KeyDown: {
      if (e.key == kEscape) return Finish(true);
      if (e.key == kEnter) return Finish(m_focus == kCancel);
      if (e.key == kTab) {
        m_focus = (m_focus + (m_keys.shift ? kFocusCount - 1 : 1)) % kFocusCount;
        if (m_focus >= kRed && m_focus <= kBlue) m_fields[size_t(m_focus - kRed)].SelectAll();
        return;
      }
      if (e.key == kSpace && m_focus >= kOk) return Press(m_focus);
      if (m_focus == kPalette) {
        const int step = e.key == kLeft ? -1 : e.key == kRight ? 1 : e.key == kUp ? -kColumns : e.key == kDown ? kColumns : 0;
        if (step != 0) SetColor(PaletteColor(m_cell < 0 ? 0 : std::clamp(m_cell + step, 0, kCells - 1)));
        return;
      }
      if (inField) {
        const int part = m_focus - kRed;
        if (e.key == kUp || e.key == kDown) {
          const int v = std::clamp(int(Part(m_color, part)) + (e.key == kUp ? 1 : -1), 0, 255);
          m_fields[size_t(part)].SetText(std::to_string(v));
        } else if (!m_fields[size_t(part)].KeyDown(e.key, m_keys.shift, m_keys.ctrl)) {
          return;
        }
        FieldEdited(part);
      }
      return;
    }
    case RPlatformEvent::Text: {
      if (!inField || m_keys.ctrl) return;
      std::string digits;
      for (char c : e.text)
        if (c >= '0' && c <= '9') digits += c;
      m_fields[size_t(m_focus - kRed)].Type(digits);
      return FieldEdited(m_focus - kRed);
    }
    case RPlatformEvent::MouseMove:
    case RPlatformEvent::MouseDown:
    case RPlatformEvent::MouseUp: {
      m_inside = ButtonRect(false).Contains(e.x, e.y) ? kOk : ButtonRect(true).Contains(e.x, e.y) ? kCancel : -1;
      if (e.button != 1) return;
      if (e.type == RPlatformEvent::MouseDown) {
        m_down = m_inside;
        for (int cell = 0; cell < kCells; ++cell)
          if (CellRect(cell).Contains(e.x, e.y)) {
            m_focus = kPalette;
            SetColor(PaletteColor(cell));
          }
        for (int part = 0; part < 3; ++part)
          if (FieldRect(part).Contains(e.x, e.y)) m_focus = kRed + part;
      }
      if (e.type == RPlatformEvent::MouseUp) {
        const int pressed = m_down;
        m_down = -1;
        if (pressed >= 0 && pressed == m_inside) Press(pressed);
      }
      return;
    }
    case RPlatformEvent::WindowClose: return Finish(true);
    default: return;
  }
}

std::string CColorChooser::Answer(const std::string* answer) {
  if (!answer) {
    Finish(false);
    return {};
  }
  const std::string line = Dialog_Trimmed(*answer);
  std::string lower;
  for (char c : line) lower += char(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "ok" || lower == "default") {
    Finish(false);
    return {};
  }
  if (lower == "cancel" || lower == "escape") {
    Finish(true);
    return {};
  }
  for (const char* word : {"color:", "colour:"}) {
    const size_t n = std::char_traits<char>::length(word);
    uint32_t color = 0;
    if (lower.compare(0, n, word) == 0 && ParseColor(Dialog_Trimmed(std::string_view(lower).substr(n)), color)) {
      SetColor(color);
      Finish(false);
      return {};
    }
  }
  return "it takes ok, cancel, or a colour as color: R, G, B (each 0 to 255) or color: #RRGGBB";
}

RModalRecord CColorChooser::Record() const {
  RModalRecord r;
  r.kind = "colour chooser";
  r.caption = kColorCaption;
  r.buttons = {"OK", "Cancel"};
  if (!m_done) r.answer = "none";
  else if (m_cancelled) r.answer = "Cancel";
  else
    r.answer = "OK, color: " + std::to_string(Part(m_color, 0)) + ", " + std::to_string(Part(m_color, 1)) + ", " +
               std::to_string(Part(m_color, 2));
  return r;
}

RPaintRect CColorChooser::CellRect(int cell) {
  return {10 + (cell % kColumns) * 37, 26 + (cell / kColumns) * 23, 33, 19};
}
RPaintRect CColorChooser::FieldRect(int part) { return {180, 172 + part * 28, 60, 22}; }
RPaintRect CColorChooser::ButtonRect(bool cancel) { return {cancel ? 235 : 150, 264, 75, 25}; }

TBitmap32 CColorChooser::Paint() {
  TBitmap32 bm(kWidth, kHeight, 0xFFF0F0F0u);
  const RPaintFont font{"Arial", 12, 0x000000};
  Paint_Text(bm, 10, 6, kWidth - 10, "Basic colours:", font);
  for (int cell = 0; cell < kCells; ++cell) {
    const RPaintRect r = CellRect(cell);
    Paint_Fill(bm, r, ToPixel(PaletteColor(cell)));
    Paint_Frame(bm, r, 0xFF707070u, 0xFFFFFFFFu);
  }
  // The chosen cell is ringed, in black while the palette has the keyboard.
  if (m_cell >= 0) {
    const RPaintRect r = CellRect(m_cell);
    const TColor32 ring = m_focus == kPalette ? 0xFF000000u : 0xFF808080u;
    Paint_Frame(bm, {r.x - 2, r.y - 2, r.w + 4, r.h + 4}, ring, ring);
    Paint_Frame(bm, {r.x - 3, r.y - 3, r.w + 6, r.h + 6}, ring, ring);
  }
  const RPaintRect preview{10, 172, 110, 78};
  Paint_Fill(bm, preview, ToPixel(m_color));
  Paint_Frame(bm, preview, 0xFF707070u, 0xFFFFFFFFu);
  for (int part = 0; part < 3; ++part) {
    const RPaintRect r = FieldRect(part);
    Paint_Text(bm, 134, r.y + (r.h - Paint_LineHeight(font)) / 2, r.x - 4, kPartNames[part], font);
    Paint_Field(bm, r, m_fields[size_t(part)], font, 0xFFFFFFFFu, m_focus == kRed + part);
  }
  for (const bool cancel : {false, true}) {
    const int id = cancel ? kCancel : kOk;
    Paint_Button(bm, ButtonRect(cancel), cancel ? "Cancel" : "OK",
                 {m_inside == id, m_down == id && m_inside == id, !cancel, m_focus == id});
  }
  return bm;
}

}  // namespace tavrin
