#include "windows/Message_Dialog.h"

#include <algorithm>
#include <charconv>

#include "graphics/Bitmap_Effects.h"
#include "graphics/Font_CodePage.h"
#include "windows/Dialog_Text.h"

namespace tavrin {

namespace {

constexpr int kEnter = 13, kEscape = 27;

char32_t Upper(char32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// A button's shortcut: the character after an "&", the last such "&" that
// has a character after it.
char32_t ShortcutOf(const std::string& text) {
  std::u32string chars;
  for (size_t i = 0; i < text.size();) chars += char32_t(Text_NextCodePoint(text, i));
  char32_t key = 0;
  for (size_t i = 0; i + 1 < chars.size(); ++i)
    if (chars[i] == U'&') key = chars[i + 1];
  return key;
}

int Pixels(int points) { return std::max(1, (points * 96 + 36) / 72); }

}  // namespace

RMessageSkin& Message_Skin() {
  static RMessageSkin skin;
  return skin;
}

TBitmap32 Message_DefaultButton(int state) {
  static constexpr TColor32 kFace[] = {0xFF5A5F66u, 0xFF6E7781u, 0xFF3C4046u};
  TBitmap32 bm(80, 25, kFace[std::clamp(state, 0, 2)]);
  if (state == 2)
    Paint_Frame(bm, {0, 0, 80, 25}, 0xFF24272Bu, 0xFF9AA3ADu);
  else
    Paint_Frame(bm, {0, 0, 80, 25}, 0xFFB4BCC4u, 0xFF2A2D31u);
  return bm;
}

CMessageDialog::CMessageDialog(const RMessageSkin& skin, std::string text, const std::array<std::string, 3>& buttons,
                               bool input, std::string inputText)
    : m_skin(skin), m_text(std::move(text)), m_buttons(buttons), m_input(input) {
  for (size_t i = 0; i < 3; ++i) m_shortkey[i] = ShortcutOf(m_buttons[i]);
  m_field.SetText(std::move(inputText));
  m_field.SelectAll();
}

int CMessageDialog::FirstVisible() const {
  for (int n = 1; n <= 3; ++n)
    if (ButtonVisible(n)) return n;
  return 0;
}

void CMessageDialog::Choose(int n) {
  m_result = n;
  m_done = true;
}

// Only shown buttons answer to their shortcuts: a button hidden in this
// show keeps no key from the texts it had before.
bool CMessageDialog::ChooseByShortcut(char32_t c) {
  for (int n = 1; n <= 3; ++n)
    if (ButtonVisible(n) && m_shortkey[size_t(n - 1)] != 0 && Upper(m_shortkey[size_t(n - 1)]) == Upper(c)) {
      Choose(n);
      return true;
    }
  return false;
}

void CMessageDialog::Event(const RPlatformEvent& e) {
  if (m_done) return;
  m_keys.Track(e);
  switch (e.type) {
    case RPlatformEvent::KeyDown:
      if (e.key == kEscape) return Choose(0);
      if (e.key == kEnter) {
        if (const int n = FirstVisible()) Choose(n);
        return;
      }
      // Ctrl with a button's shortcut chooses it, also while text is typed.
      if (m_keys.ctrl && e.key != 0 && ChooseByShortcut(char32_t(e.key))) return;
      if (m_input) m_field.KeyDown(e.key, m_keys.shift, m_keys.ctrl);
      return;
    case RPlatformEvent::Text:
      if (m_keys.ctrl) return;
      if (m_input) return m_field.Type(e.text);
      for (size_t i = 0; i < e.text.size() && !m_done;) {
        const char32_t c = char32_t(Text_NextCodePoint(e.text, i));
        // A blank is Enter while no text is typed; without buttons it is
        // just a character.
        if (c == U' ' && FirstVisible()) Choose(FirstVisible());
        else ChooseByShortcut(c);
      }
      return;
    case RPlatformEvent::MouseMove:
    case RPlatformEvent::MouseDown:
    case RPlatformEvent::MouseUp: {
      m_inside = 0;
      for (int n = 1; n <= 3; ++n)
        if (ButtonVisible(n) && ButtonRect(n).Contains(e.x, e.y)) m_inside = n;
      if (e.type == RPlatformEvent::MouseDown && e.button == 1) m_down = m_inside;
      if (e.type == RPlatformEvent::MouseUp && e.button == 1) {
        const int pressed = m_down;
        m_down = 0;
        if (pressed != 0 && pressed == m_inside) Choose(pressed);
      }
      return;
    }
    case RPlatformEvent::WindowClose: return Choose(0);
    default: return;
  }
}

std::string CMessageDialog::Description() const {
  std::string text;
  for (char c : m_text) text += (c == '\r' || c == '\n') ? ' ' : c;
  if (text.size() > 60) text = text.substr(0, 57) + "...";
  return std::string(m_input ? "the input dialog" : "the message dialog") + " \"" + text + "\"";
}

// The button chosen as its text reads (without its "&" marks), "escape",
// and for input dialogs the text in the field.
RModalRecord CMessageDialog::Record() const {
  RModalRecord r;
  r.kind = m_input ? "input dialog" : "message dialog";
  if (m_skin.caption) r.caption = m_skin.captionText;
  r.text = m_text;
  for (const std::string& b : m_buttons)
    if (!b.empty()) r.buttons.push_back(b);
  if (!m_done) r.answer = "none";
  else if (m_result == 0) r.answer = "escape";
  else r.answer = Dialog_Unmarked(m_buttons[size_t(m_result - 1)]);
  if (m_input) r.answer += ", text: " + m_field.Text();
  return r;
}

std::string CMessageDialog::Answer(const std::string* answer) {
  if (!answer) {
    if (const int n = FirstVisible()) {
      Choose(n);
      return {};
    }
    return "it has no default button (answer \"escape\" to close it)";
  }
  const std::string line = Dialog_Trimmed(*answer);
  std::string lower;
  for (char c : line) lower += char(std::tolower(static_cast<unsigned char>(c)));
  std::string buttons;
  for (int n = 1; n <= 3; ++n)
    if (ButtonVisible(n)) buttons += (buttons.empty() ? "" : ", ") + Dialog_Spoken(m_buttons[size_t(n - 1)]);
  const std::string choices = (buttons.empty() ? "it has no buttons" : "its buttons are " + buttons) +
                              (m_input ? "; typed text is given as text:..." : "");

  if (lower.rfind("text:", 0) == 0) {
    if (!m_input) return "it has no text field; " + choices;
    std::string typed = answer->substr(answer->find(':') + 1);
    if (!typed.empty() && typed[0] == ' ') typed.erase(0, 1);
    m_field.SetText(std::move(typed));
    Choose(FirstVisible());
    return {};
  }
  if (lower == "escape") {
    Choose(0);
    return {};
  }
  if (lower == "default") {
    if (!FirstVisible()) return "it has no default button";
    Choose(FirstVisible());
    return {};
  }
  if (lower.rfind("button ", 0) == 0) {
    const std::string number = Dialog_Trimmed(std::string_view(lower).substr(7));
    int n = 0;
    const auto [at, error] = std::from_chars(number.data(), number.data() + number.size(), n);
    if (error == std::errc() && at == number.data() + number.size() && n >= 1 && n <= 3 && ButtonVisible(n)) {
      Choose(n);
      return {};
    }
    return choices;
  }
  for (int n = 1; n <= 3; ++n)
    if (ButtonVisible(n) && Dialog_Spoken(m_buttons[size_t(n - 1)]) == lower) {
      Choose(n);
      return {};
    }
  // A number typed into the field.
  if (m_input && !line.empty()) {
    double value = 0;
    const auto [at, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error == std::errc() && at == line.data() + line.size()) {
      m_field.SetText(line);
      Choose(FirstVisible());
      return {};
    }
  }
  return choices;
}

RPaintFont CMessageDialog::Font(const RMessageFont& f, int32_t color) const {
  RPaintFont font;
  font.family = f.name;
  font.pixels = Pixels(f.points);
  font.color = Color_ToPixel(color) & 0xFFFFFFu;
  return font;
}

void CMessageDialog::Layout() {
  if (m_laidOut) return;
  m_laidOut = true;
  const RMessageSkin& s = m_skin;
  const TBitmap32& image = s.buttons[0];
  // A skin picture without pixels leaves the built-in one in its place.
  if (image.s_w > 0 && image.s_h > 0) {
    m_buttonW = image.s_w;
    m_buttonH = image.s_h;
  }
  m_width = s.width >= 1 ? s.width : s.background.s_w > 0 && s.background.s_h > 0 ? s.background.s_w : 320;
  const RPaintFont text = Font(s.text, s.text.color);
  m_lines = Paint_WrapText(m_text, std::max(m_width - 48, 0), text);
  const int labelH = int(std::max<size_t>(m_lines.size(), 1)) * Paint_LineHeight(text);
  m_fieldH = Paint_LineHeight(Font(s.input, s.input.color)) + 8;
  m_height = s.height >= 1 ? s.height : labelH + m_buttonH + 48 + (m_input ? m_fieldH + 16 : 0);
}

int CMessageDialog::Width() {
  Layout();
  return m_width;
}
int CMessageDialog::Height() {
  Layout();
  return m_height;
}

RPaintRect CMessageDialog::ButtonRect(int n) {
  Layout();
  const int top = m_height - m_buttonH - 16;
  const int left = n == 1 ? 24 : n == 2 ? (m_width - m_buttonW) / 2 : m_width - m_buttonW - 24;
  return {left, top, m_buttonW, m_buttonH};
}

RPaintRect CMessageDialog::FieldRect() {
  Layout();
  return {24, ButtonRect(1).y - m_fieldH - 16, std::max(m_width - 48, 0), m_fieldH};
}

TBitmap32 CMessageDialog::Paint() {
  Layout();
  const RMessageSkin& s = m_skin;
  TBitmap32 bm(m_width, m_height, 0xFF000000u);
  if (s.background.s_w > 0 && s.background.s_h > 0) {
    Paint_Picture(bm, {0, 0, m_width, m_height}, s.background, false);
  } else {
    Paint_Fill(bm, {0, 0, m_width, m_height}, 0xFF474B51u);
    Paint_Frame(bm, {0, 0, m_width, m_height}, 0xFFC8CED4u, 0xFF1E2023u);
    Paint_Frame(bm, {1, 1, m_width - 2, m_height - 2}, 0xFF80878Fu, 0xFF30333Au);
  }
  const RPaintFont text = Font(s.text, s.text.color);
  const int lineH = Paint_LineHeight(text);
  for (size_t i = 0; i < m_lines.size(); ++i) Paint_Text(bm, 24, 16 + int(i) * lineH, m_width - 24, m_lines[i], text);

  if (m_input) {
    const RPaintRect r = FieldRect();
    Paint_Field(bm, r, m_field, Font(s.input, s.input.color), Color_ToPixel(s.inputColor), true);
  }

  for (int n = 1; n <= 3; ++n) {
    if (!ButtonVisible(n)) continue;
    const RPaintRect r = ButtonRect(n);
    const int state = m_down == n && m_inside == n ? 2 : m_inside == n ? 1 : 0;
    const TBitmap32& image = s.buttons[size_t(state)];
    if (image.s_w > 0 && image.s_h > 0)
      Paint_Picture(bm, r, image, s.buttonsMasked);
    else
      Paint_Picture(bm, r, Message_DefaultButton(state), false);
    Paint_Label(bm, r, m_buttons[size_t(n - 1)], Font(s.button, m_inside == n ? s.mouseColor : s.button.color));
  }
  return bm;
}

}  // namespace tavrin
