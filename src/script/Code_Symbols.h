// The codes of the language, each listed once: the lexer's symbols, the
// operators with their binary level, and the kinds of tree node. The enums
// and the precedence table are made from these lists, so a new operator is
// one line here (and its spelling in the lexer's table).
//
// Keep the numbers: a keyword's symbol and its node share a code (SYM_IF and
// TK_IF), and runs of codes are used as groups (the assignment forms, the
// comparisons from OP_LESS to OP_GREATER).
#pragma once

#include <cstdint>

namespace tavrin {

// X(name, code)
#define TAVRIN_SYMBOLS(X)  \
  X(SYM_END, -2)           \
  X(SYM_BAD, -1)           \
  X(SYM_IDENT, 0)          \
  X(SYM_NUMBER, 1)         \
  X(SYM_STRING, 2)         \
  X(SYM_VALUE, 5)          \
  X(SYM_FUNCTION, 6)       \
  X(SYM_VARIABLE, 7)       \
  X(SYM_BEGIN, 11)         \
  X(SYM_END_BLOCK, 12)     \
  X(SYM_IF, 13)            \
  X(SYM_THEN, 14)          \
  X(SYM_ELSE, 15)          \
  X(SYM_WHILE, 16)         \
  X(SYM_DO, 17)            \
  X(SYM_FOR, 18)           \
  X(SYM_UNTIL, 19)         \
  X(SYM_REPEAT, 20)        \
  X(SYM_EXIT, 21)          \
  X(SYM_BREAK, 22)         \
  X(SYM_CONTINUE, 23)      \
  X(SYM_WITH, 24)          \
  X(SYM_RETURN, 25)        \
  X(SYM_SWITCH, 26)        \
  X(SYM_CASE, 27)          \
  X(SYM_DEFAULT, 28)       \
  X(SYM_VAR, 29)           \
  X(SYM_GLOBALVAR, 30)     \
  X(SYM_ASSIGN, 101)       \
  X(SYM_PLUSASSIGN, 102)   \
  X(SYM_MINUSASSIGN, 103)  \
  X(SYM_TIMESASSIGN, 104)  \
  X(SYM_DIVASSIGN, 105)    \
  X(SYM_LPAREN, 106)       \
  X(SYM_RPAREN, 107)       \
  X(SYM_SEMICOLON, 108)    \
  X(SYM_COMMA, 109)        \
  X(SYM_LBRACKET, 110)     \
  X(SYM_RBRACKET, 111)     \
  X(SYM_DOT, 112)          \
  X(SYM_COLON, 113)        \
  X(SYM_ORASSIGN, 114)     \
  X(SYM_ANDASSIGN, 115)    \
  X(SYM_XORASSIGN, 116)

// X(name, code, level): the binary level, 1 the loosest to 6 the tightest; 0
// for an operator that is only unary.
#define TAVRIN_OPERATORS(X)   \
  X(OP_AND, 201, 1)           \
  X(OP_OR, 202, 1)            \
  X(OP_NOT, 203, 0)           \
  X(OP_LESS, 204, 2)          \
  X(OP_LESSEQUAL, 205, 2)     \
  X(OP_EQUAL, 206, 2)         \
  X(OP_NOTEQUAL, 207, 2)      \
  X(OP_GREATEREQUAL, 208, 2)  \
  X(OP_GREATER, 209, 2)       \
  X(OP_PLUS, 210, 5)          \
  X(OP_MINUS, 211, 5)         \
  X(OP_TIMES, 212, 6)         \
  X(OP_DIVIDE, 213, 6)        \
  X(OP_DIV, 214, 6)           \
  X(OP_MOD, 215, 6)           \
  X(OP_XOR, 216, 1)           \
  X(OP_BITOR, 217, 3)         \
  X(OP_BITAND, 218, 3)        \
  X(OP_BITXOR, 219, 3)        \
  X(OP_BITNOT, 220, 0)        \
  X(OP_SHIFTLEFT, 221, 4)     \
  X(OP_SHIFTRIGHT, 222, 4)

// X(name, code)
#define TAVRIN_NODES(X)   \
  X(TK_EMPTYPROGRAM, -2)  \
  X(TK_EMPTY, -1)         \
  X(TK_CONSTANT, 5)       \
  X(TK_FUNCTION, 6)       \
  X(TK_VARIABLE, 7)       \
  X(TK_FIXEDVARIABLE, 8)  \
  X(TK_IF, 13)            \
  X(TK_WHILE, 16)         \
  X(TK_DO, 17)            \
  X(TK_FOR, 18)           \
  X(TK_REPEAT, 20)        \
  X(TK_EXIT, 21)          \
  X(TK_BREAK, 22)         \
  X(TK_CONTINUE, 23)      \
  X(TK_WITH, 24)          \
  X(TK_RETURN, 25)        \
  X(TK_SWITCH, 26)        \
  X(TK_CASE, 27)          \
  X(TK_DEFAULT, 28)       \
  X(TK_VAR, 29)           \
  X(TK_GLOBALVAR, 30)     \
  X(TK_ASSIGN, 101)       \
  X(TK_BLOCK, 1000)       \
  X(TK_UNARY, 1010)       \
  X(TK_BINARY, 1011)

#define TAVRIN_CODE(name, code, ...) name = code,
enum : int32_t { TAVRIN_SYMBOLS(TAVRIN_CODE) TAVRIN_OPERATORS(TAVRIN_CODE) };
enum : int32_t { TAVRIN_NODES(TAVRIN_CODE) };
#undef TAVRIN_CODE

constexpr int32_t kOperatorLevels = 6;

// The binary level of a symbol, 0 when it joins no two operands. A lone "="
// inside an expression compares, at the level of the comparisons.
constexpr int32_t Operator_Level(int32_t symbol) {
  switch (symbol) {
#define TAVRIN_LEVEL(name, code, level) \
  case code: return level;
    TAVRIN_OPERATORS(TAVRIN_LEVEL)
#undef TAVRIN_LEVEL
    case SYM_ASSIGN: return 2;
    default: return 0;
  }
}

}  // namespace tavrin
