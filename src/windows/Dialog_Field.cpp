#include "windows/Dialog_Field.h"

namespace tavrin {

namespace {
constexpr int kBackspace = 8, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39, kDelete = 46, kKeyA = 65;
bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

void CTextField::SetText(std::string text) {
  m_text = std::move(text);
  m_caret = m_anchor = m_text.size();
}

void CTextField::SelectAll() {
  m_anchor = 0;
  m_caret = m_text.size();
}

size_t CTextField::Previous(size_t at) const {
  if (at == 0) return 0;
  --at;
  while (at > 0 && Continuation(m_text[at])) --at;
  return at;
}

size_t CTextField::Next(size_t at) const {
  if (at >= m_text.size()) return m_text.size();
  ++at;
  while (at < m_text.size() && Continuation(m_text[at])) ++at;
  return at;
}

void CTextField::RemoveSelection() {
  const size_t from = SelectionStart(), to = SelectionEnd();
  m_text.erase(from, to - from);
  m_caret = m_anchor = from;
}

bool CTextField::KeyDown(int key, bool shift, bool ctrl) {
  const bool selected = m_caret != m_anchor;
  auto move = [&](size_t to) {
    m_caret = to;
    if (!shift) m_anchor = to;
  };
  switch (key) {
    case kLeft:
      // Without Shift, a selection collapses to its near end.
      move(selected && !shift ? SelectionStart() : Previous(m_caret));
      return true;
    case kRight: move(selected && !shift ? SelectionEnd() : Next(m_caret)); return true;
    case kHome: move(0); return true;
    case kEnd: move(m_text.size()); return true;
    case kBackspace:
      if (!selected) m_anchor = Previous(m_caret);
      RemoveSelection();
      return true;
    case kDelete:
      if (!selected) m_anchor = Next(m_caret);
      RemoveSelection();
      return true;
    case kKeyA:
      if (!ctrl) return false;
      SelectAll();
      return true;
    default: return false;
  }
}

void CTextField::Type(std::string_view utf8) {
  std::string typed;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) typed += c;
  if (typed.empty()) return;
  RemoveSelection();
  m_text.insert(m_caret, typed);
  m_caret = m_anchor = m_caret + typed.size();
}

}  // namespace tavrin
