#include "windows/Dialog_Memo.h"

#include <algorithm>

namespace tavrin {

namespace {

constexpr int kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36, kUp = 38, kDown = 40;
constexpr int kPadding = 3;  // between the frame and the text
constexpr int kWheelLines = 3;

}  // namespace

CMemo::CMemo(const RPaintRect& rect, RPaintFont font) : m_rect(rect), m_font(std::move(font)) {}

void CMemo::Append(std::string line) {
  m_lines.push_back(std::move(line));
  m_wrapped = false;
}

void CMemo::Clear() {
  m_lines.clear();
  m_wrapped = false;
  m_top = 0;
}

std::string CMemo::Text() const {
  std::string text;
  for (const std::string& line : m_lines) text += line + "\n";
  return text;
}

// Lines wider than the memo are wrapped at blanks rather than cut off: the
// memo has no horizontal scroll bar, and an error's last words are often the
// ones that matter.
void CMemo::Wrap() {
  if (m_wrapped) return;
  m_wrapped = true;
  m_shown.clear();
  const int width = std::max(m_rect.w - kScrollBarW - 2 * kPadding - 2, 1);
  for (const std::string& line : m_lines) {
    std::vector<std::string> parts = Paint_WrapText(line, width, m_font);
    if (parts.empty()) parts.emplace_back();
    for (std::string& part : parts) m_shown.push_back(std::move(part));
  }
}

int CMemo::ShownLines() {
  Wrap();
  return int(m_shown.size());
}

int CMemo::PageLines() {
  return std::max((m_rect.h - 2 * kPadding - 2) / std::max(Paint_LineHeight(m_font), 1), 1);
}

int CMemo::Top() {
  ScrollTo(m_top);  // the lines may have changed since
  return m_top;
}

void CMemo::ScrollTo(int line) { m_top = std::clamp(line, 0, std::max(ShownLines() - PageLines(), 0)); }

bool CMemo::KeyDown(int key) {
  switch (key) {
    case kUp: ScrollTo(Top() - 1); return true;
    case kDown: ScrollTo(Top() + 1); return true;
    case kPageUp: ScrollTo(Top() - PageLines()); return true;
    case kPageDown: ScrollTo(Top() + PageLines()); return true;
    case kHome: ScrollTo(0); return true;
    case kEnd: ScrollToEnd(); return true;
    default: return false;
  }
}

void CMemo::Wheel(int notches) { ScrollTo(Top() - notches * kWheelLines); }

RPaintRect CMemo::Track() const {
  return {m_rect.x + m_rect.w - kScrollBarW - 1, m_rect.y + 1, kScrollBarW, std::max(m_rect.h - 2, 0)};
}

// A thumb as long as the share of the lines in view; none (0 high) while
// every line is in view.
RPaintRect CMemo::Thumb() {
  const RPaintRect track = Track();
  const int top = Top(), page = PageLines(), total = ShownLines();
  if (total <= page || track.h <= 0) return {track.x + 2, track.y, kScrollBarW - 4, 0};
  const int thumbH = std::max(track.h * page / total, 8);
  const int thumbY = track.y + int(int64_t(track.h - thumbH) * top / std::max(total - page, 1));
  return {track.x + 2, thumbY, kScrollBarW - 4, thumbH};
}

bool CMemo::Click(int x, int y) {
  if (!Track().Contains(x, y)) return false;
  const RPaintRect thumb = Thumb();
  if (thumb.h > 0 && y < thumb.y) ScrollTo(Top() - PageLines());
  else if (thumb.h > 0 && y >= thumb.y + thumb.h) ScrollTo(Top() + PageLines());
  else if (thumb.h > 0) m_dragOffset = y - thumb.y;
  return true;
}

void CMemo::Drag(int y) {
  const RPaintRect track = Track(), thumb = Thumb();
  if (m_dragOffset < 0 || thumb.h <= 0) return;
  // The line whose thumb position is nearest the one asked for.
  const int room = std::max(track.h - thumb.h, 1), lines = ShownLines() - PageLines();
  const int at = std::clamp(y - m_dragOffset - track.y, 0, room);
  ScrollTo(int((int64_t(at) * lines + room / 2) / room));
}

void CMemo::Paint(TBitmap32& bm) {
  const RPaintRect& r = m_rect;
  Paint_Fill(bm, r, 0xFFFFFFFFu);
  Paint_Frame(bm, r, 0xFF808080u, 0xFFF0F0F0u);
  const int lineH = std::max(Paint_LineHeight(m_font), 1);
  const int top = Top(), page = PageLines(), total = ShownLines();
  const int textRight = r.x + r.w - kScrollBarW - 1;
  for (int i = 0; i < page && top + i < total; ++i)
    Paint_Text(bm, r.x + 1 + kPadding, r.y + 1 + kPadding + i * lineH, textRight - kPadding, m_shown[size_t(top + i)],
               m_font);

  Paint_Fill(bm, Track(), 0xFFE6E6E6u);
  if (const RPaintRect thumb = Thumb(); thumb.h > 0) {
    Paint_Fill(bm, thumb, 0xFFB4B4B4u);
    Paint_Frame(bm, thumb, 0xFFD8D8D8u, 0xFF7A7A7Au);
  }
}

}  // namespace tavrin
