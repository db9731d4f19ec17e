// Compiling a checked tree into the machine's instructions. Every node the
// machine has an instruction for is compiled; any other node (a `with`, a
// `switch`, a variable behind a computed owner) becomes one instruction that
// hands it to the tree walker, so nothing here decides what the language
// does: the shared rules in Code_Access.h do.
#include "script/Code_Program.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <cstring>

#include "script/Code_Function.h"
#include "script/Code_Main.h"
#include "script/Code_Operator.h"
#include "script/Code_Symbols.h"
#include "script/Variable_Main.h"

namespace tavrin {

namespace {

// The jump taken unless comparison `op` holds; the _K form when the right
// operand is a constant.
EOp UnlessOp(int32_t op, bool constant) {
  const int k = constant ? 1 : 0;
  switch (op) {
    case OP_LESS: return EOp(int(EOp::UNLESS_LT) + k);
    case OP_LESSEQUAL: return EOp(int(EOp::UNLESS_LE) + k);
    case OP_GREATER: return EOp(int(EOp::UNLESS_GT) + k);
    case OP_GREATEREQUAL: return EOp(int(EOp::UNLESS_GE) + k);
    case OP_NOTEQUAL: return EOp(int(EOp::UNLESS_NE) + k);
    default: return EOp(int(EOp::UNLESS_EQ) + k);  // OP_EQUAL, or "=" comparing
  }
}

bool IsScript(int32_t function) { return function >= kScriptIdBase && function < kExtensionIdBase; }

bool IsRealConstant(const RToken& node) { return node.kind == TK_CONSTANT && node.value.IsReal(); }

bool IsPlainVariable(const RToken& node) {
  return node.kind == TK_FIXEDVARIABLE && (node.access == VA_LOCAL || node.access == VA_SELF_USER);
}

// `for (...; v OP k1; v += k2)` or `v -= k2`, with v a local or a variable
// of self: the step, the quit check and the test are one instruction.
bool IsCountingLoop(const RToken& loop) {
  const RToken& test = loop.items[1];
  const RToken& step = loop.items[2];
  if (test.kind != TK_BINARY || !Operator_IsComparison(test.ind) || !IsRealConstant(test.items[1])) return false;
  if (step.kind != TK_ASSIGN || (step.ind != SYM_PLUSASSIGN && step.ind != SYM_MINUSASSIGN)) return false;
  const RToken& v = step.items[0];
  const RToken& w = test.items[0];
  return IsPlainVariable(v) && IsRealConstant(step.items[1]) && w.kind == v.kind && w.ind == v.ind &&
         w.access == v.access;
}

// An indexed variable with a constant owner and one or two indexes: the
// machine reads and writes its elements itself.
bool IsPlainElement(const RToken& node) {
  return node.kind == TK_VARIABLE && node.access == VA_INDEXED && (node.itemnumb() == 2 || node.itemnumb() == 3);
}

class Compiler {
 public:
  explicit Compiler(CProgram& program) : p_(program) {}

  bool Program(const RToken& root, bool expression) {
    Compile(root, expression);
    if (refused_ || handsOff_) return !refused_;
    // Nothing but the machine reaches the locals: they can live in registers.
    std::vector<int32_t> names;
    CollectLocals(root, names);
    if (names.empty() || names.size() > 64) return true;
    p_ = CProgram();
    next_ = 1;
    for (int32_t name : names) {
      locals_[name] = next_;
      p_.localRegisters.push_back(next_++);
    }
    p_.registers = next_;
    Compile(root, expression);
    return !refused_;
  }

 private:
  void Compile(const RToken& root, bool expression) {
    if (expression) {
      const uint16_t r = Alloc();
      Expr(root, r);
      Emit(EOp::RETURN, r).d = kRunResult;
    } else {
      Stmt(root);
      Emit(EOp::END);
    }
  }

  static void CollectLocals(const RToken& node, std::vector<int32_t>& names) {
    if (node.kind == TK_FIXEDVARIABLE && node.access == VA_LOCAL &&
        std::find(names.begin(), names.end(), node.ind) == names.end())
      names.push_back(node.ind);
    for (const RToken& child : node.items) CollectLocals(child, names);
  }
  // The register of a local kept in one, or kNoRegister.
  uint16_t LocalRegister(const RToken& var) const {
    if (var.kind != TK_FIXEDVARIABLE || var.access != VA_LOCAL) return kNoRegister;
    const auto found = locals_.find(var.ind);
    return found == locals_.end() ? kNoRegister : found->second;
  }

  struct Loop {
    std::vector<int32_t> breaks, continues;
  };

  CProgram& p_;
  std::vector<Loop> loops_;
  std::unordered_map<int32_t, uint16_t> locals_;  // the locals kept in registers
  bool handsOff_ = false;  // something reaches the locals other than the machine
  uint16_t next_ = 1;     // the first free register
  uint16_t result_ = kRunResult;  // where statements leave their values now
  bool refused_ = false;

  int32_t Here() const { return static_cast<int32_t>(p_.code.size()); }

  RInstruction& Emit(EOp op, uint16_t a = 0, uint16_t b = 0, uint16_t c = kNoRegister, const RToken* node = nullptr) {
    RInstruction ins;
    ins.op = op;
    ins.a = a;
    ins.b = b;
    ins.c = c;
    ins.d = result_;
    ins.node = node;
    if (op == EOp::EVAL_TREE || op == EOp::EXEC_TREE) handsOff_ = true;
    p_.code.push_back(ins);
    return p_.code.back();
  }
  void PatchTo(int32_t at, int32_t target) { p_.code[size_t(at)].target = target; }

  uint16_t Alloc() {
    if (next_ >= kMaxRegisters - 1) {
      refused_ = true;
      return 0;
    }
    const uint16_t r = next_++;
    if (next_ > p_.registers) p_.registers = next_;
    return r;
  }
  void FreeTo(uint16_t mark) { next_ = mark; }

  // --- expressions: the value of `node` into register `dst` ---
  void Expr(const RToken& node, uint16_t dst) {
    if (refused_) return;
    const uint16_t mark = next_;
    switch (node.kind) {
      case TK_CONSTANT: Emit(EOp::CONST, dst, 0, kNoRegister, &node); break;
      case TK_FIXEDVARIABLE: {
        EOp op = EOp::GET_VAR;
        switch (node.access) {
          case VA_LOCAL: op = EOp::GET_LOCAL; break;
          case VA_SELF_USER: op = EOp::GET_SELF; break;
          case VA_GLOBAL: op = EOp::GET_GLOBAL; break;
          case VA_ARGUMENT: op = EOp::GET_ARG; break;
          default: break;
        }
        const uint16_t local = LocalRegister(node);
        if (local != kNoRegister) op = EOp::GET_REG;
        RInstruction& ins = Emit(op, dst, 0, kNoRegister, &node);
        if (op == EOp::GET_ARG) ins.target = node.hint;  // the slot
        if (op == EOp::GET_REG) ins.target = local;
        break;
      }
      case TK_VARIABLE:
        if (IsPlainElement(node)) {
          if (node.ind2 == OWNER_LOCAL) handsOff_ = true;
          uint16_t i1, i2;
          Indexes(node, i1, i2);
          Emit(EOp::GET_ELEM, dst, i1, i2, &node);
        } else {
          Emit(EOp::EVAL_TREE, dst, 0, kNoRegister, &node);
        }
        break;
      case TK_BINARY: {
        Expr(node.items[0], dst);
        if (IsRealConstant(node.items[1])) {
          const double k = node.items[1].value.AsReal();
          const EOp op = node.ind == OP_PLUS                ? EOp::ADD_K
                         : node.ind == OP_MINUS             ? EOp::SUB_K
                         : node.ind == OP_TIMES             ? EOp::MUL_K
                         : node.ind == OP_DIVIDE && k != 0.0 ? EOp::DIV_K
                                                            : EOp::BINARY_K;
          Emit(op, dst, 0, kNoRegister, &node).k = k;
          break;
        }
        const uint16_t r = Alloc();
        Expr(node.items[1], r);
        const EOp op = node.ind == OP_PLUS    ? EOp::ADD
                       : node.ind == OP_MINUS ? EOp::SUB
                       : node.ind == OP_TIMES ? EOp::MUL
                                              : EOp::BINARY;
        Emit(op, dst, r, kNoRegister, &node);
        break;
      }
      case TK_UNARY:
        Expr(node.items[0], dst);
        Emit(EOp::UNARY, dst, 0, kNoRegister, &node);
        break;
      case TK_FUNCTION: {
        const uint16_t base = Arguments(node);
        Emit(IsScript(node.ind) ? EOp::CALL_SCRIPT : EOp::CALL, dst, base, static_cast<uint16_t>(node.itemnumb()),
             &node);
        break;
      }
      default: Emit(EOp::EVAL_TREE, dst, 0, kNoRegister, &node); break;
    }
    FreeTo(mark);
  }

  // The arguments of a call into consecutive registers; the first one's
  // number (the registers stay taken until the caller frees them).
  uint16_t Arguments(const RToken& call) {
    const uint16_t base = next_;
    for (const RToken& arg : call.items) Expr(arg, Alloc());
    return base;
  }

  // The indexes of an element, each checked as soon as it is evaluated.
  void Indexes(const RToken& node, uint16_t& i1, uint16_t& i2) {
    i1 = Index(node.items[1]);
    i2 = node.itemnumb() == 3 ? Index(node.items[2]) : kNoRegister;
  }
  uint16_t Index(const RToken& e) {
    const uint16_t r = Alloc();
    if (const uint16_t local = LocalRegister(e); local != kNoRegister) {
      Emit(EOp::INDEX_REG, r, 0, kNoRegister, &e).target = local;
    } else if (IsPlainVariable(e)) {
      Emit(EOp::INDEX_VAR, r, 0, kNoRegister, &e);
    } else {
      Expr(e, r);
      Emit(EOp::INDEX, r, 0, kNoRegister, &e);
    }
    return r;
  }

  // A condition; the jump taken when it does not hold is returned for
  // patching. `message` 0: "Expression expected", 1: "Boolean expression
  // expected".
  int32_t JumpUnless(const RToken& e, uint16_t message) {
    const uint16_t mark = next_;
    int32_t at;
    if (e.kind == TK_BINARY && Operator_IsComparison(e.ind)) {
      const uint16_t l = Alloc();
      Expr(e.items[0], l);
      const bool constant = IsRealConstant(e.items[1]);
      const EOp op = UnlessOp(e.ind, constant);
      if (constant) {
        at = Here();
        Emit(op, l, 0, kNoRegister, &e).k = e.items[1].value.AsReal();
      } else {
        const uint16_t r = Alloc();
        Expr(e.items[1], r);
        at = Here();
        Emit(op, l, r, kNoRegister, &e);
      }
    } else {
      const uint16_t r = Alloc();
      Expr(e, r);
      at = Here();
      Emit(EOp::JUMP_FALSE, r, message, kNoRegister, &e);
    }
    FreeTo(mark);
    return at;
  }

  // A break or continue: a jump to the loop's end or next turn, or, outside
  // every loop, the end of the run.
  void LoopJump(bool isBreak) {
    if (loops_.empty()) {
      Emit(EOp::END);
      return;
    }
    auto& list = isBreak ? loops_.back().breaks : loops_.back().continues;
    list.push_back(Here());
    Emit(EOp::JUMP);
  }

  void CloseLoop(int32_t continueTarget, int32_t breakTarget) {
    for (int32_t at : loops_.back().breaks) PatchTo(at, breakTarget);
    for (int32_t at : loops_.back().continues) PatchTo(at, continueTarget);
    loops_.pop_back();
  }

  // A statement of a for head: its value is not the run's, and a break or
  // continue in it belongs to the loops around the for.
  void HeadStmt(const RToken& node) {
    const uint16_t saved = result_;
    result_ = 0;
    Stmt(node);
    result_ = saved;
  }

  void Stmt(const RToken& node) {
    if (refused_) return;
    const uint16_t mark = next_;
    switch (node.kind) {
      case TK_BLOCK:
        for (const RToken& child : node.items) Stmt(child);
        break;
      case TK_ASSIGN: Assign(node); break;
      case TK_FUNCTION: {
        const uint16_t base = Arguments(node);
        Emit(IsScript(node.ind) ? EOp::CALL_SCRIPT_STMT : EOp::CALL_STMT, 0, base,
             static_cast<uint16_t>(node.itemnumb()), &node);
        break;
      }
      case TK_IF: {
        const int32_t skip = JumpUnless(node.items[0], 0);
        Stmt(node.items[1]);
        if (node.itemnumb() > 2) {
          const int32_t over = Here();
          Emit(EOp::JUMP);
          PatchTo(skip, Here());
          Stmt(node.items[2]);
          PatchTo(over, Here());
        } else {
          PatchTo(skip, Here());
        }
        break;
      }
      case TK_WHILE: {
        const int32_t top = Here();
        Emit(EOp::QUIT);
        const int32_t out = JumpUnless(node.items[0], 1);
        loops_.emplace_back();
        Stmt(node.items[1]);
        Emit(EOp::JUMP).target = top;
        PatchTo(out, Here());
        CloseLoop(top, Here());
        break;
      }
      case TK_DO: {
        const int32_t top = Here();
        Emit(EOp::QUIT);
        loops_.emplace_back();
        Stmt(node.items[0]);
        const int32_t test = Here();
        PatchTo(JumpUnless(node.items[1], 1), top);
        CloseLoop(test, Here());
        break;
      }
      case TK_FOR: {
        HeadStmt(node.items[0]);
        const int32_t top = Here();
        Emit(EOp::QUIT);
        const int32_t out = JumpUnless(node.items[1], 0);
        loops_.emplace_back();
        Stmt(node.items[3]);
        Loop loop = std::move(loops_.back());
        loops_.pop_back();
        const int32_t step = Here();
        if (IsCountingLoop(node)) {
          Emit(EOp::FOR_STEP, 0, 0, LocalRegister(node.items[2].items[0]), &node).target = out + 1;
        } else {
          HeadStmt(node.items[2]);
          Emit(EOp::JUMP).target = top;
        }
        PatchTo(out, Here());
        loops_.push_back(std::move(loop));
        CloseLoop(step, Here());
        break;
      }
      case TK_REPEAT: {
        const uint16_t count = Alloc();
        Expr(node.items[0], count);
        Emit(EOp::REPEAT_INIT, count, 0, kNoRegister, &node.items[0]);
        const int32_t top = Here();
        Emit(EOp::REPEAT_NEXT, count);
        Emit(EOp::QUIT);
        loops_.emplace_back();
        Stmt(node.items[1]);
        Emit(EOp::JUMP).target = top;
        PatchTo(top, Here());
        CloseLoop(top, Here());
        break;
      }
      case TK_EXIT: Emit(EOp::END); break;
      case TK_RETURN: {
        const uint16_t r = Alloc();
        Expr(node.items[0], r);
        Emit(EOp::RETURN, r);
        break;
      }
      case TK_BREAK: LoopJump(true); break;
      case TK_CONTINUE: LoopJump(false); break;
      case TK_VAR:
      case TK_EMPTYPROGRAM: break;
      default: Tree(node); break;
    }
    FreeTo(mark);
  }

  // A statement the tree walker runs, followed by where a break and a
  // continue coming out of it go.
  void Tree(const RToken& node) {
    Emit(EOp::EXEC_TREE, 0, 0, kNoRegister, &node);
    LoopJump(true);
    LoopJump(false);
  }

  void Assign(const RToken& node) {
    const RToken& target = node.items[0];
    if (target.kind == TK_FIXEDVARIABLE) {
      const uint16_t v = Alloc();
      Expr(node.items[1], v);
      if (const uint16_t reg = LocalRegister(target); reg != kNoRegister) {
        Emit(EOp::ASSIGN_REG, v, 0, kNoRegister, &node).target = reg;
        return;
      }
      const bool local = target.access == VA_LOCAL, self = target.access == VA_SELF_USER;
      EOp op = EOp::ASSIGN;
      if (node.ind == SYM_ASSIGN && (local || self))
        op = local ? EOp::SET_LOCAL : EOp::SET_SELF;
      else if ((node.ind == SYM_PLUSASSIGN || node.ind == SYM_MINUSASSIGN) && (local || self))
        op = local ? EOp::ADD_LOCAL : EOp::ADD_SELF;
      Emit(op, v, 0, kNoRegister, &node);
      return;
    }
    if (IsPlainElement(target)) {
      if (target.ind2 == OWNER_LOCAL) handsOff_ = true;  // a local array lives in the locals' list
      uint16_t i1, i2;
      Indexes(target, i1, i2);
      const uint16_t v = Alloc();
      Expr(node.items[1], v);
      Emit(EOp::SET_ELEM, v, i1, i2, &node);
      return;
    }
    Tree(node);
  }
};

const char* const kOpNames[] = {
#define TAVRIN_OP(name) #name,
    TAVRIN_INSTRUCTIONS(TAVRIN_OP)
#undef TAVRIN_OP
};

EScriptEngine ReadEngineSetting() {
  const char* e = std::getenv("TAVRIN_SCRIPT_ENGINE");
  return e && std::strcmp(e, "tree") == 0 ? EScriptEngine::Tree : EScriptEngine::Machine;
}

EScriptEngine g_Engine = ReadEngineSetting();

}  // namespace

std::unique_ptr<CProgram> Program_Compile(const CCode& code) {
  if (code.i_kind == CODE_CONSTANT) return nullptr;
  auto program = std::make_unique<CProgram>();
  Compiler compiler(*program);
  if (!compiler.Program(code.i_token, code.i_kind == CODE_EXPRESSION)) return nullptr;
  return program;
}

std::string Program_Listing(const CProgram& program) {
  std::string text;
  for (size_t i = 0; i < program.code.size(); ++i) {
    const RInstruction& ins = program.code[i];
    text += std::to_string(i) + " " + kOpNames[static_cast<int>(ins.op)];
    text += " a" + std::to_string(ins.a);
    if (ins.b) text += " b" + std::to_string(ins.b);
    if (ins.c != kNoRegister) text += " c" + std::to_string(ins.c);
    if (ins.target) text += " ->" + std::to_string(ins.target);
    text += "\n";
  }
  return text;
}

EScriptEngine Code_Engine() { return g_Engine; }
void Code_SetEngine(EScriptEngine engine) { g_Engine = engine; }

}  // namespace tavrin
