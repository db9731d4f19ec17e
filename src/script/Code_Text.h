// The language's text: values hold UTF-8, while positions in code and the
// order of strings go by UTF-16 code units, as games have always seen them.
// Bytes that are no UTF-8 read as U+FFFD wherever text is taken apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

// The character at byte `i` of `s` (U+FFFD for a byte that starts no valid
// character) and, in `length`, the bytes it takes.
uint32_t Text_DecodeAt(std::string_view s, size_t i, size_t& length);

std::u16string Text_ToUTF16(std::string_view utf8);
std::string Text_ToUTF8(std::u16string_view utf16);

// The one order of strings, used by the comparison operators and by every
// sort and search of the data structures: by UTF-16 code units, a text that
// is the start of another first. -1, 0 or 1.
int Text_Compare(std::string_view a, std::string_view b);

}  // namespace tavrin
