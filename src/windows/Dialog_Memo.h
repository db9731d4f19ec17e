// A read-only memo: lines of text word-wrapped to its width, a vertical
// scroll bar, scrolling by the arrow, page, Home and End keys and by the
// mouse wheel. The memo is a model: lines in, keys and wheel in, the first
// line shown out; it paints itself into a rectangle of a picture.
#pragma once

#include <string>
#include <vector>

#include "windows/Dialog_Paint.h"

namespace tavrin {

class CMemo {
 public:
  // `rect`: where the memo lies in its window, scroll bar and frame included.
  CMemo(const RPaintRect& rect, RPaintFont font);

  void Append(std::string line);
  void Clear();
  const std::vector<std::string>& Lines() const { return m_lines; }
  // Every line, each ended by a line break.
  std::string Text() const;

  // Scrolling counts the lines as shown, after wrapping.
  int ShownLines();          // all of them
  int PageLines();           // how many fit at once (at least 1)
  int Top();                 // the first one in view
  void ScrollTo(int line);   // kept within 0 .. ShownLines() - PageLines()
  void ScrollToEnd() { ScrollTo(ShownLines()); }
  // Up, Down, Page Up, Page Down, Home and End (games' key codes); true
  // when the key was one of them.
  bool KeyDown(int key);
  // Wheel notches: above 0 turned away from the player (toward the top).
  void Wheel(int notches);
  // A click at (x, y) in the window: on the scroll bar's track above its
  // thumb a page up, below it a page down, on the thumb the start of a drag.
  // True when it was on the bar.
  bool Click(int x, int y);
  // The mouse moved to height y with the button held: a dragged thumb
  // follows it, and the text with it.
  void Drag(int y);
  void Release() { m_dragOffset = -1; }

  const RPaintRect& Rect() const { return m_rect; }
  void Paint(TBitmap32& bm);

  static constexpr int kScrollBarW = 16;

 private:
  void Wrap();
  RPaintRect Track() const;
  RPaintRect Thumb();

  RPaintRect m_rect;
  RPaintFont m_font;
  std::vector<std::string> m_lines;
  std::vector<std::string> m_shown;  // the lines after wrapping
  bool m_wrapped = false;
  int m_top = 0;
  int m_dragOffset = -1;  // while the thumb is dragged: where it was taken, from its top
};

}  // namespace tavrin
