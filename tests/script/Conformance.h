// Tables of language cases: code in; standard output, standard error and exit
// status out. Each case runs as its own game.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace tavrin::test {

// Game settings a case needs; such cases run inside the test process.
enum : unsigned {
  SET_NONE = 0,
  SET_UNINITZERO = 1,
  SET_CHECKARGS = 2,
  SET_ABORTERRORS = 4,
  SET_NOSHOWERRORS = 8,
  SET_INPROCESS = 16,  // run in this process (to use test-only built-ins)
};

struct CodeCase {
  std::string name;
  std::string code;
  std::string out;  // expected standard output exactly
  std::string err;  // expected standard error exactly ("\n" ends each line)
  int status = 0;
  unsigned settings = SET_NONE;
};

struct CodeResult {
  std::string out;
  std::string err;
  int status = -1;
};

// Runs `code` as the create-event code of a blank game.
CodeResult RunCode(const std::string& code, unsigned settings = SET_NONE);

// Runs every case of a table and reports each mismatch with the case's name.
void RunTable(const std::vector<CodeCase>& cases);

// Standard error of a non-fatal error reported for the blank game's one code
// action (its create event), and of that action failing to compile.
std::string ActionError(const std::string& body);
std::string CompileError(const std::string& body);

// A program printing each expression on its own line.
std::string Show(std::initializer_list<const char*> expressions);

// The located text of an error in code: line, the offending line, a caret
// after caret + 1 blanks (column + 1 when not given), the column and the
// message.
std::string CodeError(int line, const std::string& text, int column, const std::string& message, int caret = -1);

}  // namespace tavrin::test
