// Phase 3: the parser. Recursive descent over the resolved tokens; every
// routine takes the index of its first token and returns the index after what
// it consumed, or -1 once an error is recorded.
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "script/Code_Phase.h"
#include "script/Variable_Main.h"

namespace tavrin {

namespace {

class Parser {
 public:
  Parser(const CCode* code, const RTokens2& tk) : code_(code), tk_(tk.tokens), values_(tk.values) {}

  bool Program(RToken& root) {
    if (Sym(0) == SYM_END) {
      root.kind = TK_EMPTYPROGRAM;
      return true;
    }
    if (Sym(0) == SYM_BEGIN) {
      int32_t i = Statement(0, root);
      if (i < 0) return false;
      if (Sym(i) != SYM_END) return Fail(i, "Program ends before end of the code.");
      return true;
    }
    root.kind = TK_BLOCK;
    root.position = Pos(0);
    int32_t i = 0;
    while (Sym(i) != SYM_END) {
      root.items.emplace_back();
      i = Statement(i, root.items.back());
      if (i < 0) return false;
    }
    return Seal(root, 0) >= 0;
  }

  bool Expression(RToken& root) {
    if (Sym(0) == SYM_END) {
      root.kind = TK_CONSTANT;
      root.value = RValue::Real(0.0);
      root.position = Pos(0);
      return true;
    }
    return Expr(0, root) >= 0;
  }

 private:
  int32_t Sym(int32_t i) const { return i < static_cast<int32_t>(tk_.size()) ? tk_[i].symbol : SYM_END; }
  int32_t Pos(int32_t i) const {
    if (i < static_cast<int32_t>(tk_.size())) return tk_[i].position;
    return tk_.empty() ? 1 : tk_.back().position;
  }
  bool Fail(int32_t i, const char* message) {
    Error_SetCodeError(code_, Pos(i), message);
    return false;
  }
  int32_t FailAt(int32_t i, const char* message) {
    Fail(i, message);
    return -1;
  }
  // Computes the node's height from its children and refuses trees too high
  // for the recursive passes that follow.
  int32_t Seal(RToken& node, int32_t next) {
    int32_t d = 0;
    for (const auto& c : node.items)
      if (c.depth > d) d = c.depth;
    node.depth = d + 1;
    if (node.depth > kMaxTreeDepth) return FailAt(next, "Code is nested too deeply.");
    return next;
  }
  // Guards every recursive entry of the parser.
  bool Enter(int32_t i) {
    if (++nesting_ > kMaxCodeNesting) return Fail(i, "Code is nested too deeply.");
    // Compiling with the stack nearly used up happens only in runaway
    // recursion through execute_string: that ends the game.
    if (Code_StackExhausted()) {
      Code_ReportRecursion(code_, Pos(i));
      return false;
    }
    return true;
  }

  struct Nest {
    explicit Nest(Parser& p) : p_(p) {}
    ~Nest() { --p_.nesting_; }
    Parser& p_;
  };

  int32_t Statement(int32_t i, RToken& node) {
    Nest nest(*this);
    if (!Enter(i)) return -1;
    i = StatementBody(i, node);
    if (i < 0) return -1;
    while (Sym(i) == SYM_SEMICOLON) ++i;
    return Seal(node, i);
  }

  int32_t Child(RToken& node, int32_t i, bool statement) {
    node.items.emplace_back();
    return statement ? Statement(i, node.items.back()) : Expr(i, node.items.back());
  }

  int32_t StatementBody(int32_t i, RToken& node) {
    const int32_t sym = Sym(i);
    switch (sym) {
      case SYM_FUNCTION: return Call(i, node);
      case SYM_BEGIN: {
        node.kind = TK_BLOCK;
        node.position = Pos(i + 1);
        ++i;
        while (Sym(i) != SYM_END_BLOCK) {
          if (Sym(i) == SYM_END) return FailAt(i, "Symbol } expected.");
          if ((i = Child(node, i, true)) < 0) return -1;
        }
        return i + 1;
      }
      case SYM_IF:
        node.kind = TK_IF;
        node.position = Pos(i + 1);
        if ((i = Child(node, i + 1, false)) < 0) return -1;
        if (Sym(i) == SYM_THEN) ++i;
        if ((i = Child(node, i, true)) < 0) return -1;
        if (Sym(i) == SYM_ELSE && (i = Child(node, i + 1, true)) < 0) return -1;
        return i;
      case SYM_WHILE:
      case SYM_WITH:
        node.kind = sym == SYM_WHILE ? TK_WHILE : TK_WITH;
        node.position = Pos(i + 1);
        if ((i = Child(node, i + 1, false)) < 0) return -1;
        if (Sym(i) == SYM_DO) ++i;
        return Child(node, i, true);
      case SYM_DO:
        node.kind = TK_DO;
        node.position = Pos(i + 1);
        if ((i = Child(node, i + 1, true)) < 0) return -1;
        if (Sym(i) != SYM_UNTIL) return FailAt(i, "Keyword until expected.");
        return Child(node, i + 1, false);
      case SYM_FOR:
        node.kind = TK_FOR;
        node.position = Pos(i + 1);
        if (Sym(i + 1) != SYM_LPAREN) return FailAt(i + 1, "Symbol ( expected.");
        if ((i = Child(node, i + 2, true)) < 0) return -1;
        if (Sym(i) == SYM_SEMICOLON) ++i;
        if ((i = Child(node, i, false)) < 0) return -1;
        if (Sym(i) == SYM_SEMICOLON) ++i;
        if ((i = Child(node, i, true)) < 0) return -1;
        if (Sym(i) != SYM_RPAREN) return FailAt(i, "Symbol ) expected.");
        return Child(node, i + 1, true);
      case SYM_REPEAT:
        node.kind = TK_REPEAT;
        node.position = Pos(i + 1);
        if ((i = Child(node, i + 1, false)) < 0) return -1;
        return Child(node, i, true);
      case SYM_EXIT:
      case SYM_BREAK:
      case SYM_CONTINUE:
        node.kind = sym == SYM_EXIT ? TK_EXIT : sym == SYM_BREAK ? TK_BREAK : TK_CONTINUE;
        node.position = Pos(i);
        return i + 1;
      case SYM_RETURN:
        node.kind = TK_RETURN;
        node.position = Pos(i + 1);
        return Child(node, i + 1, false);
      case SYM_SWITCH:
        node.kind = TK_SWITCH;
        node.position = Pos(i + 1);
        if ((i = Child(node, i + 1, false)) < 0) return -1;
        if (Sym(i) != SYM_BEGIN) return FailAt(i, "Symbol { expected.");
        ++i;
        while (Sym(i) != SYM_END_BLOCK) {
          if (Sym(i) == SYM_END) return FailAt(i, "Symbol } expected.");
          if ((i = Child(node, i, true)) < 0) return -1;
        }
        return i + 1;
      case SYM_CASE:
        node.kind = TK_CASE;
        node.position = Pos(i + 1);
        if ((i = Child(node, i + 1, false)) < 0) return -1;
        if (Sym(i) != SYM_COLON) return FailAt(i, "Symbol : expected.");
        return i + 1;
      case SYM_DEFAULT:
        node.kind = TK_DEFAULT;
        node.position = Pos(i + 1);
        if (Sym(i + 1) != SYM_COLON) return FailAt(i + 1, "Symbol : expected.");
        return i + 2;
      case SYM_VAR:
      case SYM_GLOBALVAR:
        node.kind = sym == SYM_VAR ? TK_VAR : TK_GLOBALVAR;
        node.position = Pos(i + 1);
        ++i;
        while (Sym(i) == SYM_VARIABLE) {
          if (tk_[i].ind < kFirstInstanceId) return FailAt(i, "Cannot redeclare a builtin variable.");
          node.items.emplace_back();
          RToken& name = node.items.back();
          name.kind = TK_CONSTANT;
          name.ind = tk_[i].ind;
          name.position = Pos(i);
          ++i;
          if (Sym(i) == SYM_COMMA) ++i;
        }
        return i;
      case SYM_SEMICOLON:
        node.kind = TK_EMPTY;
        node.position = Pos(i);
        return i + 1;
      case SYM_END: return FailAt(i, "Unexpected end of code reached.");
      default: {
        node.kind = TK_ASSIGN;
        node.position = Pos(i);
        const int32_t start = i;
        node.items.emplace_back();
        if ((i = Postfix(i, node.items.back())) < 0) return -1;
        if (node.items[0].kind != TK_VARIABLE) return FailAt(start, "Variable name expected.");
        const int32_t op = Sym(i);
        if (!(op == SYM_ASSIGN || (op >= SYM_PLUSASSIGN && op <= SYM_DIVASSIGN) ||
              (op >= SYM_ORASSIGN && op <= SYM_XORASSIGN)))
          return FailAt(i, "Assignment operator expected.");
        node.ind = op;
        return Child(node, i + 1, false);
      }
    }
  }

  int32_t Call(int32_t i, RToken& node) {
    node.kind = TK_FUNCTION;
    node.ind = tk_[i].ind;
    node.position = Pos(i);
    // The name and "(" are followed by the arguments.
    if ((i = List(node, i + 2, SYM_RPAREN, "Symbol ) expected.", "Symbol , or ) expected.")) < 0) return -1;
    const int32_t argc = node.itemnumb();
    const int32_t expected = Function_ArgCount(node.ind);
    if (argc > kMaxArgumentSlots || (expected != -1 && expected != argc))
      return FailAt(i - 1, "Wrong number of arguments to function or script.");
    return Seal(node, i);
  }

  // Expressions separated by commas up to the closing symbol, which is
  // consumed; an immediate closing symbol gives an empty list.
  int32_t List(RToken& node, int32_t i, int32_t close, const char* endMessage, const char* sepMessage) {
    if (Sym(i) == close) return i + 1;
    for (;;) {
      if ((i = Child(node, i, false)) < 0) return -1;
      if (Sym(i) == close) return i + 1;
      if (Sym(i) == SYM_END) return FailAt(i, endMessage);
      if (Sym(i) != SYM_COMMA) return FailAt(i, sepMessage);
      ++i;
    }
  }

  int32_t Expr(int32_t i, RToken& node) {
    Nest nest(*this);
    if (!Enter(i)) return -1;
    return Binary(1, i, node);
  }

  int32_t Binary(int32_t level, int32_t i, RToken& node) {
    if (level > kOperatorLevels) return Postfix(i, node);
    if ((i = Binary(level + 1, i, node)) < 0) return -1;
    while (Operator_Level(Sym(i)) == level) {
      RToken left = std::move(node);
      node = RToken();
      node.kind = TK_BINARY;
      node.ind = Sym(i);
      node.position = left.position;
      node.items.push_back(std::move(left));
      node.items.emplace_back();
      if ((i = Binary(level + 1, i + 1, node.items.back())) < 0) return -1;
      if (Seal(node, i) < 0) return -1;
    }
    return i;
  }

  int32_t Postfix(int32_t i, RToken& node) {
    if ((i = Primary(i, node)) < 0) return -1;
    while (Sym(i) == SYM_DOT) {
      if (Sym(i + 1) != SYM_VARIABLE) return FailAt(i + 1, "Variable name expected.");
      RToken owner = std::move(node);
      node = RToken();
      if ((i = Variable(i + 1, node, &owner)) < 0) return -1;
    }
    return i;
  }

  // A variable token with its optional index list; the owner is the implicit
  // one unless given.
  int32_t Variable(int32_t i, RToken& node, RToken* owner) {
    node.kind = TK_VARIABLE;
    node.ind = tk_[i].ind;
    if (owner) {
      node.position = owner->position;
      node.items.push_back(std::move(*owner));
    } else {
      node.position = Pos(i);
      node.items.emplace_back();
      RToken& implicit = node.items.back();
      implicit.kind = TK_CONSTANT;
      implicit.value = RValue::Real(OWNER_IMPLICIT);
      implicit.position = Pos(i + 1);
    }
    ++i;
    if (Sym(i) == SYM_LBRACKET) {
      if ((i = List(node, i + 1, SYM_RBRACKET, "Symbol ] expected.", "Symbol , or ] expected.")) < 0) return -1;
      if (node.itemnumb() > 3) return FailAt(i, "Only 1- and 2-dimensional arrays are supported.");
    }
    return Seal(node, i);
  }

  int32_t Primary(int32_t i, RToken& node) {
    switch (Sym(i)) {
      case SYM_VALUE:
        node.kind = TK_CONSTANT;
        node.value = values_[static_cast<size_t>(tk_[i].ind)];
        node.position = Pos(i);
        return i + 1;
      case SYM_FUNCTION: return Call(i, node);
      case SYM_VARIABLE: return Variable(i, node, nullptr);
      case SYM_LPAREN:
        if ((i = Expr(i + 1, node)) < 0) return -1;
        if (Sym(i) != SYM_RPAREN) return FailAt(i, "Symbol ) expected.");
        return i + 1;
      case OP_NOT:
      case OP_PLUS:
      case OP_MINUS:
      case OP_BITNOT: {
        Nest nest(*this);
        if (!Enter(i)) return -1;
        node.kind = TK_UNARY;
        node.ind = Sym(i);
        node.position = Pos(i);
        node.items.emplace_back();
        if ((i = Postfix(i + 1, node.items.back())) < 0) return -1;
        return Seal(node, i);
      }
      default: return FailAt(i, "Unexpected symbol in expression.");
    }
  }

  const CCode* code_;
  const std::vector<RToken2>& tk_;
  const std::vector<RValue>& values_;
  int32_t nesting_ = 0;
};

}  // namespace

bool Code_Phase3(const CCode* code, const RTokens2& in, bool isexp, RToken& root) {
  Parser parser(code, in);
  return isexp ? parser.Expression(root) : parser.Program(root);
}

}  // namespace tavrin
