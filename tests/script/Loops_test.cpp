// Statements: blocks, if, the loops, switch, exit, and the results they leave.
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(Loops, LoopsAndConditions) {
  RunTable({
      {"while with break and continue",
       "i = 0; s = \"\"; while (i < 10) { i += 1; if (i == 3) continue; if (i == 6) break; s += string(i) } show_debug_message(s)",
       "1245\n", ""},
      {"do until runs the body first", "i = 5; do i += 1 until (i > 0); show_debug_message(i)", "6\n", ""},
      {"for with break and continue",
       "s = \"\"; for (i = 0; i < 10; i += 1) { if (i == 2) continue; if (i == 5) break; s += string(i) } show_debug_message(s)",
       "0134\n", ""},
      {"repeat rounds its count once", "n = 0; k = 2.5; repeat (k) { n += 1; k = 10 } show_debug_message(n)", "2\n", ""},
      {"repeat of a negative count", "n = 0; repeat (-1) n += 1; show_debug_message(n)", "0\n", ""},
      {"if with then, else without braces", "a = 0; if a b = 1 else b = 2; if (b == 2) then show_debug_message(b)", "2\n", ""},
      {"while with do", "i = 0; while (i < 2) do i += 1; show_debug_message(i)", "2\n", ""},
      {"an empty branch compiles and fails when run", "show_debug_message(1); if (1) ;", "1\n",
       ActionError(CodeError(1, "show_debug_message(1); if (1) ;", 31, "Statement expected."))},
      {"a false empty branch never runs", "if (0) ; show_debug_message(1)", "1\n", ""},
      {"a block then more code", "{ q = 1 } r = 2", "",
       CompileError(CodeError(1, "{ q = 1 } r = 2", 11, "Program ends before end of the code.")), 2},
      {"an empty program", "", "", ""},
      {"only comments", "// nothing\n/* at all */", "", ""},
      {"a number then a name is no owner access", "q = 5.x", "",
       CompileError(CodeError(1, "q = 5.x", 7, "Assignment operator expected.")), 2},
      {"statements then a block", "q = 1 { r = 2 } show_debug_message(q + r)", "3\n", ""},
      {"for (;;) does not compile", "for (;;) {}", "",
       CompileError(CodeError(1, "for (;;) {}", 8, "Unexpected symbol in expression.")), 2},
      {"if on a string", "if (\"a\") q = 1", "", ActionError(CodeError(1, "if (\"a\") q = 1", 5, "Expression expected"))},
      {"while on a string", "while (\"a\") q = 1", "", ActionError(CodeError(1, "while (\"a\") q = 1", 8, "Boolean expression expected"))},
      {"until on a string", "do q = 1 until \"a\"", "", ActionError(CodeError(1, "do q = 1 until \"a\"", 16, "Boolean expression expected"))},
      {"for on a string", "for (i = 0; \"a\"; i += 1) {}", "",
       ActionError(CodeError(1, "for (i = 0; \"a\"; i += 1) {}", 13, "Expression expected"))},
      {"repeat of a string", "repeat (\"a\") {}", "", ActionError(CodeError(1, "repeat (\"a\") {}", 9, "Repeat count must be a number"))},
      {"exit ends the run", "show_debug_message(1); exit; show_debug_message(2)", "1\n", ""},
      {"break and continue at the top end the run", "show_debug_message(1); break; show_debug_message(2)", "1\n", ""},
      {"missing until", "do q = 1", "", CompileError(CodeError(1, "do q = 1", 8, "Keyword until expected.")), 2},
      {"missing parenthesis of for", "for i = 0", "", CompileError(CodeError(1, "for i = 0", 5, "Symbol ( expected.")), 2},
      {"missing brace", "{ q = 1", "", CompileError(CodeError(1, "{ q = 1", 7, "Symbol } expected.")), 2},
      {"unexpected end", "if (1)", "", CompileError(CodeError(1, "if (1)", 6, "Unexpected end of code reached.")), 2},
  });
}

TEST(Loops, Switch) {
  RunTable({
      {"fall-through from the match", "switch (2) { case 1: show_debug_message(1); case 2: show_debug_message(2); case 3: show_debug_message(3); }",
       "2\n3\n", ""},
      {"break leaves the switch", "switch (1) { case 1: show_debug_message(1); break; case 2: show_debug_message(2); }", "1\n", ""},
      {"a default met before any match", "switch (2) { default: show_debug_message(\"d\"); case 2: show_debug_message(2); }",
       "d\n2\n", ""},
      {"cases after the default are never tested",
       "switch (5) { case f(1): q = 1; default: q = 2; case f(2): q = 3; } show_debug_message(q)\n#define f\nshow_debug_message(argument0); return argument0",
       "1\n3\n", ""},
      {"no tolerance in cases",
       "v = 1 + 0.00000000000001; show_debug_message(v == 1); switch (v) { case 1: show_debug_message(\"tolerant\"); }",
       "1\n", ""},
      {"kinds must agree", "switch (\"\") { case 0: show_debug_message(\"matched\"); }", "", ""},
      {"strings match by text", "switch (\"ab\") { case \"a\" + \"b\": show_debug_message(\"ab\"); }", "ab\n", ""},
      {"continue leaves the switch and continues the loop",
       "n = 0; repeat (3) { switch (1) { case 1: continue; } n += 1 } show_debug_message(n)", "0\n", ""},
      {"case outside a switch", "if (1) case 1: q = 1", "",
       ActionError(CodeError(1, "if (1) case 1: q = 1", 13, "Case statement only allowed inside switch statement."))},
      {"a case in a block inside a switch is no label", "switch (1) { case 1: { case 2: } }", "",
       ActionError(CodeError(1, "switch (1) { case 1: { case 2: } }", 29, "Case statement only allowed inside switch statement."))},
      {"default outside a switch", "{ default: }", "",
       ActionError(CodeError(1, "{ default: }", 10, "Default statement only allowed inside switch statement."))},
      {"missing brace of switch", "switch (1) case 1:", "", CompileError(CodeError(1, "switch (1) case 1:", 12, "Symbol { expected.")), 2},
      {"missing colon", "switch (1) { case 1 q = 1 }", "",
       CompileError(CodeError(1, "switch (1) { case 1 q = 1 }", 21, "Symbol : expected.")), 2},
  });
}

}  // namespace tavrin::test
