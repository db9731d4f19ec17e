// The pop-up menu of show_menu and show_menu_pos as a model: the item text
// in ("|" between entries, "-" alone a separator line), keys, typed
// letters and clicks in, the chosen item out (-1 when the menu was dismissed).
// It paints itself; Modal_Run shows it (or answers it in headless runs).
#pragma once

#include <string>
#include <vector>

#include "package/BM32_Bitmap.h"
#include "platform/Platform.h"
#include "windows/Dialog_Paint.h"
#include "windows/Modal_Window.h"

namespace tavrin {

struct RMenuEntry {
  std::string text;        // as given, "&" marks included
  bool separator = false;  // a line between items; it takes no number
  int number = -1;         // items are numbered 0, 1, 2, ... without separators
};

// The entries of an item text: the text between one "|" and the next; a
// trailing "|" adds nothing and an empty text gives no entries, while two
// "|" in a row give an empty item.
std::vector<RMenuEntry> Menu_Parse(const std::string& items);

class CPopupMenu final : public IModalWindow {
 public:
  explicit CPopupMenu(const std::string& items);

  void Event(const RPlatformEvent& e) override;
  bool Done() const override { return m_done; }
  int Chosen() const { return m_chosen; }
  int Highlighted() const { return m_highlight < 0 ? -1 : m_entries[size_t(m_highlight)].number; }
  const std::vector<RMenuEntry>& Entries() const { return m_entries; }

  // An answer of the answers file ("" when it fits, else why not); no
  // answer dismisses the menu, as a click beside it would.
  std::string Answer(const std::string* answer) override;
  std::string Description() const override;
  // The items as buttons; the answer is the chosen item's text, or
  // "escape" when the menu was dismissed.
  RModalRecord Record() const override;

  int Width() override { return m_width; }
  int Height() override { return m_height; }
  RPaintRect EntryRect(size_t index) const;
  TBitmap32 Paint() override;

 private:
  void Move(int step, int from);
  void Choose(int entryIndex);
  void Letter(char32_t c);

  std::vector<RMenuEntry> m_entries;
  RPaintFont m_font;
  int m_highlight = -1;  // an entry index, never a separator
  bool m_done = false;
  int m_chosen = -1;
  int m_width = 0, m_height = 0, m_itemH = 0;
  bool m_pressed = false;
};

// Shows the menu with its top-left corner at (x, y) on the screen and waits
// for the player; headless runs answer it from the answers file.
void Menu_RunModal(CPopupMenu& menu, int x, int y);

}  // namespace tavrin
