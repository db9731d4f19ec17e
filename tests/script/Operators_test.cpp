// Operators: arithmetic, comparisons with their tolerance, strings, integer
// operations and their rounding, precedence, and the errors of each.
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(Operators, RealsAndStrings) {
  RunTable({
      {"comparison tolerance", "q = 3; show_debug_message(q == 3.00000000000001); show_debug_message(q == 3.1)",
       "1\n0\n", ""},
      {"text order is code-unit order",
       "show_debug_message(\"abc\" < \"abd\"); show_debug_message(\"ab\" < \"abc\"); show_debug_message(\"B\" < \"a\")",
       "1\n1\n1\n", ""},
      // U+1F600 is a surrogate pair (D83D DE00) and sorts before U+FF61.
      {"characters beyond U+FFFF sort as surrogates", "show_debug_message(\"\xf0\x9f\x98\x80\" < \"\xef\xbd\xa1\")",
       "1\n", ""},
      {"string repetition", "show_debug_message(3 * \"ab\"); show_debug_message(\"[\" + 0 * \"ab\" + \"]\")",
       "ababab\n[]\n", ""},
      {"repetition count rounds to even", "show_debug_message(2.5 * \"x\")", "xx\n", ""},
      {"string first is no repetition", "q = \"ab\" * 3", "",
       CompileError(CodeError(1, "q = \"ab\" * 3", 12, "Wrong type of arguments to *.")), 2},
      {"concatenation", "q = \"ab\"; q += \"cd\"; show_debug_message(q + \"!\")", "abcd!\n", ""},
      {"div and mod truncate", "show_debug_message(7 div 2); show_debug_message(-7 div 2); show_debug_message(-7 mod 2); show_debug_message(7.5 mod 2)",
       "3\n-3\n-1\n1.50\n", ""},
      {"modulo by zero does not compile", "q = 5 mod 0", "",
       CompileError(CodeError(1, "q = 5 mod 0", 11, "Modulo by 0.")), 2},
      {"division by zero does not compile", "q = 1/0", "", CompileError(CodeError(1, "q = 1/0", 7, "Division by 0.")), 2},
      {"division by zero at run time", "z = 0; q = 1 / z", "",
       ActionError(CodeError(1, "z = 0; q = 1 / z", 16, "Division by 0."))},
      {"not", "show_debug_message(!2); show_debug_message(!0.49); show_debug_message(not 0.5)", "0\n1\n0\n", ""},
      {"logical operators give 1 and 0", "show_debug_message(0.5 && 0.7); show_debug_message(0.4 || 0.2); show_debug_message(1 ^^ 1)",
       "1\n0\n0\n", ""},
      {"both sides always run", "q = 0 && f(); q = 1 || f()\n#define f\nshow_debug_message(\"called\")",
       "called\ncalled\n", ""},
      {"unary on a string", "q = -\"a\"", "",
       CompileError(CodeError(1, "q = -\"a\"", 6, "Wrong type of arguments to unary operator.")), 2},
      {"comparing a string with a real", "s = \"a\"; q = s == 1", "",
       ActionError(CodeError(1, "s = \"a\"; q = s == 1", 19, "Cannot compare arguments."))},
      {"wrong kinds at run time", "s = \"a\"; q = s - 1", "",
       ActionError(CodeError(1, "s = \"a\"; q = s - 1", 18, "Wrong type of arguments to -."))},
  });
}

TEST(Operators, IntegerOperationsRoundAndSaturate) {
  RunTable({
      {"bitwise", "show_debug_message(6 & 3); show_debug_message(6 | 3); show_debug_message(6 ^ 3); show_debug_message(~0)",
       "2\n7\n5\n-1\n", ""},
      {"ties round to even", "show_debug_message(1.5 | 0); show_debug_message(2.5 | 0); show_debug_message(3.5 | 0); show_debug_message(-2.5 | 0)",
       "2\n2\n4\n-2\n", ""},
      {"shifts", "show_debug_message(1 << 3); show_debug_message(-1 >> 1); show_debug_message(1 << 64); show_debug_message(1 << 257)",
       "8\n9223372036854775808\n0\n2\n", ""},
      // NaN becomes 0; infinities and reals beyond the 64-bit range saturate.
      {"non-finite and huge reals become integers by one rule",
       "big = 1; repeat (400) big *= 10; show_debug_message((big - big) | 0); show_debug_message(big | 0); "
       "show_debug_message(-big | 0); show_debug_message(10000000000000000000 | 0); show_debug_message(~big)",
       "0\n9223372036854775808\n-9223372036854775808\n9223372036854775808\n-9223372036854775808\n", ""},
      {"div of a huge quotient keeps the low 32 bits",
       "h = 1; repeat (300) h *= 10; show_debug_message(h div 1); show_debug_message(4294967298 div 1)",
       "-1\n2\n", ""},
  });
}

TEST(Operators, Precedence) {
  RunTable({
      {"multiplication first", "show_debug_message(2 + 3 * 4)", "14\n", ""},
      {"bitwise binds looser than +", "show_debug_message(1 & 2 + 3)", "1\n", ""},
      {"comparisons chain left to right", "show_debug_message(3 < 2 == 0)", "1\n", ""},
      {"and and or bind equally", "show_debug_message(1 or 0 and 0)", "0\n", ""},
      {"unary binds tighter than +", "a = 2; show_debug_message(-a + 3); show_debug_message(!1 + 1); show_debug_message(- -a)",
       "1\n1\n2\n", ""},
            {"= inside an expression compares", "b = 1; c = 1; a = b = c; show_debug_message(a)", "1\n", ""},
  });
}

TEST(Operators, StringGrowthIsCapped) {
  RunTable({
      {"repetition beyond the limit", "n = 300000000; s = n * \"a\"; show_debug_message(\"not reached\")", "",
       ActionError(CodeError(1, "n = 300000000; s = n * \"a\"; show_debug_message(\"not reached\")", 24,
                             "Resulting string is too long."))},
      {"repetition within the limit", "n = 1000; s = n * \"ab\"; show_debug_message(s == 1000 * \"ab\")", "1\n", ""},
  });
}

}  // namespace tavrin::test
