// The one order of strings: by UTF-16 code units, with bytes that are no
// UTF-8 read as U+FFFD. The comparison operators and the data structures'
// sorts use it alike, so a sorted list reads as sorted to the operators.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/Code_Text.h"
#include "script/Conformance.h"

namespace tavrin::test {
namespace {

// ASCII, accents, private use (U+E000 up, which UTF-16 puts after the
// characters beyond U+FFFF), characters beyond U+FFFF, U+FFFD, and bytes that
// are no UTF-8 at all.
const std::vector<std::string> kTexts = {
    "",           "a",           "ab",          "abc",         "abd",          "Z",
    "\xC3\xA9",   "e\xCC\x81",   "\xC3\xA9t\xC3\xA9",          "\xEE\x80\x80", "\xEF\xA3\xBF",
    "\xF0\x9F\x98\x80",          "\xF0\x9F\x98\x80x",          "\xEF\xBF\xBD", "\xFF",        "\xC3",
    "\xC3\xA9\xFF", "\x80",      "\xEE\x80\x80\xF0\x9F\x98\x80", "a\xFF",       "a\xEF\xBF\xBD",
};

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(TextOrder, IsTheOrderOfTheUTF16Units) {
  for (const std::string& a : kTexts) {
    for (const std::string& b : kTexts) {
      const std::u16string ua = Text_ToUTF16(a), ub = Text_ToUTF16(b);
      EXPECT_EQ(Text_Compare(a, b), Sign(ua.compare(ub))) << "'" << a << "' against '" << b << "'";
    }
  }
}

// Every text of the table, sorted by ds_list_sort, then checked pair by pair
// with the operators.
TEST(TextOrder, OperatorsAgreeWithTheSorts) {
  std::string code = "l = ds_list_create();\n";
  for (const std::string& t : kTexts) {
    std::string bytes;
    for (unsigned char c : t) bytes += "ansi_char(" + std::to_string(c) + ") + ";
    code += "ds_list_add(l, " + bytes + "'');\n";
  }
  code +=
      "ds_list_sort(l, true); bad = 0;\n"
      "for (i = 0; i + 1 < ds_list_size(l); i += 1) {\n"
      "  a = ds_list_find_value(l, i); b = ds_list_find_value(l, i + 1);\n"
      "  if (a > b || (a < b) == (a == b) || (a <= b) != (a < b || a == b)) bad += 1;\n"
      "}\n"
      "a = ansi_char(255); b = chr(57344);\n"
      "show_debug_message(string(bad) + ' ' + string(a < b) + ' ' + string(a > b))\n";
  RunTable({{"sorted texts read as sorted", code, "0 0 1\n", ""}});
}

}  // namespace
}  // namespace tavrin::test
