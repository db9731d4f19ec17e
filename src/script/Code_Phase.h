// The four compilation phases: lexing, name resolution, parsing, and the pass
// over the finished tree. Used by CCode::Compile only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/Code_Main.h"

namespace tavrin {

// Token codes of the lexer. Keywords and operators use the codes the parser
// and the operator routines share (201..222 are the operator codes).
enum : int32_t {
  SYM_END = -2,
  SYM_BAD = -1,
  SYM_IDENT = 0,
  SYM_NUMBER = 1,
  SYM_STRING = 2,
  SYM_VALUE = 5,
  SYM_FUNCTION = 6,
  SYM_VARIABLE = 7,
  SYM_BEGIN = 11,
  SYM_END_BLOCK = 12,
  SYM_IF = 13,
  SYM_THEN = 14,
  SYM_ELSE = 15,
  SYM_WHILE = 16,
  SYM_DO = 17,
  SYM_FOR = 18,
  SYM_UNTIL = 19,
  SYM_REPEAT = 20,
  SYM_EXIT = 21,
  SYM_BREAK = 22,
  SYM_CONTINUE = 23,
  SYM_WITH = 24,
  SYM_RETURN = 25,
  SYM_SWITCH = 26,
  SYM_CASE = 27,
  SYM_DEFAULT = 28,
  SYM_VAR = 29,
  SYM_GLOBALVAR = 30,
  SYM_ASSIGN = 101,
  SYM_PLUSASSIGN = 102,
  SYM_MINUSASSIGN = 103,
  SYM_TIMESASSIGN = 104,
  SYM_DIVASSIGN = 105,
  SYM_LPAREN = 106,
  SYM_RPAREN = 107,
  SYM_SEMICOLON = 108,
  SYM_COMMA = 109,
  SYM_LBRACKET = 110,
  SYM_RBRACKET = 111,
  SYM_DOT = 112,
  SYM_COLON = 113,
  SYM_ORASSIGN = 114,
  SYM_ANDASSIGN = 115,
  SYM_XORASSIGN = 116,
  OP_AND = 201,
  OP_OR = 202,
  OP_NOT = 203,
  OP_LESS = 204,
  OP_LESSEQUAL = 205,
  OP_EQUAL = 206,
  OP_NOTEQUAL = 207,
  OP_GREATEREQUAL = 208,
  OP_GREATER = 209,
  OP_PLUS = 210,
  OP_MINUS = 211,
  OP_TIMES = 212,
  OP_DIVIDE = 213,
  OP_DIV = 214,
  OP_MOD = 215,
  OP_XOR = 216,
  OP_BITOR = 217,
  OP_BITAND = 218,
  OP_BITXOR = 219,
  OP_BITNOT = 220,
  OP_SHIFTLEFT = 221,
  OP_SHIFTRIGHT = 222,
};

// A token of the lexer. Its text is a view into the UTF-16 text the lexer
// was given, which lives until the names are resolved: a token costs a few
// bytes, not a string of its own.
struct RToken1 {
  int32_t symbol = 0;
  int32_t position = 0;
  std::u16string_view str;
};

// A resolved token. The value of a literal or constant (SYM_VALUE) is kept
// aside in RTokens2::values at index `ind`, so the tokens of a long text stay
// small: most tokens carry no value.
struct RToken2 {
  int32_t symbol = 0;
  int32_t ind = 0;
  int32_t position = 0;
};
struct RTokens2 {
  std::vector<RToken2> tokens;
  std::vector<RValue> values;
};

// Phase 1: cuts the text into tokens ending with SYM_END. `text` receives the
// code's text in UTF-16, which the tokens point into.
bool Code_Phase1(const CCode* code, std::u16string& text, std::vector<RToken1>& out);

// Argument use found while resolving names.
struct RArgTracking {
  int32_t highest = -1;
  bool array = false;
};
// Phase 2: resolves identifiers to functions, constants and variables.
bool Code_Phase2(const CCode* code, const std::vector<RToken1>& in, RTokens2& out,
                 RArgTracking& args);
// Phase 3: parses the tokens into the tree.
bool Code_Phase3(const CCode* code, const RTokens2& in, bool isexp, RToken& root);
// Phase 4: marks locals, fixes constant owners and folds constant operations.
bool Code_Phase4(const CCode* code, RToken& root);

// The deepest nesting of statements and expressions a piece of code may have,
// and the greatest height of its tree. Deeper text is refused when compiled,
// so that compiling and running it cannot exhaust the machine stack.
constexpr int32_t kMaxCodeNesting = 256;
constexpr int32_t kMaxTreeDepth = 2000;

}  // namespace tavrin
