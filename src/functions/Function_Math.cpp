// Type tests, random numbers, arithmetic, geometry, conversions and strings.
//
// Text in values is UTF-8, while positions and lengths count UTF-16 code
// units. Texts that are plain ASCII are handled on their bytes directly;
// other long texts are converted once and the conversion is kept with the
// text in a small cache, so a loop taking a long text apart character by
// character stays linear.
#include "functions/Function_Math.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cwctype>
#include <locale.h>
#include <string>
#include <string_view>

#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Operator.h"
#include "script/Code_Text.h"
#include "script/Variable_Class.h"

namespace tavrin {

namespace {

// The 32-bit floor and ceiling games use: the integer part through a 64-bit
// integer (saturating like every conversion), then its low 32 bits.
double Floor32(double x) {
  const int32_t i = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(Real_TruncToInt64(x))));
  const double f = x - std::trunc(x);
  return static_cast<double>(i) - (f < 0 ? 1 : 0);
}
double Ceil32(double x) {
  const int32_t i = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(Real_TruncToInt64(x))));
  const double f = x - std::trunc(x);
  return static_cast<double>(i) + (f > 0 ? 1 : 0);
}

// A floating-point fault: a result that is not finite from finite operands
// (overflow, division by zero, an operand outside the function's domain).
bool Faulted(double r, double x, double y = 0) { return !std::isfinite(r) && std::isfinite(x) && std::isfinite(y); }

void SetChecked(RValue& result, double r, double x, const char* message, double y = 0) {
  if (Faulted(r, x, y))
    Error_ReportAction(message, false);
  else
    result.SetReal(r);
}

// --- type tests and random numbers

FUNCTION_ROUTINE(F_Random) { result.SetReal(Random_Real() * a[0].AsReal()); }
FUNCTION_ROUTINE(F_RandomRange) {
  const double lo = std::fmin(a[0].AsReal(), a[1].AsReal()), hi = std::fmax(a[0].AsReal(), a[1].AsReal());
  result.SetReal(lo + Random_Real() * (hi - lo));
}
FUNCTION_ROUTINE(F_IRandom) {
  const uint32_t bound = static_cast<uint32_t>(static_cast<int64_t>(Floor32(a[0].AsReal())) + 1);
  result.SetReal(Random_Below(bound));
}
FUNCTION_ROUTINE(F_IRandomRange) {
  const double x = Floor32(a[0].AsReal()), y = Floor32(a[1].AsReal());
  const double lo = std::fmin(x, y), hi = std::fmax(x, y);
  const uint32_t bound = static_cast<uint32_t>(static_cast<int64_t>(hi - lo) + 1);
  result.SetReal(lo + Random_Below(bound));
}
FUNCTION_ROUTINE(F_RandomSetSeed) { Random_SetSeed(static_cast<uint32_t>(static_cast<uint64_t>(Real_ToInt64(a[0].AsReal())))); }
FUNCTION_ROUTINE(F_RandomGetSeed) { result.SetReal(static_cast<int32_t>(Random_GetSeed())); }
FUNCTION_ROUTINE(F_Randomize) { Random_Randomize(); }
FUNCTION_ROUTINE(F_Choose) {
  if (argc <= 0) return;
  result = a[Random_Below(static_cast<uint32_t>(argc))];
}

// --- arithmetic

FUNCTION_ROUTINE(F_Abs) { result.SetReal(std::fabs(a[0].AsReal())); }
FUNCTION_ROUTINE(F_Round) { result.SetReal(static_cast<double>(Real_ToInt64(a[0].AsReal()))); }
FUNCTION_ROUTINE(F_Floor) { result.SetReal(Floor32(a[0].AsReal())); }
FUNCTION_ROUTINE(F_Ceil) { result.SetReal(Ceil32(a[0].AsReal())); }
FUNCTION_ROUTINE(F_Sign) {
  const double x = a[0].AsReal();
  result.SetReal(x <= -1e-13 ? -1 : (x > -1e-13 && x < 1e-13 ? 0 : 1));
}
FUNCTION_ROUTINE(F_Frac) {
  double whole;
  result.SetReal(std::modf(a[0].AsReal(), &whole));
}
FUNCTION_ROUTINE(F_Sqrt) {
  if (a[0].AsReal() < 0) {
    Error_ReportAction("Cannot apply sqrt to negative number.", false);
    return;
  }
  result.SetReal(std::sqrt(a[0].AsReal()));
}
FUNCTION_ROUTINE(F_Sqr) { result.SetReal(a[0].AsReal() * a[0].AsReal()); }
FUNCTION_ROUTINE(F_Exp) { SetChecked(result, std::exp(a[0].AsReal()), a[0].AsReal(), "Error in function exp()."); }
FUNCTION_ROUTINE(F_Ln) { SetChecked(result, std::log(a[0].AsReal()), a[0].AsReal(), "Error in function ln()."); }
FUNCTION_ROUTINE(F_Log2) { SetChecked(result, std::log2(a[0].AsReal()), a[0].AsReal(), "Error in function log2()."); }
FUNCTION_ROUTINE(F_Log10) { SetChecked(result, std::log10(a[0].AsReal()), a[0].AsReal(), "Error in function log10()."); }
FUNCTION_ROUTINE(F_Sin) { result.SetReal(std::sin(a[0].AsReal())); }
FUNCTION_ROUTINE(F_Cos) { result.SetReal(std::cos(a[0].AsReal())); }
FUNCTION_ROUTINE(F_Tan) { result.SetReal(std::tan(a[0].AsReal())); }
FUNCTION_ROUTINE(F_ArcSin) { SetChecked(result, std::asin(a[0].AsReal()), a[0].AsReal(), "Error in function arcsin()."); }
FUNCTION_ROUTINE(F_ArcCos) { SetChecked(result, std::acos(a[0].AsReal()), a[0].AsReal(), "Error in function arccos()."); }
FUNCTION_ROUTINE(F_ArcTan) { SetChecked(result, std::atan(a[0].AsReal()), a[0].AsReal(), "Error in function arctan()."); }
FUNCTION_ROUTINE(F_ArcTan2) {
  SetChecked(result, std::atan2(a[0].AsReal(), a[1].AsReal()), a[0].AsReal(), "Error in function arctan2().", a[1].AsReal());
}
FUNCTION_ROUTINE(F_DegToRad) { result.SetReal(a[0].AsReal() * 0.017453292519943295769); }
FUNCTION_ROUTINE(F_RadToDeg) { result.SetReal(a[0].AsReal() * 57.295779513082320877); }
FUNCTION_ROUTINE(F_Power) { SetChecked(result, std::pow(a[0].AsReal(), a[1].AsReal()), a[0].AsReal(), "Error in function power().", a[1].AsReal()); }
FUNCTION_ROUTINE(F_LogN) {
  SetChecked(result, std::log(a[1].AsReal()) / std::log(a[0].AsReal()), a[1].AsReal(), "Error in function logn().", a[0].AsReal());
}

// --- minimum, maximum, averages

template <bool Max>
void Extreme(int32_t argc, RValue& result, RValue* a) {
  if (argc <= 0) return;
  result = a[0];
  for (int32_t k = 1; k < argc; ++k) {
    const RValue& w = a[k];
    if (result.IsReal() && (Max ? w.AsReal() > result.AsReal() : w.AsReal() < result.AsReal())) result = w;
    if (result.IsString()) {
      const int d = Text_Compare(w.AsText(), result.AsText());
      if (Max ? d > 0 : d < 0) result = w;
    }
  }
}
FUNCTION_ROUTINE(F_Min) { Extreme<false>(argc, result, a); }
FUNCTION_ROUTINE(F_Max) { Extreme<true>(argc, result, a); }
FUNCTION_ROUTINE(F_Min3) { Extreme<false>(3, result, a); }
FUNCTION_ROUTINE(F_Max3) { Extreme<true>(3, result, a); }
FUNCTION_ROUTINE(F_Mean) {
  if (argc <= 0) return;
  double sum = 0;
  for (int32_t k = 0; k < argc; ++k) sum += a[k].AsReal();
  result.SetReal(sum / argc);
}
FUNCTION_ROUTINE(F_Median) {
  for (int32_t q = 0; q < argc; ++q) {
    int32_t s = 0, e = 0;
    for (int32_t k = 0; k < argc; ++k) {
      if (a[k].AsReal() < a[q].AsReal()) ++s;
      if (a[k].AsReal() <= a[q].AsReal()) ++e;
    }
    const double half = argc / 2.0;
    if (s < half && half <= e) {
      result = a[q];
      return;
    }
  }
}
FUNCTION_ROUTINE(F_Clamp) {
  double x = a[0].AsReal();
  if (!(x >= a[1].AsReal())) x = a[1].AsReal();
  if (x > a[2].AsReal()) x = a[2].AsReal();
  result.SetReal(x);
}
FUNCTION_ROUTINE(F_Lerp) { result.SetReal(a[0].AsReal() + (a[1].AsReal() - a[0].AsReal()) * a[2].AsReal()); }

// --- geometry

FUNCTION_ROUTINE(F_PointDistance) { result.SetReal(std::hypot(a[2].AsReal() - a[0].AsReal(), a[3].AsReal() - a[1].AsReal())); }
FUNCTION_ROUTINE(F_PointDistance3d) {
  const double dx = a[3].AsReal() - a[0].AsReal(), dy = a[4].AsReal() - a[1].AsReal(), dz = a[5].AsReal() - a[2].AsReal();
  result.SetReal(std::sqrt(dx * dx + dy * dy + dz * dz));
}
FUNCTION_ROUTINE(F_PointDirection) {
  const double dx = a[2].AsReal() - a[0].AsReal(), dy = a[3].AsReal() - a[1].AsReal();
  if (dx == 0) {
    result.SetReal(dy > 0 ? 270 : (dy < 0 ? 90 : 0));
    return;
  }
  const double d = std::atan2(dy, dx) * 57.295779513082320877;
  result.SetReal(d > 0 ? 360 - d : 0 - d);  // 0 - d: never a negative zero
}
// Values within 0.0001 of a whole number become that number, so that
// lengthdir_x(10, 90) is exactly 0 and motion along the axes stays on the grid.
double Snap(double v) {
  const double r = std::nearbyint(v);
  return std::fabs(v - r) < 0.0001 ? r : v;
}
FUNCTION_ROUTINE(F_LengthdirX) { result.SetReal(Snap(a[0].AsReal() * std::cos(a[1].AsReal() * 0.017453292519943295769))); }
FUNCTION_ROUTINE(F_LengthdirY) { result.SetReal(Snap(-a[0].AsReal() * std::sin(a[1].AsReal() * 0.017453292519943295769))); }
// A vector of length 0 has no direction: the cosine is taken as 0.
void Cosine(RValue& result, double dot, double lengths) {
  result.SetReal(lengths > 0 && std::isfinite(dot / lengths) ? dot / lengths : 0);
}
FUNCTION_ROUTINE(F_DotProduct) {
  Cosine(result, a[0].AsReal() * a[2].AsReal() + a[1].AsReal() * a[3].AsReal(),
         std::sqrt((a[0].AsReal() * a[0].AsReal() + a[1].AsReal() * a[1].AsReal()) * (a[2].AsReal() * a[2].AsReal() + a[3].AsReal() * a[3].AsReal())));
}
FUNCTION_ROUTINE(F_DotProduct3d) {
  const double l1 = a[0].AsReal() * a[0].AsReal() + a[1].AsReal() * a[1].AsReal() + a[2].AsReal() * a[2].AsReal();
  const double l2 = a[3].AsReal() * a[3].AsReal() + a[4].AsReal() * a[4].AsReal() + a[5].AsReal() * a[5].AsReal();
  Cosine(result, a[0].AsReal() * a[3].AsReal() + a[1].AsReal() * a[4].AsReal() + a[2].AsReal() * a[5].AsReal(), std::sqrt(l1 * l2));
}

// ------------------------------------------------------------------ texts

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// The character count of string_length: a lead byte from 0xC2 to 0xFD and
// the continuation its leading bits announce count as one character; every
// other byte counts as one.
int64_t CharCount(std::string_view s) {
  int64_t n = 0;
  for (size_t i = 0; i < s.size(); ++n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = 1;
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) len = 3;
    else if (c >= 0xF0 && c <= 0xF7) len = 4;
    else if (c >= 0xF8 && c <= 0xFB) len = 5;
    else if (c >= 0xFC && c <= 0xFD) len = 6;
    i += len;
  }
  return n;
}

// What the string functions need to know of a text, worked out once per
// long text: whether it is ASCII, its string_length, and its UTF-16 units
// when it is not ASCII.
struct RTextInfo {
  RString held;  // keeps the text alive, so its address identifies it
  bool ascii = true;
  int64_t chars = 0;
  std::u16string units;
};

constexpr size_t kCachedFrom = 64;  // shorter texts are cheaper to look at afresh
constexpr int kCacheSize = 4;
RTextInfo g_Cache[kCacheSize];
int g_CacheNext = 0;
RTextInfo g_Scratch[2];
int g_ScratchNext = 0;

void Fill(RTextInfo& info, const RString& s) {
  info.held = s;
  info.ascii = IsAscii(s.view());
  info.chars = info.ascii ? static_cast<int64_t>(s.size()) : CharCount(s.view());
  if (info.ascii)
    info.units.clear();
  else
    info.units = Text_ToUTF16(s.view());
}

const RTextInfo& Info(const RString& s) {
  if (s.size() >= kCachedFrom) {
    for (auto& e : g_Cache)
      if (e.held.size() == s.size() && e.held.view().data() == s.view().data()) return e;
    RTextInfo& e = g_Cache[g_CacheNext];
    g_CacheNext = (g_CacheNext + 1) % kCacheSize;
    Fill(e, s);
    return e;
  }
  RTextInfo& e = g_Scratch[g_ScratchNext];
  g_ScratchNext ^= 1;
  Fill(e, s);
  return e;
}

// Length in UTF-16 units.
int64_t Units(const RTextInfo& t) { return t.ascii ? static_cast<int64_t>(t.held.size()) : static_cast<int64_t>(t.units.size()); }

// `count` units from 0-based unit `from` (both inside the text) as UTF-8.
std::string Slice(const RTextInfo& t, int64_t from, int64_t count) {
  if (t.ascii) return std::string(t.held.view().substr(static_cast<size_t>(from), static_cast<size_t>(count)));
  return Text_ToUTF8(std::u16string_view(t.units).substr(static_cast<size_t>(from), static_cast<size_t>(count)));
}

int64_t Rounded(const RValue& v) { return Real_ToInt64(v.AsReal()); }

void SetText(RValue& result, std::string_view text) {
  if (Error_StringTooLong(text.size())) return;
  result.SetString(RString(text));
}

FUNCTION_ROUTINE(F_StringFormat) {
  if (a[0].IsString()) {
    result = a[0];
    return;
  }
  const double x = a[0].AsReal();
  int64_t dec = Rounded(a[2]);
  dec = dec < 0 ? 0 : (dec > 18 ? 18 : dec);
  const int64_t total = Rounded(a[1]);
  if (total > 0 && Error_StringTooLong(static_cast<uint64_t>(total))) return;
  char buf[400];
  int n;
  if (!std::isfinite(x))
    n = std::snprintf(buf, sizeof buf, "%s", std::isnan(x) ? "nan" : (x > 0 ? "inf" : "-inf"));
  else if (std::fabs(x) >= 1e18)  // more digits than the precision: scientific notation
    n = std::snprintf(buf, sizeof buf, "%.*e", static_cast<int>(dec), x);
  else
    n = std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(dec), x);
  if (n < 0 || static_cast<size_t>(n) >= sizeof buf) {
    result.SetString(RString("ERROR"));
    return;
  }
  std::string text;
  if (total > n) text.assign(static_cast<size_t>(total - n), ' ');
  text.append(buf, static_cast<size_t>(n));
  result.SetString(RString(text));
}

// The system's ANSI code page (Windows-1252) for bytes 0x80 to 0x9F; the
// others are Latin-1. Bytes without a character stand for themselves.
constexpr char16_t kAnsi80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
FUNCTION_ROUTINE(F_Chr) {
  const unsigned b = static_cast<unsigned>(static_cast<uint64_t>(Rounded(a[0]))) & 0xFFu;
  const char16_t c = b >= 0x80 && b < 0xA0 ? kAnsi80[b - 0x80] : static_cast<char16_t>(b);
  result.SetString(RString(Text_ToUTF8(std::u16string_view(&c, 1))));
}
FUNCTION_ROUTINE(F_AnsiChar) {
  const char c = static_cast<char>(static_cast<uint64_t>(Rounded(a[0])) & 0xFFu);
  result.SetString(RString(std::string_view(&c, 1)));
}
FUNCTION_ROUTINE(F_Ord) {
  const std::string_view s = a[0].AsText();
  result.SetReal(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

FUNCTION_ROUTINE(F_StringLength) {
  const std::string_view s = a[0].AsText();
  if (s.size() < kCachedFrom) {
    result.SetReal(static_cast<double>(CharCount(s)));
    return;
  }
  result.SetReal(static_cast<double>(Info(a[0].AsString()).chars));
}
FUNCTION_ROUTINE(F_StringByteLength) { result.SetReal(static_cast<double>(a[0].AsText().size())); }
// A position outside the text reads as byte 0.
FUNCTION_ROUTINE(F_StringByteAt) {
  const std::string_view s = a[0].AsText();
  const int64_t n = Rounded(a[1]);
  if (n >= 1 && n <= static_cast<int64_t>(s.size())) result.SetReal(static_cast<unsigned char>(s[n - 1]));
}
FUNCTION_ROUTINE(F_StringPos) {
  const std::string_view sub = a[0].AsText(), s = a[1].AsText();
  if (sub.empty()) return;
  const size_t at = s.find(sub);
  if (at == std::string_view::npos) return;
  const RTextInfo& t = Info(a[1].AsString());
  if (t.ascii) {
    result.SetReal(static_cast<double>(at + 1));
    return;
  }
  result.SetReal(static_cast<double>(t.units.find(Text_ToUTF16(sub)) + 1));
}
FUNCTION_ROUTINE(F_StringCopy) {
  const RTextInfo& t = Info(a[0].AsString());
  const int64_t len = Units(t);
  int64_t from = Rounded(a[1]);
  if (from < 1) from = 1;
  int64_t count = Rounded(a[2]);
  if (count <= 0 || from > len) {
    result.SetString(RString());
    return;
  }
  if (count > len - from + 1) count = len - from + 1;
  if (from == 1 && count == len) {
    result.SetString(a[0].AsString());
    return;
  }
  result.SetString(RString(Slice(t, from - 1, count)));
}
FUNCTION_ROUTINE(F_StringCharAt) {
  result.SetString(RString());
  if (!a[0].IsString()) return;
  const int64_t at = Rounded(a[1]);
  const std::string_view s = a[0].AsText();
  // A short text ASCII up to the position: the byte is the character.
  if (s.size() < kCachedFrom && at >= 1 && at <= static_cast<int64_t>(s.size()) &&
      IsAscii(s.substr(0, static_cast<size_t>(at)))) {
    result.SetString(RString(s.substr(static_cast<size_t>(at - 1), 1)));
    return;
  }
  const RTextInfo& t = Info(a[0].AsString());
  if (at < 1 || at > Units(t)) return;
  result.SetString(RString(t.ascii ? s.substr(static_cast<size_t>(at - 1), 1) : Slice(t, at - 1, 1)));
}
FUNCTION_ROUTINE(F_StringDelete) {
  const RTextInfo& t = Info(a[0].AsString());
  const int64_t len = Units(t), from = Rounded(a[1]);
  int64_t count = Rounded(a[2]);
  if (from < 1 || from > len || count <= 0) {
    result.SetString(a[0].AsString());
    return;
  }
  if (count > len - from + 1) count = len - from + 1;
  result.SetString(RString(Slice(t, 0, from - 1) + Slice(t, from - 1 + count, len - (from - 1 + count))));
}
FUNCTION_ROUTINE(F_StringInsert) {
  const std::string_view sub = a[0].AsText();
  const RTextInfo& t = Info(a[1].AsString());
  const int64_t len = Units(t);
  int64_t at = Rounded(a[2]);
  at = at < 1 ? 1 : (at > len + 1 ? len + 1 : at);
  if (Error_StringTooLong(sub.size() + a[1].AsText().size())) return;
  result.SetString(RString(Slice(t, 0, at - 1) + std::string(sub) + Slice(t, at - 1, len - (at - 1))));
}

// Case mapping through the system's locale, falling back to a UTF-8 locale
// when the system's knows only ASCII letters.
locale_t CaseLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (l && towupper_l(0xE9, l) != 0xE9) return l;
    if (l) freelocale(l);
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      l = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
      if (l) return l;
    }
    return static_cast<locale_t>(0);
  }();
  return loc;
}

template <bool Upper>
void MapCase(RValue& result, const RValue& arg) {
  const std::string_view s = arg.AsText();
  if (IsAscii(s)) {
    std::string out(s);
    for (char& c : out) {
      if (Upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      if (!Upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    result.SetString(RString(out));
    return;
  }
  const std::u16string units = Text_ToUTF16(s);
  std::u16string out;
  out.reserve(units.size());
  const locale_t loc = CaseLocale();
  // Characters of the basic multilingual plane are mapped; surrogate halves
  // (characters beyond it) are kept as they are.
  for (const char16_t u : units) {
    wint_t c = u;
    if (u < 0xD800 || u > 0xDFFF) {
      if (loc)
        c = Upper ? towupper_l(c, loc) : towlower_l(c, loc);
      else if (u < 0x80)
        c = Upper ? std::towupper(c) : std::towlower(c);
    }
    out += c <= 0xFFFF ? static_cast<char16_t>(c) : u;
  }
  SetText(result, Text_ToUTF8(out));
}
FUNCTION_ROUTINE(F_StringLower) { MapCase<false>(result, a[0]); }
FUNCTION_ROUTINE(F_StringUpper) { MapCase<true>(result, a[0]); }

FUNCTION_ROUTINE(F_StringRepeat) {
  const int64_t n = Rounded(a[1]);
  const std::string_view s = a[0].AsText();
  if (n <= 0 || s.empty()) {
    result.SetString(RString());
    return;
  }
  if (static_cast<uint64_t>(n) > kMaxStringLength / s.size()) {
    Error_StringTooLong(kMaxStringLength + 1);
    return;
  }
  result.SetString(RString::Repeat(s, static_cast<size_t>(n)));
}

template <bool Letters, bool Digits>
void Filter(RValue& result, const RValue& arg) {
  std::string out;
  for (char c : arg.AsText()) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool digit = c >= '0' && c <= '9';
    if ((Letters && letter) || (Digits && digit)) out += c;
  }
  result.SetString(RString(out));
}
FUNCTION_ROUTINE(F_StringLetters) { Filter<true, false>(result, a[0]); }
FUNCTION_ROUTINE(F_StringDigits) { Filter<false, true>(result, a[0]); }
FUNCTION_ROUTINE(F_StringLettersDigits) { Filter<true, true>(result, a[0]); }

// Replaces the first or every occurrence, scanning left to right. An empty
// search text matches nothing, so the text comes back unchanged instead of
// the search never moving on.
void Replace(RValue& result, const RValue* a, bool all) {
  const std::string_view s = a[0].AsText(), old = a[1].AsText(), with = a[2].AsText();
  size_t at = old.empty() ? std::string_view::npos : s.find(old);
  if (at == std::string_view::npos) {
    result.SetString(a[0].AsString());
    return;
  }
  // The size of the result is known before anything is built.
  size_t count = 1;
  if (all)
    for (size_t k = s.find(old, at + old.size()); k != std::string_view::npos; k = s.find(old, k + old.size())) ++count;
  const size_t kept = s.size() - count * old.size();
  if (with.size() > old.size() && count > (kMaxStringLength - kept) / with.size()) {
    Error_StringTooLong(kMaxStringLength + 1);
    return;
  }
  std::string out;
  out.reserve(kept + count * with.size());
  size_t from = 0;
  do {
    out.append(s, from, at - from);
    out.append(with);
    from = at + old.size();
    at = all ? s.find(old, from) : std::string_view::npos;
  } while (at != std::string_view::npos);
  out.append(s, from, std::string_view::npos);
  result.SetString(RString(out));
}
FUNCTION_ROUTINE(F_StringReplace) { Replace(result, a, false); }
FUNCTION_ROUTINE(F_StringReplaceAll) { Replace(result, a, true); }
FUNCTION_ROUTINE(F_StringCount) {
  const std::string_view sub = a[0].AsText(), s = a[1].AsText();
  if (sub.empty()) return;
  int64_t n = 0;
  for (size_t at = s.find(sub); at != std::string_view::npos; at = s.find(sub, at + sub.size())) ++n;
  result.SetReal(static_cast<double>(n));
}


constexpr RFunctionRoutine kMathFunctions[] = {
    {"random", F_Random},
    {"random_range", F_RandomRange},
    {"irandom", F_IRandom},
    {"irandom_range", F_IRandomRange},
    {"random_set_seed", F_RandomSetSeed},
    {"random_get_seed", F_RandomGetSeed},
    {"randomize", F_Randomize},
    {"abs", F_Abs},
    {"round", F_Round},
    {"floor", F_Floor},
    {"ceil", F_Ceil},
    {"sign", F_Sign},
    {"frac", F_Frac},
    {"sqrt", F_Sqrt},
    {"sqr", F_Sqr},
    {"exp", F_Exp},
    {"ln", F_Ln},
    {"log2", F_Log2},
    {"log10", F_Log10},
    {"sin", F_Sin},
    {"cos", F_Cos},
    {"tan", F_Tan},
    {"arcsin", F_ArcSin},
    {"arccos", F_ArcCos},
    {"arctan", F_ArcTan},
    {"arctan2", F_ArcTan2},
    {"degtorad", F_DegToRad},
    {"radtodeg", F_RadToDeg},
    {"power", F_Power},
    {"logn", F_LogN},
    {"min", F_Min},
    {"max", F_Max},
    {"min3", F_Min3},
    {"max3", F_Max3},
    {"mean", F_Mean},
    {"median", F_Median},
    {"choose", F_Choose},
    {"clamp", F_Clamp},
    {"lerp", F_Lerp},
    {"string_format", F_StringFormat},
    {"chr", F_Chr},
    {"ansi_char", F_AnsiChar},
    {"ord", F_Ord},
    {"string_length", F_StringLength},
    {"string_byte_length", F_StringByteLength},
    {"string_byte_at", F_StringByteAt},
    {"string_pos", F_StringPos},
    {"string_copy", F_StringCopy},
    {"string_char_at", F_StringCharAt},
    {"string_delete", F_StringDelete},
    {"string_insert", F_StringInsert},
    {"string_lower", F_StringLower},
    {"string_upper", F_StringUpper},
    {"string_repeat", F_StringRepeat},
    {"string_letters", F_StringLetters},
    {"string_digits", F_StringDigits},
    {"string_lettersdigits", F_StringLettersDigits},
    {"string_replace", F_StringReplace},
    {"string_replace_all", F_StringReplaceAll},
    {"string_count", F_StringCount},
    {"dot_product", F_DotProduct},
    {"dot_product_3d", F_DotProduct3d},
    {"point_distance_3d", F_PointDistance3d},
    {"point_distance", F_PointDistance},
    {"point_direction", F_PointDirection},
    {"lengthdir_x", F_LengthdirX},
    {"lengthdir_y", F_LengthdirY},
};

}  // namespace

void Function_RegisterMath() {
  Function_ImplementTable(kMathFunctions);
}

}  // namespace tavrin
