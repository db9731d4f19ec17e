// The register machine: runs a compiled program with one indirect jump per
// instruction. The common cases (reals, variables found where they were
// last time, plain array elements) are done here in a few moves; everything
// else goes through the rules in Code_Access.h, the same the tree walker
// uses, so errors, their positions and every result are the tree's own.
#include <alloca.h>

#include <new>

#include "platform/Platform_Quit.h"
#include "script/Code_Access.h"
#include "script/Code_Program.h"

namespace tavrin {

namespace {

// The registers of one run, on the machine stack, constructed as reals 0 and
// destroyed however the run ends.
class Registers {
 public:
  Registers(void* room, uint16_t count) : r_(static_cast<RValue*>(room)), n_(count) {
    for (uint16_t i = 0; i < n_; ++i) new (&r_[i]) RValue();
  }
  ~Registers() {
    for (uint16_t i = 0; i < n_; ++i) r_[i].~RValue();
  }
  Registers(const Registers&) = delete;
  Registers& operator=(const Registers&) = delete;
  RValue* data() const { return r_; }

 private:
  RValue* r_;
  uint16_t n_;
};

const char* const kConditionMessages[] = {"Expression expected", "Boolean expression expected"};

// The cell of a local or self variable when it is where the node says it was
// last found; none otherwise (the general way then finds it, or fails).
[[gnu::always_inline]] inline RValue* HintedCell(CVariableList* list, const RToken& var) {
  if (!list) return nullptr;
  const uint32_t h = static_cast<uint32_t>(var.hint);
  if (h < list->v_vars.size() && list->v_vars[h].ind == var.ind) return &list->v_vars[h].simplevalue;
  return nullptr;
}

inline CVariableList* SelfList(RunContext& run, int32_t ind) {
  return Variable_IsGlobalDeclaredFast(ind) ? nullptr : &run.self->i_vars;
}

// The array index of element registers b (and c).
[[gnu::always_inline]] inline int32_t ElementIndex(const RValue* regs, const RInstruction& ins) {
  const int32_t i = static_cast<int32_t>(regs[ins.b].val);
  return ins.c == kNoRegister ? i : i * kArrayRowLength + static_cast<int32_t>(regs[ins.c].val);
}

}  // namespace

int32_t Machine_Run(RunContext& run, const CProgram& program) {
  static void* const kLabels[] = {
#define TAVRIN_OP(name) &&op_##name,
      TAVRIN_INSTRUCTIONS(TAVRIN_OP)
#undef TAVRIN_OP
  };
  Registers frame(alloca(sizeof(RValue) * program.registers), program.registers);
  RValue* const regs = frame.data();
  const RInstruction* const code = program.code.data();
  const RInstruction* ip = code;
  // The value a statement leaves: the run's, or register 0 for a for head.
#define RESULT_OF(ins) ((ins).d == kRunResult ? *run.result : regs[(ins).d])
#define DISPATCH() goto* kLabels[static_cast<int>(ip->op)]
#define NEXT()  \
  do {          \
    ++ip;       \
    DISPATCH(); \
  } while (0)
#define JUMP_TO(t)     \
  do {                 \
    ip = code + (t);   \
    DISPATCH();        \
  } while (0)
#define FAIL_IF(cond)                   \
  do {                                  \
    if (cond) return RESULT_ERROR;      \
  } while (0)

  DISPATCH();

  // --- expressions ---
op_CONST:
  regs[ip->a] = ip->node->value;
  NEXT();
op_GET_LOCAL:
  if (const RValue* cell = HintedCell(run.locals, *ip->node)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  FAIL_IF(Tree_ReadVariable(run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_GET_SELF:
  if (const RValue* cell = HintedCell(SelfList(run, ip->node->ind), *ip->node)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  FAIL_IF(Tree_ReadVariable(run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_GET_GLOBAL:
  if (const RValue* cell = HintedCell(&g_ScriptState.globals, *ip->node)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  FAIL_IF(Tree_ReadVariable(run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_GET_ARG:
  regs[ip->a] = g_ScriptState.arguments[ip->target];
  NEXT();
op_GET_VAR:
  FAIL_IF(Tree_ReadVariable(run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_INDEX: {
  int32_t i;
  FAIL_IF(ArrayIndex(run, *ip->node, regs[ip->a], i) < 0);
  regs[ip->a].val = i;
  NEXT();
}
op_GET_ELEM: {
  const RToken& var = *ip->node;
  const int32_t arr = ElementIndex(regs, *ip);
  if (!ReadVar(run, var.ind2, var, arr, regs[ip->a])) {
    if (!g_PackageData.settings.opt_uninitzero) return UnknownVariable(run, var, arr);
    regs[ip->a].SetReal(0.0);
  }
  NEXT();
}
#define TAVRIN_ARITHMETIC(name, op_sym, expr)                                                     \
  op_##name : {                                                                                    \
    RValue& l = regs[ip->a];                                                                       \
    const RValue& r = regs[ip->b];                                                                 \
    if (l.kind == VALUE_REAL && r.kind == VALUE_REAL) {                                            \
      l.val = expr;                                                                                \
      NEXT();                                                                                      \
    }                                                                                              \
    FAIL_IF(!Operator_Binary(run.code, ip->node->items[1].position, op_sym, r, l));               \
    NEXT();                                                                                        \
  }
  TAVRIN_ARITHMETIC(ADD, OP_PLUS, l.val + r.val)
  TAVRIN_ARITHMETIC(SUB, OP_MINUS, l.val - r.val)
  TAVRIN_ARITHMETIC(MUL, OP_TIMES, l.val * r.val)
#undef TAVRIN_ARITHMETIC
op_BINARY:
  FAIL_IF(!Binary_Apply(run, ip->node->items[1].position, ip->node->ind, regs[ip->b], regs[ip->a]));
  NEXT();
#define TAVRIN_ARITHMETIC_K(name, op_sym, expr)                                                    \
  op_##name : {                                                                                    \
    RValue& l = regs[ip->a];                                                                       \
    const RToken& right = ip->node->items[1];                                                      \
    if (l.kind == VALUE_REAL) {                                                                    \
      l.val = expr;                                                                                \
      NEXT();                                                                                      \
    }                                                                                              \
    FAIL_IF(!Operator_Binary(run.code, right.position, op_sym, right.value, l));                   \
    NEXT();                                                                                        \
  }
  TAVRIN_ARITHMETIC_K(ADD_K, OP_PLUS, l.val + right.value.val)
  TAVRIN_ARITHMETIC_K(SUB_K, OP_MINUS, l.val - right.value.val)
  TAVRIN_ARITHMETIC_K(MUL_K, OP_TIMES, l.val * right.value.val)
  TAVRIN_ARITHMETIC_K(DIV_K, OP_DIVIDE, l.val / right.value.val)
#undef TAVRIN_ARITHMETIC_K
op_BINARY_K: {
  const RToken& right = ip->node->items[1];
  FAIL_IF(!Binary_Apply(run, right.position, ip->node->ind, right.value, regs[ip->a]));
  NEXT();
}
op_UNARY:
  FAIL_IF(!Operator_Unary(run.code, ip->node->items[0].position, ip->node->ind, regs[ip->a]));
  NEXT();
op_CALL:
  FAIL_IF(!CallById(ip->node->ind, run.self, run.other, ip->c, regs[ip->a], regs + ip->b, run.code,
                    ip->node->position));
  // After a fatal error the game ends: code stops at its next call.
  FAIL_IF(Error_Aborting());
  NEXT();
op_EVAL_TREE:
  FAIL_IF(Tree_Eval(run, *ip->node, regs[ip->a]) < 0);
  NEXT();

  // --- statements ---
op_SET_LOCAL:
  if (RValue* cell = HintedCell(run.locals, ip->node->items[0])) {
    *cell = regs[ip->a];
    if (ip->d == kRunResult) *run.result = std::move(regs[ip->a]);
    NEXT();
  }
  FAIL_IF(Assign_Finish(run, *ip->node, OWNER_LOCAL, 0, std::move(regs[ip->a]), RESULT_OF(*ip)) < 0);
  NEXT();
op_SET_SELF:
  if (RValue* cell = HintedCell(SelfList(run, ip->node->items[0].ind), ip->node->items[0])) {
    *cell = regs[ip->a];
    if (ip->d == kRunResult) *run.result = std::move(regs[ip->a]);
    NEXT();
  }
  FAIL_IF(Assign_Finish(run, *ip->node, OWNER_IMPLICIT, 0, std::move(regs[ip->a]), RESULT_OF(*ip)) < 0);
  NEXT();
op_ADD_LOCAL:
op_ADD_SELF: {
  const RToken& target = ip->node->items[0];
  const bool local = ip->op == EOp::ADD_LOCAL;
  RValue* cell = HintedCell(local ? run.locals : SelfList(run, target.ind), target);
  const RValue& v = regs[ip->a];
  if (cell && cell->kind == VALUE_REAL && v.kind == VALUE_REAL) {
    cell->val = ip->node->ind == SYM_PLUSASSIGN ? cell->val + v.val : cell->val - v.val;
    if (ip->d == kRunResult) run.result->SetReal(cell->val);
    NEXT();
  }
  FAIL_IF(Assign_Finish(run, *ip->node, local ? OWNER_LOCAL : OWNER_IMPLICIT, 0, std::move(regs[ip->a]),
                        RESULT_OF(*ip)) < 0);
  NEXT();
}
op_ASSIGN:
  FAIL_IF(Assign_Finish(run, *ip->node, ip->node->items[0].ind2, 0, std::move(regs[ip->a]), RESULT_OF(*ip)) < 0);
  NEXT();
op_SET_ELEM:
  FAIL_IF(Assign_Finish(run, *ip->node, ip->node->items[0].ind2, ElementIndex(regs, *ip), std::move(regs[ip->a]),
                        RESULT_OF(*ip)) < 0);
  NEXT();
op_CALL_STMT:
  FAIL_IF(!CallById(ip->node->ind, run.self, run.other, ip->c, RESULT_OF(*ip), regs + ip->b, run.code,
                    ip->node->position));
  FAIL_IF(Error_Aborting());
  // A call that waited (sleep, a dialog) may have been cut short by a quit
  // request: the code goes no further than that call.
  if (Quit_Requested()) return RESULT_EXIT;
  NEXT();
op_EXEC_TREE: {
  RValue* const saved = run.result;
  run.result = &RESULT_OF(*ip);
  const int32_t c = Tree_Exec(run, *ip->node);
  run.result = saved;
  switch (c) {
    case RESULT_NORMAL: ip += 3; DISPATCH();
    case RESULT_BREAK: NEXT();
    case RESULT_CONTINUE: ip += 2; DISPATCH();
    default: return c;
  }
}
op_RETURN:
  RESULT_OF(*ip) = std::move(regs[ip->a]);
  return RESULT_EXIT;
op_END:
  return RESULT_EXIT;

  // --- control ---
op_JUMP:
  JUMP_TO(ip->target);
op_JUMP_FALSE: {
  const RValue& v = regs[ip->a];
  if (v.kind != VALUE_REAL) {
    Error_SetCodeError(run.code, ip->node->position, kConditionMessages[ip->b]);
    return RESULT_ERROR;
  }
  if (v.val >= 0.5) NEXT();
  JUMP_TO(ip->target);
}
op_JUMP_NOT_CMP: {
  bool truth;
  FAIL_IF(Compare(run, ip->node->items[1].position, ip->node->ind, regs[ip->a], regs[ip->b], truth) < 0);
  if (truth) NEXT();
  JUMP_TO(ip->target);
}
op_JUMP_NOT_CMP_K: {
  bool truth;
  const RToken& right = ip->node->items[1];
  FAIL_IF(Compare(run, right.position, ip->node->ind, regs[ip->a], right.value, truth) < 0);
  if (truth) NEXT();
  JUMP_TO(ip->target);
}
op_QUIT:
  // Every turn of a loop answers a quit request, so that a game stuck in an
  // endless loop still ends with its end events and clean-up.
  if (Quit_Requested()) return RESULT_EXIT;
  NEXT();
op_REPEAT_INIT: {
  RValue& v = regs[ip->a];
  if (v.kind != VALUE_REAL) {
    Error_SetCodeError(run.code, ip->node->position, "Repeat count must be a number");
    return RESULT_ERROR;
  }
  v.val = static_cast<double>(Real_ToInt64(v.val));
  NEXT();
}
op_REPEAT_NEXT: {
  RValue& v = regs[ip->a];
  if (v.val < 1.0) JUMP_TO(ip->target);
  v.val -= 1.0;
  NEXT();
}
op_FOR_STEP: {
  const RToken& loop = *ip->node;
  const RToken& step = loop.items[2];
  const RToken& var = step.items[0];
  const RToken& test = loop.items[1];
  const bool local = var.access == VA_LOCAL;
  const int32_t owner = local ? OWNER_LOCAL : OWNER_IMPLICIT;
  RValue* cell = HintedCell(local ? run.locals : SelfList(run, var.ind), var);
  const double k = step.items[1].value.val;
  if (cell && cell->kind == VALUE_REAL) {
    cell->val = step.ind == SYM_PLUSASSIGN ? cell->val + k : cell->val - k;
  } else {
    FAIL_IF(Assign_Finish(run, step, owner, 0, RValue::Real(k), regs[0]) < 0);
    cell = nullptr;
  }
  if (Quit_Requested()) return RESULT_EXIT;
  bool truth;
  if (cell) {
    truth = Operator_CompareHolds(test.ind, cell->val - test.items[1].value.val);
  } else {
    FAIL_IF(Tree_ReadVariable(run, test.items[0], regs[0]) < 0);
    FAIL_IF(Compare(run, test.items[1].position, test.ind, regs[0], test.items[1].value, truth) < 0);
  }
  if (truth) JUMP_TO(ip->target);
  NEXT();
}
#undef RESULT_OF
#undef DISPATCH
#undef NEXT
#undef JUMP_TO
#undef FAIL_IF
}

}  // namespace tavrin
