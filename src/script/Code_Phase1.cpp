// Phase 1: the lexer. Positions are 1-based and count UTF-16 code units, the
// unit in which the error messages give columns.
#include "script/Code_Error.h"
#include "script/Code_Phase.h"
#include "script/Code_Text.h"

namespace tavrin {

namespace {

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) { return IsDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'); }

struct RKeyword {
  const char16_t* text;
  int32_t symbol;
};
constexpr RKeyword kKeywords[] = {
    {u"begin", SYM_BEGIN},   {u"end", SYM_END_BLOCK},   {u"if", SYM_IF},
    {u"then", SYM_THEN},     {u"else", SYM_ELSE},       {u"while", SYM_WHILE},
    {u"do", SYM_DO},         {u"for", SYM_FOR},         {u"with", SYM_WITH},
    {u"until", SYM_UNTIL},   {u"repeat", SYM_REPEAT},   {u"exit", SYM_EXIT},
    {u"return", SYM_RETURN}, {u"break", SYM_BREAK},     {u"continue", SYM_CONTINUE},
    {u"switch", SYM_SWITCH}, {u"case", SYM_CASE},       {u"default", SYM_DEFAULT},
    {u"and", OP_AND},        {u"or", OP_OR},            {u"not", OP_NOT},
    {u"div", OP_DIV},        {u"mod", OP_MOD},          {u"xor", OP_XOR},
    {u"var", SYM_VAR},       {u"globalvar", SYM_GLOBALVAR},
};

constexpr RKeyword kTwoCharOps[] = {
    {u":=", SYM_ASSIGN},     {u"+=", SYM_PLUSASSIGN},    {u"-=", SYM_MINUSASSIGN}, {u"*=", SYM_TIMESASSIGN},
    {u"/=", SYM_DIVASSIGN},  {u"&&", OP_AND},            {u"||", OP_OR},           {u"<=", OP_LESSEQUAL},
    {u"==", OP_EQUAL},       {u"!=", OP_NOTEQUAL},       {u"<>", OP_NOTEQUAL},     {u">=", OP_GREATEREQUAL},
    {u"|=", SYM_ORASSIGN},   {u"&=", SYM_ANDASSIGN},     {u"^=", SYM_XORASSIGN},   {u"<<", OP_SHIFTLEFT},
    {u">>", OP_SHIFTRIGHT},  {u"^^", OP_XOR},
};

int32_t SingleCharOp(char16_t c) {
  switch (c) {
    case u'!': return OP_NOT;
    case u'&': return OP_BITAND;
    case u'(': return SYM_LPAREN;
    case u')': return SYM_RPAREN;
    case u'*': return OP_TIMES;
    case u'+': return OP_PLUS;
    case u',': return SYM_COMMA;
    case u'-': return OP_MINUS;
    case u'.': return SYM_DOT;
    case u'/': return OP_DIVIDE;
    case u':': return SYM_COLON;
    case u';': return SYM_SEMICOLON;
    case u'<': return OP_LESS;
    case u'=': return SYM_ASSIGN;
    case u'>': return OP_GREATER;
    case u'[': return SYM_LBRACKET;
    case u']': return SYM_RBRACKET;
    case u'^': return OP_BITXOR;
    case u'{': return SYM_BEGIN;
    case u'|': return OP_BITOR;
    case u'}': return SYM_END_BLOCK;
    case u'~': return OP_BITNOT;
    default: return SYM_BAD;
  }
}

}  // namespace

bool Code_Phase1(const CCode* code, std::u16string& t, std::vector<RToken1>& out) {
  out.clear();
  // The text is scanned with three blanks appended, so every look-ahead of one
  // or two characters stays inside it.
  t = Text_ToUTF16(code->GetText());
  t.append(u"   ");
  const std::u16string_view view(t);
  const size_t n = t.size();
  size_t p = 0;  // 0-based here; positions reported are p + 1
  auto at = [&](size_t i) -> char16_t { return i < n ? t[i] : u'\0'; };
  for (;;) {
    while (p < n && t[p] <= 32) ++p;
    if (p >= n) {
      out.push_back({SYM_END, static_cast<int32_t>(p + 1), {}});
      return true;
    }
    char16_t c = t[p];
    if (c == u'/' && at(p + 1) == u'/') {
      while (p < n && t[p] != u'\r' && t[p] != u'\n') ++p;
      ++p;
      continue;
    }
    if (c == u'/' && at(p + 1) == u'*') {
      // The search starts on the '*' of the opener, so "/*/" closes itself.
      ++p;
      while (p + 1 < n && !(t[p] == u'*' && t[p + 1] == u'/')) ++p;
      p += 2;
      continue;
    }
    RToken1 tok;
    tok.position = static_cast<int32_t>(p + 1);
    if (IsLetter(c)) {
      size_t s = p;
      while (p < n && (IsLetter(t[p]) || IsDigit(t[p]))) ++p;
      tok.str = view.substr(s, p - s);
      tok.symbol = SYM_IDENT;
      for (const auto& kw : kKeywords)
        if (tok.str == kw.text) {
          tok.symbol = kw.symbol;
          break;
        }
    } else if (IsDigit(c) || c == u'$' || (c == u'.' && IsDigit(at(p + 1)))) {
      size_t s = p;
      bool hex = c == u'$';
      if (hex) ++p;
      while (p < n && (IsDigit(t[p]) || (hex ? IsHexDigit(t[p]) : t[p] == u'.'))) ++p;
      tok.str = view.substr(s, p - s);
      tok.symbol = SYM_NUMBER;
    } else if (c == u'"' || c == u'\'') {
      size_t s = ++p;
      while (p < n && t[p] != c) ++p;
      tok.str = view.substr(s, p - s);
      tok.symbol = SYM_STRING;
      if (p < n) ++p;
    } else {
      tok.symbol = SYM_BAD;
      if (p + 1 < n) {
        for (const auto& op : kTwoCharOps)
          if (op.text[0] == c && op.text[1] == t[p + 1]) {
            tok.symbol = op.symbol;
            tok.str = view.substr(p, 2);
            p += 2;
            break;
          }
      }
      if (tok.symbol == SYM_BAD) {
        tok.symbol = SingleCharOp(c);
        tok.str = view.substr(p, 1);
        ++p;
      }
      if (tok.symbol == SYM_BAD) {
        Error_SetCodeError(code, tok.position, "Unexpected symbol.");
        return false;
      }
    }
    out.push_back(std::move(tok));
  }
}

}  // namespace tavrin
