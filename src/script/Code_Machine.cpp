// The register machine: runs a compiled program with one indirect jump per
// instruction. The common cases (reals, variables found where they were
// last time, plain array elements) are done here in a few moves; everything
// else goes through the rules in Code_Access.h, the same the tree walker
// uses, so errors, their positions and every result are the tree's own.
#include <new>

#include "platform/Platform_Quit.h"
#include "script/Code_Access.h"
#include "script/Code_Program.h"

namespace tavrin {

namespace {

// Registers of the runs in progress, taken and given back in stack order.
// Chunks never move, so a frame's registers stay where they are while
// deeper calls take more. The values are constructed once, with their
// chunk, and every register given back is a real 0 again: a called
// script's argument slots reach past its caller's registers into free ones,
// which must read 0.
class CRegisterStack {
 public:
  struct Mark {
    size_t chunk, top;
  };
  Mark Top() const { return {chunk_, top_}; }
  [[gnu::always_inline]] RValue* Take(size_t n) {
    if (top_ + n > kChunk || !base_) NextChunk();
    RValue* p = base_ + top_;
    top_ += n;
    return p;
  }
  // Whether `n` more values fit where the last ones were taken.
  bool Fits(size_t n) const { return base_ && top_ + n <= kChunk; }
  // Makes `n` values from `p` reals 0.
  [[gnu::always_inline]] static void Clear(RValue* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (!p[i].str.empty()) p[i].str = RString();
      p[i].kind = VALUE_REAL;
      p[i].val = 0.0;
    }
  }
  // Makes `n` values from `p` reals 0 and gives back everything above `mark`.
  [[gnu::always_inline]] void Release(Mark mark, RValue* p, size_t n) {
    Clear(p, n);
    chunk_ = mark.chunk;
    top_ = mark.top;
    base_ = chunks_.empty() ? nullptr : chunks_[chunk_].get();
  }

 private:
  static constexpr size_t kChunk = 1u << 14;
  [[gnu::noinline]] void NextChunk() {
    if (base_) ++chunk_;
    top_ = 0;
    if (chunk_ == chunks_.size()) chunks_.emplace_back(new RValue[kChunk]);
    base_ = chunks_[chunk_].get();
  }
  std::vector<std::unique_ptr<RValue[]>> chunks_;
  size_t chunk_ = 0, top_ = 0;
  RValue* base_ = nullptr;  // the chunk in use
};

CRegisterStack g_Registers;

// A script called from machine code and run in the same loop: what its
// caller was doing, and what the call must give back when it ends.
struct RCall {
  RunContext run;  // the script's own run
  RunContext* callerRun;
  const RInstruction* callerCode;
  const RInstruction* returnAt;  // the caller's call instruction
  RValue* callerRegs;
  uint16_t callerRegisters;
  CRegisterStack::Mark mark;
  RValue* block;  // what the call took: argument slots past the caller's registers, then its own
  size_t past;    // how many of those argument slots
  uint16_t registers;
  RValue* savedArguments;  // the caller's argument slots
  int32_t savedUsed, savedCount, savedScript;
  int32_t script, argc;
  bool statement;
};

// Calls in progress in the loop, for every level of machine runs; deeper than
// this, a script call is runaway recursion. Records are filled in by the
// call, field by field.
constexpr size_t kMaxCalls = 10000;
RCall g_Calls[kMaxCalls];
size_t g_CallCount = 0;

const char* const kConditionMessages[] = {"Expression expected", "Boolean expression expected"};

// The cell of a local or self variable when it is where the node says it was
// last found; none otherwise (the general way then finds it, or fails).
[[gnu::always_inline]] inline RValue* HintedCell(CVariableList* list, const RToken& var) {
  if (!list) return nullptr;
  const uint32_t h = static_cast<uint32_t>(var.hint);
  if (h < list->v_vars.size() && list->v_vars[h].ind == var.ind) return &list->v_vars[h].simplevalue;
  return nullptr;
}

// Element `arr` of an array variable when the variable is where the node says
// it was last found and the element exists; none otherwise.
// The indexes are those of element registers b (and c) of `ins`.
[[gnu::always_inline]] inline RValue* HintedElement(CVariableList* list, const RToken& var, const RValue* regs,
                                                    const RInstruction& ins) {
  if (!list) return nullptr;
  const uint32_t h = static_cast<uint32_t>(var.hint);
  if (h >= list->v_vars.size() || list->v_vars[h].ind != var.ind) return nullptr;
  const uint32_t i = static_cast<uint32_t>(regs[ins.b].val);
  const bool one = ins.c == kNoRegister;
  return const_cast<RValue*>(
      CVariableList::CellAt(list->v_vars[h], one ? 0 : i, one ? i : static_cast<uint32_t>(regs[ins.c].val)));
}

inline CVariableList* SelfList(RunContext& run, int32_t ind) {
  return Variable_IsGlobalDeclaredFast(ind) ? nullptr : &run.self->i_vars;
}

// The list that holds user variable `ind` of `owner`, for the owners code
// names most; none for the others (the general way decides).
inline CVariableList* OwnerList(RunContext& run, int32_t owner, int32_t ind) {
  if (ind <= kBuiltinVariableLimit) return nullptr;
  switch (owner) {
    case OWNER_IMPLICIT: return SelfList(run, ind);
    case OWNER_LOCAL: return run.locals;
    case OWNER_GLOBAL: return &g_ScriptState.globals;
    case OWNER_SELF: return &run.self->i_vars;
    default: return nullptr;
  }
}

// A compound assignment `node` to a local kept in register `var`: `result`
// receives the value stored.
inline int32_t CombineRegister(RunContext& run, const RToken& node, RValue& var, const RValue& value, RValue& result) {
  if (var.kind == kValueUnwritten) {
    if (!g_PackageData.settings.opt_uninitzero) return UnknownVariable(run, node.items[0], 0);
    result.SetReal(0.0);
  } else {
    result = var;
  }
  if (!Assign_Combine(run, node, value, result)) return RESULT_ERROR;
  var = result;
  return RESULT_NORMAL;
}

// The array index of element registers b (and c).
[[gnu::always_inline]] inline int32_t ElementIndex(const RValue* regs, const RInstruction& ins) {
  const int32_t i = static_cast<int32_t>(regs[ins.b].val);
  return ins.c == kNoRegister ? i : i * kArrayRowLength + static_cast<int32_t>(regs[ins.c].val);
}

}  // namespace

int32_t Machine_Run(RunContext& entry, const CProgram& program) {
  static void* const kLabels[] = {
#define TAVRIN_OP(name) &&op_##name,
      TAVRIN_INSTRUCTIONS(TAVRIN_OP)
#undef TAVRIN_OP
  };
  const size_t base = g_CallCount;  // calls below belong to runs further out
  const CRegisterStack::Mark entryMark = g_Registers.Top();
  RValue* const entryRegs = g_Registers.Take(program.registers);

  // The frame being run: its context, registers and instructions.
  RunContext* run = &entry;
  RValue* regs = entryRegs;
  uint16_t frameRegisters = program.registers;
  for (uint16_t r : program.localRegisters) regs[r].kind = kValueUnwritten;
  const RInstruction* code = program.code.data();
  const RInstruction* ip = code;
  int32_t status = RESULT_NORMAL;

  // The value a statement leaves: the run's, or register 0 for a for head.
#define RESULT_OF(ins) ((ins).d == kRunResult ? *run->result : regs[(ins).d])
#define DISPATCH() goto* kLabels[static_cast<int>(ip->op)]
#define NEXT()  \
  do {          \
    ++ip;       \
    DISPATCH(); \
  } while (0)
#define JUMP_TO(t)   \
  do {               \
    ip = code + (t); \
    DISPATCH();      \
  } while (0)
#define LEAVE(c)    \
  do {              \
    status = (c);   \
    goto leave;     \
  } while (0)
#define FAIL_IF(cond)                  \
  do {                                 \
    if (cond) LEAVE(RESULT_ERROR);     \
  } while (0)

  DISPATCH();

  // --- expressions ---
op_CONST:
  regs[ip->a] = ip->node->value;
  NEXT();
op_GET_LOCAL:
  if (const RValue* cell = HintedCell(run->locals, *ip->node)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  FAIL_IF(Tree_ReadVariable(*run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_GET_REG: {
  const RValue& v = regs[ip->target];
  if (v.kind != kValueUnwritten) {
    regs[ip->a] = v;
    NEXT();
  }
  if (!g_PackageData.settings.opt_uninitzero) LEAVE(UnknownVariable(*run, *ip->node, 0));
  regs[ip->a].SetReal(0.0);
  NEXT();
}
op_GET_SELF:
  if (const RValue* cell = HintedCell(SelfList(*run, ip->node->ind), *ip->node)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  FAIL_IF(Tree_ReadVariable(*run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_GET_GLOBAL:
  if (const RValue* cell = HintedCell(&g_ScriptState.globals, *ip->node)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  FAIL_IF(Tree_ReadVariable(*run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_GET_ARG:
  regs[ip->a] = g_ScriptState.arguments[ip->target];
  NEXT();
op_GET_VAR:
  FAIL_IF(Tree_ReadVariable(*run, *ip->node, regs[ip->a]) < 0);
  NEXT();
op_INDEX: {
  int32_t i;
  FAIL_IF(ArrayIndex(*run, *ip->node, regs[ip->a], i) < 0);
  regs[ip->a].val = i;
  NEXT();
}
op_INDEX_VAR: {
  const RToken& e = *ip->node;
  const RValue* cell = HintedCell(e.access == VA_LOCAL ? run->locals : SelfList(*run, e.ind), e);
  if (!cell) {
    FAIL_IF(Tree_ReadVariable(*run, e, regs[ip->a]) < 0);
    cell = &regs[ip->a];
  }
  int32_t i;
  FAIL_IF(ArrayIndex(*run, e, *cell, i) < 0);
  regs[ip->a].SetReal(i);
  NEXT();
}
op_INDEX_REG: {
  const RValue& v = regs[ip->target];
  int32_t i = 0;
  if (v.kind != kValueUnwritten)
    FAIL_IF(ArrayIndex(*run, *ip->node, v, i) < 0);
  else if (!g_PackageData.settings.opt_uninitzero)
    LEAVE(UnknownVariable(*run, *ip->node, 0));
  regs[ip->a].SetReal(i);
  NEXT();
}
op_GET_ELEM: {
  const RToken& var = *ip->node;
  if (const RValue* cell = HintedElement(OwnerList(*run, var.ind2, var.ind), var, regs, *ip)) {
    regs[ip->a] = *cell;
    NEXT();
  }
  const int32_t arr = ElementIndex(regs, *ip);
  if (!ReadVar(*run, var.ind2, var, arr, regs[ip->a])) {
    if (!g_PackageData.settings.opt_uninitzero) LEAVE(UnknownVariable(*run, var, arr));
    regs[ip->a].SetReal(0.0);
  }
  NEXT();
}
#define TAVRIN_ARITHMETIC(name, op_sym, expr)                                       \
  op_##name : {                                                                      \
    RValue& l = regs[ip->a];                                                         \
    const RValue& r = regs[ip->b];                                                   \
    if (l.kind == VALUE_REAL && r.kind == VALUE_REAL) {                              \
      l.val = expr;                                                                  \
      NEXT();                                                                        \
    }                                                                                \
    FAIL_IF(!Operator_Binary(run->code, ip->node->items[1].position, op_sym, r, l)); \
    NEXT();                                                                          \
  }
  TAVRIN_ARITHMETIC(ADD, OP_PLUS, l.val + r.val)
  TAVRIN_ARITHMETIC(SUB, OP_MINUS, l.val - r.val)
  TAVRIN_ARITHMETIC(MUL, OP_TIMES, l.val * r.val)
#undef TAVRIN_ARITHMETIC
op_BINARY:
  FAIL_IF(!Binary_Apply(*run, ip->node->items[1].position, ip->node->ind, regs[ip->b], regs[ip->a]));
  NEXT();
#define TAVRIN_ARITHMETIC_K(name, op_sym, expr)                                     \
  op_##name : {                                                                      \
    RValue& l = regs[ip->a];                                                         \
    if (l.kind == VALUE_REAL) {                                                      \
      l.val = expr;                                                                  \
      NEXT();                                                                        \
    }                                                                                \
    const RToken& right = ip->node->items[1];                                        \
    FAIL_IF(!Operator_Binary(run->code, right.position, op_sym, right.value, l));    \
    NEXT();                                                                          \
  }
  TAVRIN_ARITHMETIC_K(ADD_K, OP_PLUS, l.val + ip->k)
  TAVRIN_ARITHMETIC_K(SUB_K, OP_MINUS, l.val - ip->k)
  TAVRIN_ARITHMETIC_K(MUL_K, OP_TIMES, l.val * ip->k)
  TAVRIN_ARITHMETIC_K(DIV_K, OP_DIVIDE, l.val / ip->k)
#undef TAVRIN_ARITHMETIC_K
op_BINARY_K: {
  const RToken& right = ip->node->items[1];
  FAIL_IF(!Binary_Apply(*run, right.position, ip->node->ind, right.value, regs[ip->a]));
  NEXT();
}
op_UNARY:
  FAIL_IF(!Operator_Unary(run->code, ip->node->items[0].position, ip->node->ind, regs[ip->a]));
  NEXT();
op_CALL_SCRIPT:
op_CALL_SCRIPT_STMT: {
  // A script whose code the machine runs is run in this loop: no machine
  // stack is used, so deep recursion costs registers, not native frames.
  const int32_t index = ip->node->ind - kScriptIdBase;
  const CScript* script = Script_Get(index);
  CCode* callee = script ? script->s_code.get() : nullptr;
  if (!callee || !callee->i_compiled || !callee->i_program || callee->i_refs <= 0) goto op_CALL;
  if (g_CallCount >= kMaxCalls) {
    Code_ReportRecursion(run->code, ip->node->position);
    LEAVE(RESULT_ERROR);
  }
  const CProgram& p = *callee->i_program;
  // The script's sixteen argument slots are the caller's registers from the
  // first argument on, so the arguments are where they were evaluated; the
  // slots that reach past the caller's registers come from the stack, 0.
  RValue* const window = regs + ip->b;
  const int32_t inFrame = frameRegisters - ip->b;
  const size_t past = inFrame < kMaxArgumentSlots ? size_t(kMaxArgumentSlots - inFrame) : 0;
  if (!g_Registers.Fits(past + p.registers)) goto op_CALL;  // the end of a chunk: the ordinary way
  const bool statement = ip->op == EOp::CALL_SCRIPT_STMT;
  RValue& result = statement ? RESULT_OF(*ip) : regs[ip->a];
  const int32_t argc = ip->c < kMaxArgumentSlots ? ip->c : kMaxArgumentSlots;
  for (int32_t i = argc; i < inFrame && i < kMaxArgumentSlots; ++i) window[i].SetReal(0.0);
  RCall& call = g_Calls[g_CallCount++];
  call.mark = g_Registers.Top();
  call.past = past;
  call.registers = p.registers;
  call.block = g_Registers.Take(past + p.registers);
  call.savedArguments = g_ScriptState.arguments;
  call.savedUsed = g_ScriptState.argumentsUsed;
  g_ScriptState.arguments = window;
  g_ScriptState.argumentsUsed = argc;
  call.savedCount = g_ScriptState.argumentCount;
  call.savedScript = g_ScriptState.script;
  g_ScriptState.argumentCount = argc;
  g_ScriptState.script = index;
  call.script = index;
  call.argc = argc;
  call.statement = statement;
  ++callee->i_refs;  // the run holds the code: it may be replaced while it runs
  result.SetReal(0.0);
  Error_ClearPending();
  call.run.locals = nullptr;
  call.run.self = run->self;
  call.run.other = run->other;
  call.run.code = callee;
  call.run.result = &result;
  call.callerRun = run;
  call.callerCode = code;
  call.callerRegs = regs;
  call.callerRegisters = frameRegisters;
  call.returnAt = ip;
  run = &call.run;
  regs = call.block + past;
  frameRegisters = p.registers;
  for (uint16_t r : p.localRegisters) regs[r].kind = kValueUnwritten;
  code = p.code.data();
  ip = code;
  DISPATCH();
}
op_CALL:
op_CALL_STMT: {
  const bool statement = ip->op == EOp::CALL_STMT || ip->op == EOp::CALL_SCRIPT_STMT;
  FAIL_IF(!CallById(ip->node->ind, run->self, run->other, ip->c, statement ? RESULT_OF(*ip) : regs[ip->a],
                    regs + ip->b, run->code, ip->node->position));
  // After a fatal error the game ends: code stops at its next call.
  FAIL_IF(Error_Aborting());
  // A call that waited (sleep, a dialog) may have been cut short by a quit
  // request: the code goes no further than that call.
  if (statement && Quit_Requested()) LEAVE(RESULT_EXIT);
  NEXT();
}
op_EVAL_TREE:
  FAIL_IF(Tree_Eval(*run, *ip->node, regs[ip->a]) < 0);
  NEXT();

  // --- statements ---
op_SET_LOCAL:
  if (RValue* cell = HintedCell(run->locals, ip->node->items[0])) {
    *cell = regs[ip->a];
    if (ip->d == kRunResult) *run->result = std::move(regs[ip->a]);
    NEXT();
  }
  FAIL_IF(Assign_Finish(*run, *ip->node, OWNER_LOCAL, 0, std::move(regs[ip->a]), RESULT_OF(*ip)) < 0);
  NEXT();
op_SET_SELF:
  if (RValue* cell = HintedCell(SelfList(*run, ip->node->items[0].ind), ip->node->items[0])) {
    *cell = regs[ip->a];
    if (ip->d == kRunResult) *run->result = std::move(regs[ip->a]);
    NEXT();
  }
  FAIL_IF(Assign_Finish(*run, *ip->node, OWNER_IMPLICIT, 0, std::move(regs[ip->a]), RESULT_OF(*ip)) < 0);
  NEXT();
op_ADD_LOCAL:
op_ADD_SELF: {
  const RToken& target = ip->node->items[0];
  const bool local = ip->op == EOp::ADD_LOCAL;
  RValue* cell = HintedCell(local ? run->locals : SelfList(*run, target.ind), target);
  const RValue& v = regs[ip->a];
  if (cell && cell->kind == VALUE_REAL && v.kind == VALUE_REAL) {
    cell->val = ip->node->ind == SYM_PLUSASSIGN ? cell->val + v.val : cell->val - v.val;
    if (ip->d == kRunResult) run->result->SetReal(cell->val);
    NEXT();
  }
  FAIL_IF(Assign_Finish(*run, *ip->node, local ? OWNER_LOCAL : OWNER_IMPLICIT, 0, std::move(regs[ip->a]),
                        RESULT_OF(*ip)) < 0);
  NEXT();
}
op_ASSIGN_REG: {
  RValue& var = regs[ip->target];
  RValue& value = regs[ip->a];
  const int32_t symbol = ip->node->ind;
  if (symbol == SYM_ASSIGN) {
    var = value;
    if (ip->d == kRunResult) *run->result = std::move(value);
    NEXT();
  }
  if ((symbol == SYM_PLUSASSIGN || symbol == SYM_MINUSASSIGN) && var.kind == VALUE_REAL && value.kind == VALUE_REAL) {
    var.val = symbol == SYM_PLUSASSIGN ? var.val + value.val : var.val - value.val;
    if (ip->d == kRunResult) run->result->SetReal(var.val);
    NEXT();
  }
  FAIL_IF(CombineRegister(*run, *ip->node, var, value, RESULT_OF(*ip)) < 0);
  NEXT();
}
op_ASSIGN:
  FAIL_IF(Assign_Finish(*run, *ip->node, ip->node->items[0].ind2, 0, std::move(regs[ip->a]), RESULT_OF(*ip)) < 0);
  NEXT();
op_SET_ELEM: {
  const RToken& target = ip->node->items[0];
  if (ip->node->ind == SYM_ASSIGN) {
    if (RValue* cell = HintedElement(OwnerList(*run, target.ind2, target.ind), target, regs, *ip)) {
      *cell = regs[ip->a];
      if (ip->d == kRunResult) *run->result = std::move(regs[ip->a]);
      NEXT();
    }
  }
  FAIL_IF(Assign_Finish(*run, *ip->node, target.ind2, ElementIndex(regs, *ip), std::move(regs[ip->a]),
                        RESULT_OF(*ip)) < 0);
  NEXT();
}
op_EXEC_TREE: {
  RValue* const saved = run->result;
  run->result = &RESULT_OF(*ip);
  const int32_t c = Tree_Exec(*run, *ip->node);
  run->result = saved;
  switch (c) {
    case RESULT_NORMAL: ip += 3; DISPATCH();
    case RESULT_BREAK: NEXT();
    case RESULT_CONTINUE: ip += 2; DISPATCH();
    default: LEAVE(c);
  }
}
op_RETURN:
  RESULT_OF(*ip) = std::move(regs[ip->a]);
  LEAVE(RESULT_EXIT);
op_END:
  LEAVE(RESULT_EXIT);

  // --- control ---
op_JUMP:
  JUMP_TO(ip->target);
op_JUMP_FALSE: {
  const RValue& v = regs[ip->a];
  if (v.kind != VALUE_REAL) {
    Error_SetCodeError(run->code, ip->node->position, kConditionMessages[ip->b]);
    LEAVE(RESULT_ERROR);
  }
  if (v.val >= 0.5) NEXT();
  JUMP_TO(ip->target);
}
#define TAVRIN_UNLESS(name, op_sym)                                                                        \
  op_UNLESS_##name : {                                                                                      \
    const RValue& l = regs[ip->a];                                                                          \
    const RValue& r = regs[ip->b];                                                                          \
    bool truth;                                                                                             \
    if (l.kind == VALUE_REAL && r.kind == VALUE_REAL)                                                       \
      truth = Operator_CompareHolds(op_sym, l.val - r.val);                                                 \
    else                                                                                                    \
      FAIL_IF(Compare(*run, ip->node->items[1].position, ip->node->ind, l, r, truth) < 0);                  \
    if (truth) NEXT();                                                                                      \
    JUMP_TO(ip->target);                                                                                    \
  }                                                                                                         \
  op_UNLESS_##name##_K : {                                                                                  \
    const RValue& l = regs[ip->a];                                                                          \
    bool truth;                                                                                             \
    if (l.kind == VALUE_REAL)                                                                               \
      truth = Operator_CompareHolds(op_sym, l.val - ip->k);                                                 \
    else                                                                                                    \
      FAIL_IF(Compare(*run, ip->node->items[1].position, ip->node->ind, l, ip->node->items[1].value, truth) < 0); \
    if (truth) NEXT();                                                                                      \
    JUMP_TO(ip->target);                                                                                    \
  }
  TAVRIN_UNLESS(LT, OP_LESS)
  TAVRIN_UNLESS(LE, OP_LESSEQUAL)
  TAVRIN_UNLESS(GT, OP_GREATER)
  TAVRIN_UNLESS(GE, OP_GREATEREQUAL)
  TAVRIN_UNLESS(EQ, OP_EQUAL)
  TAVRIN_UNLESS(NE, OP_NOTEQUAL)
#undef TAVRIN_UNLESS
op_QUIT:
  // Every turn of a loop answers a quit request, so that a game stuck in an
  // endless loop still ends with its end events and clean-up.
  if (Quit_Requested()) LEAVE(RESULT_EXIT);
  NEXT();
op_REPEAT_INIT: {
  RValue& v = regs[ip->a];
  if (v.kind != VALUE_REAL) {
    Error_SetCodeError(run->code, ip->node->position, "Repeat count must be a number");
    LEAVE(RESULT_ERROR);
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
  const double k = step.items[1].value.val;
  RValue* cell = ip->c != kNoRegister ? &regs[ip->c] : HintedCell(local ? run->locals : SelfList(*run, var.ind), var);
  if (cell && cell->kind == VALUE_REAL) {
    cell->val = step.ind == SYM_PLUSASSIGN ? cell->val + k : cell->val - k;
  } else if (ip->c != kNoRegister) {
    FAIL_IF(CombineRegister(*run, step, *cell, RValue::Real(k), regs[0]) < 0);
  } else {
    FAIL_IF(Assign_Finish(*run, step, local ? OWNER_LOCAL : OWNER_IMPLICIT, 0, RValue::Real(k), regs[0]) < 0);
    cell = nullptr;
  }
  if (Quit_Requested()) LEAVE(RESULT_EXIT);
  bool truth;
  if (cell && cell->kind == VALUE_REAL) {
    truth = Operator_CompareHolds(test.ind, cell->val - test.items[1].value.val);
  } else if (cell) {
    FAIL_IF(Compare(*run, test.items[1].position, test.ind, *cell, test.items[1].value, truth) < 0);
  } else {
    FAIL_IF(Tree_ReadVariable(*run, test.items[0], regs[0]) < 0);
    FAIL_IF(Compare(*run, test.items[1].position, test.ind, regs[0], test.items[1].value, truth) < 0);
  }
  if (truth) JUMP_TO(ip->target);
  NEXT();
}

leave:
  // The frame ends with `status`. A script called in the loop finishes as
  // every script call does and its caller goes on; the run's first frame
  // returns.
  if (g_CallCount > base) {
    RCall& call = g_Calls[g_CallCount - 1];
    CCode* callee = call.run.code;
    // Of the argument slots past the caller's registers, only those below
    // the highest slot written can be anything but 0.
    const int32_t written = g_ScriptState.argumentsUsed - (kMaxArgumentSlots - int32_t(call.past));
    g_Registers.Clear(call.block, written > 0 ? size_t(written) : 0);
    g_Registers.Release(call.mark, call.block + call.past, call.registers);
    if (call.run.locals) Locals_Release(call.run.locals);
    const bool ok = Script_Finish(call.script, status != RESULT_ERROR, *call.run.result, call.argc, *callee, true);
    if (--callee->i_refs == 0) delete callee;
    g_ScriptState.argumentCount = call.savedCount;
    g_ScriptState.script = call.savedScript;
    g_ScriptState.arguments = call.savedArguments;
    g_ScriptState.argumentsUsed = call.savedUsed;
    run = call.callerRun;
    regs = call.callerRegs;
    frameRegisters = call.callerRegisters;
    code = call.callerCode;
    ip = call.returnAt;
    const bool statement = call.statement;
    --g_CallCount;
    FAIL_IF(!ok || Error_Aborting());
    if (statement && Quit_Requested()) LEAVE(RESULT_EXIT);
    NEXT();
  }
  g_Registers.Release(entryMark, entryRegs, program.registers);
  return status;

#undef RESULT_OF
#undef DISPATCH
#undef NEXT
#undef JUMP_TO
#undef LEAVE
#undef FAIL_IF
}

}  // namespace tavrin
