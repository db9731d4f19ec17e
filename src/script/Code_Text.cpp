#include "script/Code_Text.h"

namespace tavrin {

uint32_t Text_DecodeAt(std::string_view s, size_t i, size_t& length) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  length = 1;
  if (c < 0x80) return c;
  auto follows = [&](size_t k) { return i + k < s.size() && (s[i + k] & 0xC0) == 0x80; };
  uint32_t cp = 0xFFFD;
  if ((c >> 5) == 0x6 && follows(1)) {
    cp = ((c & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
    length = 2;
    if (cp < 0x80) cp = 0xFFFD;
  } else if ((c >> 4) == 0xE && follows(1) && follows(2)) {
    cp = ((c & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
    length = 3;
    if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  } else if ((c >> 3) == 0x1E && follows(1) && follows(2) && follows(3)) {
    cp = ((c & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) | (s[i + 3] & 0x3Fu);
    length = 4;
    if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
  }
  return cp;
}

std::u16string Text_ToUTF16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0, length = 0; i < s.size(); i += length) {
    uint32_t cp = Text_DecodeAt(s, i, length);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Text_ToUTF8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

namespace {

// The UTF-16 units of a character: the first, and the second (0 for one).
struct RUnits {
  uint32_t first, second;
};
RUnits Units(uint32_t cp) {
  if (cp < 0x10000) return {cp, 0};
  return {0xD800 + ((cp - 0x10000) >> 10), 0xDC00 + (cp & 0x3FF)};
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

int Text_Compare(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  if (i == a.size() && i == b.size()) return 0;
  // Back to a character start at or before the character where the texts
  // part (a text that ends inside a character reads it as U+FFFD): a
  // character is at most 4 bytes, a byte that is no continuation always
  // starts one, and the equal bytes before it are cut alike in both texts.
  i = i > 3 ? i - 3 : 0;
  while (i > 0 && IsContinuation(a[i])) --i;
  size_t ia = i, ib = i;
  while (ia < a.size() && ib < b.size()) {
    size_t la = 0, lb = 0;
    const RUnits ua = Units(Text_DecodeAt(a, ia, la)), ub = Units(Text_DecodeAt(b, ib, lb));
    if (ua.first != ub.first) return ua.first < ub.first ? -1 : 1;
    if (ua.second != ub.second) return ua.second < ub.second ? -1 : 1;
    ia += la;
    ib += lb;
  }
  const bool endA = ia >= a.size(), endB = ib >= b.size();
  return endA == endB ? 0 : (endA ? -1 : 1);
}

}  // namespace tavrin
