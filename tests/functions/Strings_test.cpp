// Conversions and string functions as game code sees them, through
// `tavrin --code`. Positions count UTF-16 code units over UTF-8 storage.
#include <gtest/gtest.h>

#include "script/Conformance.h"

namespace tavrin::test {

TEST(StringFunctions, Conversions) {
  RunTable({
      {"string", Show({"string(5)", "string(5.0001)", "string(-3)", "string(-0.5)", "string('x')"}),
       "5\n5.00\n-3\n-0.50\nx\n", ""},
      {"zero has no sign in text, however it was made",
       "n = 0;\n" + Show({"string(-0)", "-n", "frac(-3)", "string(-n) + '|' + string(frac(-3))"}),
       "0\n0\n0\n0|0\n", ""},
      {"string_format pads to the total and clamps the decimals to 0 to 18",
       Show({"string_format(3.14159, 8, 3) + '|'", "string_format(-2, 0, 2)", "string_format('x', 5, 2)",
             "string_format(1.5, 2, 25)", "string_format(3.14, 0, -3)", "string_format(power(10, 20), 0, 2)"}),
       "   3.142|\n-2.00\nx\n1.500000000000000000\n3\n1.00e+20\n", ""},
      {"string_format cannot grow past the string limit", Show({"string_format(1, 1000000000, 0)"}), "0\n",
       ActionError("Resulting string is too long.")},
      {"real", Show({"real('  ')", "real(' 1.5 ')", "real('-2e3')", "real(7)"}), "0\n1.50\n-2000\n7\n", ""},
      {"real of text that is no number", Show({"real('abc')"}), "0\n", ActionError("Error in function real().")},
      {"characters and bytes",
       Show({"chr(65)", "chr(128)", "chr(321)", "ansi_char(65)", "ord('A')", "ord('')", "ord('é')",
             "string_byte_length(ansi_char(200))"}),
       "A\n€\nA\nA\n65\n0\n195\n1\n", ""},
  });
}

TEST(StringFunctions, LengthsAndPositions) {
  RunTable({
      {"lengths in characters and bytes",
       Show({"string_length('é')", "string_byte_length('é')", "string_length('héllo')", "string_length(5)",
             "string_byte_at('abc', 2)", "string_byte_at('abc', 4)", "string_byte_at('abc', 0)",
             "string_byte_at('é', 2)"}),
       "1\n2\n5\n0\n98\n0\n0\n169\n", ""},
      {"a character beyond the basic plane is one character long but two positions wide",
       Show({"string_length('a😀b')", "string_pos('b', 'a😀b')", "string_copy('a😀b', 4, 1)",
             "string_copy('a😀b', 2, 2)", "string_char_at('a😀b', 4)"}),
       "3\n4\nb\n😀\nb\n", ""},
      {"string_pos",
       Show({"string_pos('lo', 'hello')", "string_pos('', 'abc')", "string_pos('z', 'abc')",
             "string_pos('ö', 'héllo wörld')", "string_pos('L', 'hello')"}),
       "4\n0\n0\n8\n0\n", ""},
      {"string_copy",
       Show({"string_copy('hello', 2, 3)", "string_copy('hello', 0, 2)", "string_copy('hello', 4, 99)",
             "string_copy('hello', 2, 0) + '|'", "string_copy('hello', 9, 1) + '|'", "string_copy('héllo', 2, 2)"}),
       "ell\nhe\nlo\n|\n|\nél\n", ""},
      {"string_char_at",
       Show({"string_char_at('hello', 6) + '|'", "string_char_at('hello', 1)", "string_char_at('hello', 0) + '|'",
             "string_char_at(5, 1) + '|'", "string_char_at('héllo', 2)"}),
       "|\nh\n|\n|\né\n", ""},
      {"string_delete",
       Show({"string_delete('hello', 2, 2)", "string_delete('hello', 0, 2)", "string_delete('hello', 4, 99)",
             "string_delete('hello', 6, 1)", "string_delete('héllo', 2, 1)", "string_delete('hello', 2, -1)"}),
       "hlo\nhello\nhel\nhello\nhllo\nhello\n", ""},
      {"string_insert",
       Show({"string_insert('XY', 'hello', 1)", "string_insert('XY', 'hello', 0)", "string_insert('XY', 'hello', 6)",
             "string_insert('XY', 'hello', 99)", "string_insert('XY', 'hello', 3)", "string_insert('ß', 'héllo', 3)"}),
       "XYhello\nXYhello\nhelloXY\nhelloXY\nheXYllo\nhéßllo\n", ""},
  });
}

TEST(StringFunctions, BuildingAndFiltering) {
  RunTable({
      {"case mapping includes letters beyond ASCII",
       Show({"string_lower('HÉLLO World')", "string_upper('héllo')", "string_upper('abc1')"}),
       "héllo world\nHÉLLO\nABC1\n", ""},
      {"string_repeat rounds its count",
       Show({"string_repeat('ab', 3)", "string_repeat('ab', 0) + '|'", "string_repeat('ab', -2) + '|'",
             "string_repeat('ab', 2.5)"}),
       "ababab\n|\n|\nabab\n", ""},
      {"string_repeat cannot grow past the string limit", Show({"string_repeat('ab', 1000000000)"}), "0\n",
       ActionError("Resulting string is too long.")},
      {"letters and digits", Show({"string_letters('a1B2é')", "string_digits('a1B2é')", "string_lettersdigits('a1B2é')"}),
       "aB\n12\na1B2\n", ""},
      {"replacing",
       Show({"string_replace('abcabc', 'b', 'X')", "string_replace_all('abcabc', 'b', 'X')",
             "string_replace_all('aaaa', 'aa', 'a')", "string_replace_all('abc', 'z', 'x')",
             "string_replace('abc', 'B', 'x')", "string_replace_all('héé', 'é', 'e')"}),
       "aXcabc\naXcaXc\naa\nabc\nabc\nhee\n", ""},
      {"an empty search text changes nothing",
       Show({"string_replace_all('abc', '', 'x')", "string_replace('abc', '', 'x')"}), "abc\nabc\n", ""},
      {"string_replace_all cannot grow past the string limit",
       Show({"string_replace_all(string_repeat('a', 1000), 'a', string_repeat('b', 300000))"}), "0\n",
       ActionError("Resulting string is too long.")},
      {"string_count", Show({"string_count('aa', 'aaaa')", "string_count('', 'abc')", "string_count('é', 'éaé')"}),
       "2\n0\n2\n", ""},
  });
}

// Walking a long text position by position must not cost the whole text at
// every step: with 200000 characters a quadratic walk would not finish.
TEST(StringFunctions, WalkingLongTextsStaysLinear) {
  RunTable({
      {"ASCII and non-ASCII texts walked by string_char_at, string_copy and string_pos",
       "a = string_repeat('ab', 100000); e = string_repeat('éb', 100000); n = 0; m = 0; k = 0;\n"
       "for (i = 1; i <= string_length(a); i += 1) { if (string_char_at(a, i) == 'b') n += 1;"
       " if (string_copy(e, i, 1) == 'é') m += 1; if (string_pos('bé', e) == 2) k += 1 }\n" +
           Show({"n", "m", "k"}),
       "100000\n100000\n200000\n", ""},
  });
}

}  // namespace tavrin::test
