#include "functions/Support_CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace tavrin {

namespace {

constexpr const char* kCodePage = "CP1252";

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// The length of the UTF-8 sequence a lead byte begins (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// Runs `cd` over `in`; at a character it cannot convert, `stuck` appends a
// replacement and tells how many input bytes it stands for.
template <class Stuck>
std::string Convert(iconv_t cd, std::string_view in, size_t outPerIn, Stuck stuck) {
  std::string out;
  if (cd == iconv_t(-1)) return std::string(in);
  ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string buffer(in.size() * outPerIn + 8, '\0');
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char* dst = buffer.data();
    size_t room = buffer.size();
    const size_t done = ::iconv(cd, &src, &left, &dst, &room);
    out.append(buffer.data(), size_t(dst - buffer.data()));
    if (done != size_t(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: a character this side cannot carry.
    const size_t skip = std::min(left, stuck(out, std::string_view(src, left)));
    src += skip;
    left -= skip;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

std::string CodePage_ToUtf8(std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  // Opened once and kept: these encodings carry no state between texts.
  static const iconv_t cd = ::iconv_open("UTF-8", kCodePage);
  return Convert(cd, bytes, 3, [](std::string& out, std::string_view rest) {
    AppendUtf8(out, static_cast<unsigned char>(rest[0]));
    return size_t(1);
  });
}

std::string CodePage_FromUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  static const iconv_t cd = ::iconv_open(kCodePage, "UTF-8");
  return Convert(cd, text, 1, [](std::string& out, std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    // The undefined bytes travel as the control characters U+0081 and the like.
    if (lead == 0xC2 && rest.size() >= 2) {
      const auto code = static_cast<unsigned char>(rest[1]);
      if (code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D) {
        out += char(code);
        return size_t(2);
      }
    }
    out += '?';
    const size_t length = SequenceLength(lead);
    // A broken sequence stands for its lead byte alone.
    for (size_t i = 1; i < length; ++i)
      if (i >= rest.size() || (static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return size_t(1);
    return length;
  });
}

}  // namespace tavrin
