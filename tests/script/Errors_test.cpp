// Error texts and reporting: positions in text with any line ends, the error
// variables, the first error winning, fatal errors and the settings that steer
// reporting.
#include <gtest/gtest.h>

#include "Conformance.h"

namespace tavrin::test {

TEST(Errors, LineEndsGiveTheSameLineAndCaret) {
  // The same program with CR LF, LF and CR line ends: the error on line 3 is
  // shown with the same line and caret. A new line starts at column 0, so
  // the column is one less with single-character line ends, where there is
  // no LF after a CR to count.
  const std::string line3 = "r = q + nothing";
  const std::string message = "Unknown variable nothing";
  RunTable({
      {"CR LF", "q = 1\r\n// two\r\nr = q + nothing", "", ActionError(CodeError(3, line3, 10, message))},
      {"LF", "q = 1\n// two\nr = q + nothing", "", ActionError(CodeError(3, line3, 9, message, 10))},
      {"CR", "q = 1\r// two\rr = q + nothing", "", ActionError(CodeError(3, line3, 9, message, 10))},
      {"LF on the first line only", "q = 1\n// two\r\nr = q + nothing", "", ActionError(CodeError(3, line3, 10, message))},
      {"first line", "r = nothing\nq = 1", "", ActionError(CodeError(1, "r = nothing", 5, "Unknown variable nothing"))},
      {"compiling, LF", "q = 1\nab#", "", CompileError(CodeError(2, "ab#", 3, "Unexpected symbol.", 4)), 2},
  });
}

TEST(Errors, CaretUnderSecondLineOfCrLfText) {
  // First line ended by CR LF, the error at the third character of the second
  // line: line 2, column 4 (the LF counts), a caret after 5 blanks.
  CodeResult r = RunCode("q = 1\r\nab#");
  EXPECT_EQ(r.err, CompileError("Error in code at line 2:\n   ab#\n     ^\nat position 4: Unexpected symbol."));
  EXPECT_EQ(r.status, 2);
}

TEST(Errors, ErrorVariables) {
  RunTable({
      {"error_occurred and error_last hold the last report",
       "show_debug_message(error_occurred); execute_string(\"q = nothing\"); show_debug_message(error_occurred); "
       "show_debug_message(error_last); error_occurred = 0.5; show_debug_message(error_occurred); "
       "error_occurred = 0.4; show_debug_message(error_occurred); error_last = \"mine\"; show_debug_message(error_last)",
       "0\n1\nERROR in\r\naction number 1\r\nof Create Event\r\nfor object object0:\r\n\r\n"
       "Error in code at line 1:\r   q = nothing\r      ^\rat position 5: Unknown variable nothing\n1\n0\nmine\n",
       ActionError(CodeError(1, "q = nothing", 5, "Unknown variable nothing"))},
  });
}

TEST(Errors, FirstErrorWinsAndReportedErrorsClear) {
  // After script_execute reports the script's error, the caller's own next
  // error is recorded with its own text.
  RunTable({
      {"script_execute then an error of the caller",
       "script_execute(bad); show_debug_message(\"on\"); q = 1 - own\n#define bad\nr = inner", "on\n",
       ActionError("In script bad:\n" + CodeError(1, "r = inner", 5, "Unknown variable inner")) +
           ActionError(CodeError(1, "script_execute(bad); show_debug_message(\"on\"); q = 1 - own", 56, "Unknown variable own"))},
      {"an argument-count failure of script_execute",
       "script_execute(two, 1); q = own\n#define two\nr = argument1", "",
       ActionError("Illegal argument count calling script \"two\".\nScript requires 2 arguments, 1 have been supplied.") +
           ActionError(CodeError(1, "script_execute(two, 1); q = own", 29, "Unknown variable own")),
       0, SET_CHECKARGS},
      {"execute_string that does not compile, then an error of the caller", "execute_string(\"r = \"); q = own", "",
       "COMPILATION ERROR in string to be executed\n" + CodeError(1, "r = ", 4, "Unexpected symbol in expression.") + "\n" +
           ActionError(CodeError(1, "execute_string(\"r = \"); q = own", 29, "Unknown variable own"))},
      {"execute_string then an error of the caller", "execute_string(\"r = inner\"); q = own", "",
       ActionError(CodeError(1, "r = inner", 5, "Unknown variable inner")) +
           ActionError(CodeError(1, "execute_string(\"r = inner\"); q = own", 34, "Unknown variable own"))},
  });
}

TEST(Errors, FatalErrorsAndSettings) {
  RunTable({
      {"show_error fatal ends the game at once", "show_debug_message(1); show_error(\"bad\", true); show_debug_message(2)", "1\n",
       "FATAL ERROR in\naction number 1\nof Create Event\nfor object object0:\n\nbad\n", 2},
      {"show_error non-fatal goes on", "show_error(\"bad\", false); show_debug_message(2)", "2\n", ActionError("bad")},
      {"abort on all errors", "show_debug_message(1); q = nothing; show_debug_message(2)", "1\n",
       ActionError(CodeError(1, "show_debug_message(1); q = nothing; show_debug_message(2)", 28, "Unknown variable nothing")),
       2, SET_ABORTERRORS},
      {"a built-in's error aborts when asked", "script_execute(5); show_debug_message(2)", "",
       ActionError("Trying to execute non-existing script."), 2, SET_ABORTERRORS},
      {"errors not displayed still set the variables", "execute_string(\"q = nothing\"); show_debug_message(error_occurred)",
       "1\n", "", 0, SET_NOSHOWERRORS},
      {"a script that does not compile ends the game",
       "show_debug_message(1)\n#define s\nq = = 1", "",
       "COMPILATION ERROR in Script: s\n" + CodeError(1, "q = = 1", 5, "Unexpected symbol in expression.") + "\n", 2},
  });
}

}  // namespace tavrin::test
