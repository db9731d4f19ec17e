#include "graphics/Font_CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

namespace tavrin {

namespace {

constexpr char kDefaultChar = '?';

bool IsDoubleByte(int32_t codePage) {
  return codePage == 932 || codePage == 949 || codePage == 1361 || codePage == 936 || codePage == 950;
}

// One code page: for a single-byte page, what each byte stands for and the
// reverse, sorted by character; for a double-byte page, iconv from UTF-32.
struct RCodePage {
  bool known = false;
  bool asciiSame = true;  // bytes 0..127 stand for themselves
  std::array<uint32_t, 256> toUnicode{};
  std::vector<std::pair<uint32_t, uint8_t>> fromUnicode;
  iconv_t encoder = iconv_t(-1);
  ~RCodePage() {
    if (encoder != iconv_t(-1)) iconv_close(encoder);
  }
};

uint32_t DecodeByte(iconv_t decoder, uint8_t byte) {
  char in[1] = {char(byte)};
  uint32_t out = 0;
  char* pin = in;
  char* pout = reinterpret_cast<char*>(&out);
  size_t nin = 1, nout = sizeof out;
  iconv(decoder, nullptr, nullptr, nullptr, nullptr);
  if (iconv(decoder, &pin, &nin, &pout, &nout) == size_t(-1) || nout != 0) return byte;
  return out;
}

RCodePage& Page(int32_t codePage) {
  static std::map<int32_t, std::unique_ptr<RCodePage>> pages;
  auto& slot = pages[codePage];
  if (slot) return slot->known || codePage == 1252 ? *slot : Page(1252);
  slot = std::make_unique<RCodePage>();
  RCodePage& p = *slot;
  // Until iconv says otherwise, each byte stands for the character of its
  // own number.
  for (uint32_t b = 0; b < 256; ++b) p.toUnicode[b] = b;
  const std::string name = "CP" + std::to_string(codePage);
  const iconv_t decoder = iconv_open("UTF-32LE", name.c_str());
  if (decoder == iconv_t(-1)) {
    if (codePage != 1252) return Page(1252);
    for (uint32_t b = 0; b < 256; ++b) p.fromUnicode.emplace_back(b, uint8_t(b));
    return p;
  }
  p.known = true;
  for (int b = 0; b < 256; ++b) {
    p.toUnicode[size_t(b)] = DecodeByte(decoder, uint8_t(b));
    if (b < 128 && p.toUnicode[size_t(b)] != uint32_t(b)) p.asciiSame = false;
  }
  iconv_close(decoder);
  if (IsDoubleByte(codePage)) {
    p.encoder = iconv_open(name.c_str(), "UTF-32LE");
  } else {
    for (int b = 255; b >= 0; --b) p.fromUnicode.emplace_back(p.toUnicode[size_t(b)], uint8_t(b));
    // The lowest byte wins where two bytes stand for one character.
    std::stable_sort(p.fromUnicode.begin(), p.fromUnicode.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  return p;
}

}  // namespace

int32_t CodePage_OfCharset(int32_t charset) {
  switch (charset) {
    case 0:
      return 1252;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    default:
      return 1252;
  }
}

uint32_t Text_NextCodePoint(std::string_view s, size_t& i) {
  const uint8_t c = uint8_t(s[i++]);
  const int extra = c >= 0xF8 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
  if (extra == 0 || i + size_t(extra) > s.size()) return c;
  uint32_t cp = c & (0x3Fu >> extra);
  for (int k = 0; k < extra; ++k) {
    const uint8_t t = uint8_t(s[i + size_t(k)]);
    if ((t & 0xC0) != 0x80) return c;
    cp = cp << 6 | (t & 0x3Fu);
  }
  i += size_t(extra);
  return cp;
}

void CodePage_Encode(int32_t codePage, std::string_view text, std::string& out) {
  const RCodePage& p = Page(codePage);
  for (size_t i = 0; i < text.size();) {
    const uint8_t first = uint8_t(text[i]);
    if (first < 0x80 && p.asciiSame) {
      out.push_back(char(first));
      ++i;
      continue;
    }
    const uint32_t cp = Text_NextCodePoint(text, i);
    if (p.encoder != iconv_t(-1)) {
      char buf[8];
      uint32_t in = cp;
      char* pin = reinterpret_cast<char*>(&in);
      char* pout = buf;
      size_t nin = sizeof in, nout = sizeof buf;
      iconv(p.encoder, nullptr, nullptr, nullptr, nullptr);
      if (iconv(p.encoder, &pin, &nin, &pout, &nout) == size_t(-1) || pout == buf)
        out.push_back(kDefaultChar);
      else
        out.append(buf, size_t(pout - buf));
      continue;
    }
    const auto found = std::lower_bound(p.fromUnicode.begin(), p.fromUnicode.end(), cp,
                                        [](const auto& e, uint32_t v) { return e.first < v; });
    out.push_back(found != p.fromUnicode.end() && found->first == cp ? char(found->second) : kDefaultChar);
  }
}

uint32_t CodePage_ToUnicode(int32_t codePage, uint8_t byte) { return Page(codePage).toUnicode[byte]; }

}  // namespace tavrin
