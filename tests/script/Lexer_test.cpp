// Tokens, comments, literals and name resolution.
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(Lexer, TokensCommentsAndLiterals) {
  RunTable({
      {"both assignment forms", "a := 5; b = 6; show_debug_message(a + b)", "11\n", ""},
      {"word and symbol operators agree", "show_debug_message((1 and 0) + (1 or 0) * 10 + (1 xor 1) * 100)", "10\n", ""},
      {"<> is !=", "show_debug_message((1 <> 2) + (1 != 1))", "1\n", ""},
      {"begin end are braces", "begin a = 1; show_debug_message(a) end", "1\n", ""},
      {"comment closes on its own star", "q=/*/5; show_debug_message(q)", "5\n", ""},
      {"line comments", "// first\nq = 2 // second\nshow_debug_message(q)", "2\n", ""},
      {"unterminated block comment runs to the end", "show_debug_message(1) /* show_debug_message(2)", "1\n", ""},
      {"decimal forms", "show_debug_message(0.5 + .5 + 00.50)", "1.50\n", ""},
      {"two dots keep digits", "show_debug_message(1.2.3)", "1.23\n", ""},
      {"hexadecimal", "show_debug_message($ff + $FF)", "510\n", ""},
      {"dollar alone is zero", "show_debug_message($)", "0\n", ""},
      {"digits before a letter", "q = 12; show_debug_message(12 + q)", "24\n", ""},
      {"single quotes hold double quotes", "show_debug_message('say \"hi\"')", "say \"hi\"\n", ""},
      {"double quotes hold single quotes", "show_debug_message(\"it's\")", "it's\n", ""},
      {"strings keep line breaks", "show_debug_message(\"a\nb\")", "a\nb\n", ""},
      {"unterminated string takes the blanks after the text", "show_debug_message(\"[\" + s() + \"]\")\n#define s\nreturn \"a",
       "[a   ]\n", ""},
      {"keywords are case-sensitive", "IF = 3; Begin = 4; show_debug_message(IF + Begin)", "7\n", ""},
      {"non-ASCII letters start no token", "q = 1\nshow_debug_message(q) \xc3\xa9", "",
       CompileError(CodeError(2, "show_debug_message(q) \xc3\xa9", 23, "Unexpected symbol.", 24)), 2},
      {"stray character", "a = 1 # 2", "", CompileError(CodeError(1, "a = 1 # 2", 7, "Unexpected symbol.")), 2},
      {"no exponents: 1e3 is 1 then e3", "a = 1e3", "",
       CompileError(CodeError(1, "a = 1e3", 7, "Assignment operator expected.")), 2},
  });
}

TEST(Lexer, NameResolution) {
  RunTable({
      {"built-in constants", "show_debug_message(c_red); show_debug_message(pi); show_debug_message(noone)",
       "255\n3.14\n-4\n", ""},
      {"functions are case-sensitive", "Random(3)", "",
       CompileError(CodeError(1, "Random(3)", 1, "Unknown function or script: Random")), 2},
      {"a name before ( must be a function", "nothing(1)", "",
       CompileError(CodeError(1, "nothing(1)", 1, "Unknown function or script: nothing")), 2},
      {"a script hides a built-in function", "show_debug_message(random(3))\n#define random\nreturn 42", "42\n", ""},
      {"a function not yet available still compiles and reports when called",
       "q = mplay_init_ipx(); show_debug_message(q)", "0\n",
       ActionError("Function mplay_init_ipx is not available yet.")},
      {"constants cannot be assigned", "c_red = 1", "",
       CompileError(CodeError(1, "c_red = 1", 1, "Variable name expected.")), 2},
  });
}

}  // namespace tavrin::test
