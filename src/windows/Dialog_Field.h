// A one-line text field as the runner's dialogs use it: its text, the caret
// and the selection, and the editing keys. Positions are byte offsets into
// the UTF-8 text, always at the start of a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin {

class CTextField {
 public:
  // The caret goes to the end; nothing is selected.
  void SetText(std::string text);
  const std::string& Text() const { return m_text; }
  void SelectAll();

  // Editing keys (games' key codes): Left, Right, Home and End move the
  // caret (with Shift they stretch the selection), Backspace and Delete
  // remove the selection or one character, Ctrl+A selects everything. True
  // when the key was one of them.
  bool KeyDown(int key, bool shift, bool ctrl);
  // Typed characters replace the selection; control characters are not
  // typed.
  void Type(std::string_view utf8);

  size_t Caret() const { return m_caret; }
  size_t SelectionStart() const { return m_caret < m_anchor ? m_caret : m_anchor; }
  size_t SelectionEnd() const { return m_caret < m_anchor ? m_anchor : m_caret; }

 private:
  size_t Previous(size_t at) const;
  size_t Next(size_t at) const;
  void RemoveSelection();

  std::string m_text;
  size_t m_caret = 0;
  size_t m_anchor = 0;  // the other end of the selection (the caret itself: none)
};

}  // namespace tavrin
