#include "windows/Menu_Popup.h"

#include <algorithm>
#include <charconv>

#include "graphics/Font_CodePage.h"
#include "windows/Dialog_Text.h"
#include "windows/Dialog_Modal.h"

namespace tavrin {

namespace {

constexpr int kEnter = 13, kEscape = 27, kEnd = 35, kHome = 36, kUp = 38, kDown = 40;
constexpr int kPad = 12, kSeparatorH = 7;

char32_t Upper(char32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// The letter that picks an item: the character after its last "&" that has
// one, else its first character.
char32_t Accelerator(const std::string& text) {
  std::u32string chars;
  for (size_t i = 0; i < text.size();) chars += char32_t(Text_NextCodePoint(text, i));
  for (size_t i = chars.size(); i-- > 1;)
    if (chars[i - 1] == U'&') return Upper(chars[i]);
  return chars.empty() ? 0 : Upper(chars[0] == U'&' && chars.size() > 1 ? chars[1] : chars[0]);
}

}  // namespace

std::vector<RMenuEntry> Menu_Parse(const std::string& items) {
  std::vector<RMenuEntry> entries;
  int number = 0;
  for (size_t start = 0; start < items.size();) {
    size_t end = items.find('|', start);
    if (end == std::string::npos) end = items.size();
    RMenuEntry e;
    e.text = items.substr(start, end - start);
    e.separator = e.text == "-";
    if (!e.separator) e.number = number++;
    entries.push_back(std::move(e));
    start = end + 1;
  }
  return entries;
}

CPopupMenu::CPopupMenu(const std::string& items) : m_entries(Menu_Parse(items)) {
  m_font.color = 0x000000;
  m_itemH = Paint_LineHeight(m_font) + 6;
  int textW = 40;
  for (RMenuEntry& e : m_entries) {
    if (e.separator) {
      m_height += kSeparatorH;
      continue;
    }
    m_height += m_itemH;
    textW = std::max(textW, Paint_TextWidth(Dialog_Spoken(e.text), m_font) + 8);
  }
  m_width = textW + 2 * kPad;
  m_height += 4;
}

RPaintRect CPopupMenu::EntryRect(size_t index) const {
  int y = 2;
  for (size_t i = 0; i < index && i < m_entries.size(); ++i) y += m_entries[i].separator ? kSeparatorH : m_itemH;
  const int h = index < m_entries.size() && m_entries[index].separator ? kSeparatorH : m_itemH;
  return {2, y, m_width - 4, h};
}

// The next item in the direction of `step` from `from`, round the ends,
// separators passed over.
void CPopupMenu::Move(int step, int from) {
  const int n = int(m_entries.size());
  for (int k = 1; k <= n; ++k) {
    const int i = ((from + step * k) % n + n) % n;
    if (!m_entries[size_t(i)].separator) {
      m_highlight = i;
      return;
    }
  }
}

void CPopupMenu::Choose(int entryIndex) {
  m_chosen = entryIndex < 0 ? -1 : m_entries[size_t(entryIndex)].number;
  m_done = true;
}

// A letter goes to the next item it picks; when it picks only one item,
// that item is chosen at once.
void CPopupMenu::Letter(char32_t c) {
  c = Upper(c);
  std::vector<int> matches;
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (!m_entries[i].separator && Accelerator(m_entries[i].text) == c) matches.push_back(int(i));
  if (matches.empty()) return;
  if (matches.size() == 1) return Choose(matches[0]);
  const auto next = std::upper_bound(matches.begin(), matches.end(), m_highlight);
  m_highlight = next == matches.end() ? matches[0] : *next;
}

void CPopupMenu::Event(const RPlatformEvent& e) {
  if (m_done) return;
  const int n = int(m_entries.size());
  switch (e.type) {
    case RPlatformEvent::KeyDown:
      if (e.key == kEscape) return Choose(-1);
      if (n == 0) return;
      if (e.key == kDown) return Move(1, m_highlight < 0 ? -1 : m_highlight);
      if (e.key == kUp) return Move(-1, m_highlight < 0 ? n : m_highlight);
      if (e.key == kHome) return Move(1, -1);
      if (e.key == kEnd) return Move(-1, n);
      if (e.key == kEnter && m_highlight >= 0) return Choose(m_highlight);
      return;
    case RPlatformEvent::Text:
      for (size_t i = 0; i < e.text.size() && !m_done;) Letter(char32_t(Text_NextCodePoint(e.text, i)));
      return;
    case RPlatformEvent::MouseMove:
    case RPlatformEvent::MouseDown:
    case RPlatformEvent::MouseUp: {
      int over = -1;
      for (size_t i = 0; i < m_entries.size(); ++i)
        if (!m_entries[i].separator && EntryRect(i).Contains(e.x, e.y)) over = int(i);
      if (over >= 0) m_highlight = over;
      const bool outside = !RPaintRect{0, 0, m_width, m_height}.Contains(e.x, e.y);
      // A press beside the menu dismisses it; a release on an item chooses
      // it (a separator and the frame choose nothing).
      if (e.type == RPlatformEvent::MouseDown && outside) return Choose(-1);
      if (e.type == RPlatformEvent::MouseDown) m_pressed = true;
      if (e.type == RPlatformEvent::MouseUp && m_pressed && over >= 0) return Choose(over);
      return;
    }
    case RPlatformEvent::WindowClose:
    case RPlatformEvent::FocusLost: return Choose(-1);
    default: return;
  }
}

std::string CPopupMenu::Description() const {
  std::string items;
  for (const RMenuEntry& e : m_entries)
    if (!e.separator) items += (items.empty() ? "" : ", ") + Dialog_Spoken(e.text);
  if (items.size() > 60) items = items.substr(0, 57) + "...";
  return "the menu \"" + items + "\"";
}

RModalRecord CPopupMenu::Record() const {
  RModalRecord r;
  r.kind = "menu";
  for (const RMenuEntry& e : m_entries) r.buttons.push_back(e.text);
  if (!m_done) r.answer = "none";
  else if (m_chosen < 0) r.answer = "escape";
  else
    for (const RMenuEntry& e : m_entries)
      if (e.number == m_chosen) r.answer = Dialog_Unmarked(e.text);
  return r;
}

std::string CPopupMenu::Answer(const std::string* answer) {
  if (!answer) {
    Choose(-1);
    return {};
  }
  const std::string line = Dialog_Trimmed(*answer);
  std::string lower;
  for (char c : line) lower += char(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "escape" || lower == "default") {
    Choose(-1);
    return {};
  }
  int count = 0;
  for (const RMenuEntry& e : m_entries) count += e.separator ? 0 : 1;
  const std::string why = count == 0 ? "it has no items (answer escape)"
                                     : "its items are 0 to " + std::to_string(count - 1) + ": " +
                                           Description().substr(9);
  if (lower.rfind("item ", 0) == 0) {
    const std::string number = Dialog_Trimmed(std::string_view(lower).substr(5));
    int k = -1;
    const auto [at, error] = std::from_chars(number.data(), number.data() + number.size(), k);
    if (error != std::errc() || at != number.data() + number.size() || k < 0 || k >= count) return why;
    for (size_t i = 0; i < m_entries.size(); ++i)
      if (m_entries[i].number == k) Choose(int(i));
    return {};
  }
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (!m_entries[i].separator && Dialog_Spoken(m_entries[i].text) == lower) {
      Choose(int(i));
      return {};
    }
  return why;
}

TBitmap32 CPopupMenu::Paint() {
  TBitmap32 bm(std::max(m_width, 1), std::max(m_height, 1), 0xFFF0F0F0u);
  Paint_Frame(bm, {0, 0, m_width, m_height}, 0xFFFFFFFFu, 0xFF5A5F66u);
  for (size_t i = 0; i < m_entries.size(); ++i) {
    const RPaintRect r = EntryRect(i);
    if (m_entries[i].separator) {
      Paint_Frame(bm, {r.x + 4, r.y + 3, r.w - 8, 2}, 0xFFA0A0A0u, 0xFFFFFFFFu);
      continue;
    }
    RPaintFont font = m_font;
    if (int(i) == m_highlight) {
      Paint_Fill(bm, r, 0xFF3370CCu);
      font.color = 0xFFFFFF;
    }
    // Labels are centred by the painter; give it a box as wide as the text.
    Paint_Label(bm, {kPad, r.y, Paint_TextWidth(Dialog_Unmarked(m_entries[i].text), font), r.h}, m_entries[i].text,
                font);
  }
  return bm;
}

void Menu_RunModal(CPopupMenu& menu, int x, int y) {
  RModalLook look;
  look.border = false;
  look.left = x;
  look.top = y;
  Modal_Run(menu, look);
}

}  // namespace tavrin
