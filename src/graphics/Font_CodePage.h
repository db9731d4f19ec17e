// Code pages: how a font turns the script's UTF-8 strings into the bytes its
// glyph tables are indexed by. A font's Windows character set picks the code
// page; the single-byte pages convert through a table made once from iconv,
// the double-byte pages (Japanese, Korean, Chinese) through iconv itself,
// each of their bytes then being one glyph code as well. Characters a page
// cannot hold become its default character "?".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

// The code page of a character set: 0 Western 1252, 128 Japanese 932, 129
// Korean 949, 130 Johab 1361, 134 Chinese 936, 136 Big5 950, 161 Greek
// 1253, 162 Turkish 1254, 163 Vietnamese 1258, 177 Hebrew 1255, 178 Arabic
// 1256, 186 Baltic 1257, 204 Cyrillic 1251, 222 Thai 874, 238 Central
// European 1250; any other (1, the system's own, included) 1252, which
// stands in for the system's page.
int32_t CodePage_OfCharset(int32_t charset);

// Appends the bytes of UTF-8 `text` in `codePage` to `out`. A page iconv
// does not know converts as 1252. Allocates only when `out` must grow.
void CodePage_Encode(int32_t codePage, std::string_view text, std::string& out);

// The Unicode character a single byte stands for in the page (the byte
// itself when it stands for none on its own, such as a lead byte), so that
// a sheet can be rasterized code by code.
uint32_t CodePage_ToUnicode(int32_t codePage, uint8_t byte);

// The next character of UTF-8 text at `i`, which moves past it; a byte that
// does not start a well-formed sequence reads as itself.
uint32_t Text_NextCodePoint(std::string_view text, size_t& i);

}  // namespace tavrin
