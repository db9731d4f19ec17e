// The interpreter walks the compiled tree directly. Hot paths (a variable
// read, a real operation, a loop step, a call) avoid allocation and table
// searches: variables carry the position they were last found at, argument
// buffers live on the machine stack, and strings are shared, not copied.
#include "script/Code_Exec.h"
#include "script/Code_Access.h"
#include "script/Code_Program.h"

#include <pthread.h>

#include <new>

#include "package/Option_Main.h"
#include "platform/Platform_Quit.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Operator.h"
#include "script/Code_Symbols.h"
#include "script/Code_Variable.h"
#include "script/Script_Class.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"

namespace tavrin {

char* g_StackLimit = nullptr;

namespace {

char* g_StackLow = nullptr;
size_t g_StackReserve = 0;

// Up to 16 argument values, constructed only as far as used.
class ArgBuffer {
 public:
  ~ArgBuffer() {
    for (int32_t i = 0; i < n_; ++i) data()[i].~RValue();
  }
  RValue* data() { return std::launder(reinterpret_cast<RValue*>(raw_)); }
  RValue& Add() {
    RValue* v = new (raw_ + sizeof(RValue) * n_) RValue();
    ++n_;
    return *v;
  }

 private:
  alignas(RValue) unsigned char raw_[sizeof(RValue) * kMaxArgumentSlots];
  int32_t n_ = 0;
};

int32_t Exec(RunContext& run, const RToken& node);
int32_t Eval(RunContext& run, const RToken& node, RValue& out);

// Leaves of expressions, inline: a constant, or a plain variable found where
// it was found last time. Everything else takes the general way.
[[gnu::always_inline]] inline int32_t EvalFast(RunContext& run, const RToken& node, RValue& out) {
  if (node.kind == TK_CONSTANT) {
    out = node.value;
    return RESULT_NORMAL;
  }
  if (node.kind == TK_FIXEDVARIABLE) {
    const CVariableList* list = nullptr;
    switch (node.access) {
      case VA_LOCAL: list = run.locals; break;
      case VA_SELF_USER:
        if (!Variable_IsGlobalDeclaredFast(node.ind)) list = &run.self->i_vars;
        break;
      case VA_GLOBAL: list = &g_ScriptState.globals; break;
      case VA_ARGUMENT: out = g_ScriptState.arguments[node.hint]; return RESULT_NORMAL;
      default: break;
    }
    if (list) {
      const uint32_t h = static_cast<uint32_t>(node.hint);
      if (h < list->v_vars.size() && list->v_vars[h].ind == node.ind) {
        out = list->v_vars[h].simplevalue;
        return RESULT_NORMAL;
      }
    }
  }
  return Eval(run, node, out);
}

// Works out the owner code and the array index of a variable node.
[[gnu::always_inline]] inline int32_t Locate(RunContext& run, const RToken& node, int32_t& owner, int32_t& arr) {
  if (node.kind == TK_FIXEDVARIABLE) {
    owner = node.ind2;
    arr = 0;
    return RESULT_NORMAL;
  }
  RValue v;
  if (node.access == VA_INDEXED) {
    owner = node.ind2;
  } else {
    if (EvalFast(run, node.items[0], v) < 0) return RESULT_ERROR;
    if (v.kind != VALUE_REAL) return Fail(run, node.items[0].position, "Wrong type of variable index");
    owner = Real_ToInt32(v.val);
  }
  arr = 0;
  const int32_t n = node.itemnumb();
  for (int32_t k = 1; k < n; ++k) {
    const RToken& e = node.items[k];
    if (EvalFast(run, e, v) < 0) return RESULT_ERROR;
    int32_t i;
    if (ArrayIndex(run, e, v, i) < 0) return RESULT_ERROR;
    arr = k == 1 ? i : arr * kArrayRowLength + i;
  }
  return RESULT_NORMAL;
}

int32_t ReadVariable(RunContext& run, const RToken& node, RValue& out) {
  bool ok;
  int32_t arr = 0;
  switch (node.access) {
    case VA_ARGUMENT: out = g_ScriptState.arguments[node.hint]; return RESULT_NORMAL;
    case VA_BUILTIN: ok = g_BuiltinVars[node.ind].getter(run.self, 0, out); break;
    default: {
      int32_t owner;
      if (Locate(run, node, owner, arr) < 0) return RESULT_ERROR;
      ok = ReadVar(run, owner, node, arr, out);
      break;
    }
  }
  if (ok) return RESULT_NORMAL;
  if (g_PackageData.settings.opt_uninitzero) {
    out.SetReal(0.0);
    return RESULT_NORMAL;
  }
  return UnknownVariable(run, node, arr);
}

int32_t CallFunction(RunContext& run, const RToken& node, RValue& out) {
  ArgBuffer args;
  const int32_t argc = node.itemnumb();
  for (int32_t i = 0; i < argc; ++i)
    if (EvalFast(run, node.items[i], args.Add()) < 0) return RESULT_ERROR;
  if (!CallById(node.ind, run.self, run.other, argc, out, args.data(), run.code, node.position))
    return RESULT_ERROR;
  // After a fatal error the game ends: code stops at its next call.
  return Error_Aborting() ? RESULT_ERROR : RESULT_NORMAL;
}

int32_t Eval(RunContext& run, const RToken& node, RValue& out) {
  switch (node.kind) {
    case TK_CONSTANT: out = node.value; return RESULT_NORMAL;
    case TK_FIXEDVARIABLE:
    case TK_VARIABLE: return ReadVariable(run, node, out);
    case TK_BINARY: {
      if (EvalFast(run, node.items[0], out) < 0) return RESULT_ERROR;
      RValue right;
      const RToken& r = node.items[1];
      if (EvalFast(run, r, right) < 0) return RESULT_ERROR;
      return Binary_Apply(run, r.position, node.ind, right, out) ? RESULT_NORMAL : RESULT_ERROR;
    }
    case TK_UNARY:
      if (EvalFast(run, node.items[0], out) < 0) return RESULT_ERROR;
      return Operator_Unary(run.code, node.items[0].position, node.ind, out) ? RESULT_NORMAL : RESULT_ERROR;
    case TK_FUNCTION: return CallFunction(run, node, out);
    default: return Fail(run, node.position, "(Sub-)expression expected.");
  }
}

[[gnu::always_inline]] inline int32_t ExecAssign(RunContext& run, const RToken& node) {
  const RToken& target = node.items[0];
  int32_t owner = OWNER_IMPLICIT, arr = 0;
  const uint8_t access = target.access;
  if (access != VA_ARGUMENT && access != VA_BUILTIN && Locate(run, target, owner, arr) < 0) return RESULT_ERROR;
  RValue value;
  if (EvalFast(run, node.items[1], value) < 0) return RESULT_ERROR;
  return Assign_Finish(run, node, owner, arr, std::move(value), *run.result);
}

// Runs a `with` body for one instance: it becomes self, and the instance that
// started the `with` becomes other.
int32_t WithBody(RunContext& run, const RToken& body, CInstanceBase* inst, CInstanceBase* startSelf) {
  CInstanceBase* savedSelf = run.self;
  CInstanceBase* savedOther = run.other;
  run.self = inst;
  run.other = startSelf;
  int32_t c = Exec(run, body);
  run.self = savedSelf;
  run.other = savedOther;
  return c;
}

int32_t ExecWith(RunContext& run, const RToken& node) {
  RValue v;
  if (EvalFast(run, node.items[0], v) < 0) return RESULT_ERROR;
  if (v.kind != VALUE_REAL) return Fail(run, node.items[0].position, "Object id expected");
  const int32_t owner = Real_ToInt32(v.val);
  const RToken& body = node.items[1];
  CInstanceBase* startSelf = run.self;
  CInstanceBase* single = nullptr;
  switch (owner) {
    case OWNER_LOCAL: return Fail(run, node.position, "Cannot use local in with statement.");
    case OWNER_GLOBAL: return Fail(run, node.position, "Cannot use global in with statement.");
    case OWNER_OTHER: single = run.other; break;
    case OWNER_SELF:
    case OWNER_IMPLICIT: single = run.self; break;
    case OWNER_ALL:
    default:
      if (owner == OWNER_ALL || (owner >= 0 && owner < kFirstInstanceId)) {
        // The count is taken once: instances created by the body are not visited.
        const bool all = owner == OWNER_ALL;
        const int32_t n = all ? Host().InstanceCount() : Host().ObjectInstanceCount(owner);
        for (int32_t i = 0; i < n; ++i) {
          CInstanceBase* inst = all ? Host().InstanceAt(i) : Host().ObjectInstanceAt(owner, i);
          if (!inst || inst->i_marked) continue;
          int32_t c = WithBody(run, body, inst, startSelf);
          if (c == RESULT_BREAK) return RESULT_NORMAL;
          if (c != RESULT_NORMAL && c != RESULT_CONTINUE) return c;
        }
        return RESULT_NORMAL;
      }
      if (owner < 0) return RESULT_NORMAL;
      single = Instance_FindLive(owner);
      if (!single) return RESULT_NORMAL;
      break;
  }
  int32_t c = WithBody(run, body, single, startSelf);
  return c == RESULT_CONTINUE ? RESULT_NORMAL : c;
}

int32_t ExecSwitch(RunContext& run, const RToken& node) {
  RValue value;
  if (EvalFast(run, node.items[0], value) < 0) return RESULT_ERROR;
  const int32_t n = node.itemnumb();
  int32_t start = -1;
  RValue c;
  for (int32_t k = 1; k < n && start < 0; ++k) {
    const RToken& child = node.items[k];
    if (child.kind == TK_DEFAULT) {
      start = k;
    } else if (child.kind == TK_CASE) {
      if (EvalFast(run, child.items[0], c) < 0) return RESULT_ERROR;
      // Cases match exactly, without the tolerance of ==.
      if (value.kind == c.kind && (value.kind == VALUE_REAL ? value.val == c.val : value.str == c.str)) start = k;
    }
  }
  if (start < 0) return RESULT_NORMAL;
  for (int32_t k = start + 1; k < n; ++k) {
    const RToken& child = node.items[k];
    if (child.kind == TK_CASE || child.kind == TK_DEFAULT) continue;
    int32_t r = Exec(run, child);
    if (r == RESULT_BREAK) return RESULT_NORMAL;
    if (r != RESULT_NORMAL) return r;
  }
  return RESULT_NORMAL;
}

// Evaluates a loop or branch condition; a string is an error with `message`.
[[gnu::always_inline]] inline int32_t Condition(RunContext& run, const RToken& e, bool& truth, const char* message) {
  RValue v;
  if (e.kind == TK_BINARY && (e.ind == OP_LESS || e.ind == OP_GREATER || e.ind == OP_LESSEQUAL ||
                              e.ind == OP_GREATEREQUAL)) {
    // A loop test comparing two values, without making the real 0 or 1.
    RValue right;
    if (EvalFast(run, e.items[0], v) < 0 || EvalFast(run, e.items[1], right) < 0) return RESULT_ERROR;
    return Compare(run, e.items[1].position, e.ind, v, right, truth);
  }
  if (EvalFast(run, e, v) < 0) return RESULT_ERROR;
  if (v.kind != VALUE_REAL) return Fail(run, e.position, message);
  truth = v.val >= 0.5;
  return RESULT_NORMAL;
}

// The usual step of a for loop, `v += constant` or `v -= constant` on a plain
// real variable found where it was last time, done in place. Anything else
// (or a miss) returns false and runs as an ordinary statement.
inline bool StepFast(RunContext& run, const RToken& step) {
  if (step.kind != TK_ASSIGN || (step.ind != SYM_PLUSASSIGN && step.ind != SYM_MINUSASSIGN)) return false;
  const RToken& target = step.items[0];
  const RToken& amount = step.items[1];
  if (target.kind != TK_FIXEDVARIABLE || amount.kind != TK_CONSTANT || amount.value.kind != VALUE_REAL) return false;
  CVariableList* list = nullptr;
  if (target.access == VA_LOCAL)
    list = run.locals;
  else if (target.access == VA_SELF_USER && !Variable_IsGlobalDeclaredFast(target.ind))
    list = &run.self->i_vars;
  if (!list) return false;
  const uint32_t h = static_cast<uint32_t>(target.hint);
  if (h >= list->v_vars.size() || list->v_vars[h].ind != target.ind) return false;
  RValue& cell = list->v_vars[h].simplevalue;
  if (cell.kind != VALUE_REAL) return false;
  cell.val = step.ind == SYM_PLUSASSIGN ? cell.val + amount.value.val : cell.val - amount.value.val;
  return true;
}

// The loops, kept out of Exec so that the common statements stay cheap to
// enter. Every turn of a loop answers a quit request (a signal, the desktop):
// the code unwinds as if it had met `exit`, so that a game stuck in an
// endless loop still ends with its end events and clean-up.
[[gnu::noinline]] int32_t ExecLoop(RunContext& run, const RToken& node) {
  switch (node.kind) {
    case TK_WHILE:
      for (;;) {
        if (Quit_Requested()) return RESULT_EXIT;
        bool truth;
        if (Condition(run, node.items[0], truth, "Boolean expression expected") < 0) return RESULT_ERROR;
        if (!truth) return RESULT_NORMAL;
        int32_t c = Exec(run, node.items[1]);
        if (c == RESULT_BREAK) return RESULT_NORMAL;
        if (c != RESULT_NORMAL && c != RESULT_CONTINUE) return c;
      }
    case TK_DO:
      for (;;) {
        if (Quit_Requested()) return RESULT_EXIT;
        int32_t c = Exec(run, node.items[0]);
        if (c == RESULT_BREAK) return RESULT_NORMAL;
        if (c != RESULT_NORMAL && c != RESULT_CONTINUE) return c;
        bool truth;
        if (Condition(run, node.items[1], truth, "Boolean expression expected") < 0) return RESULT_ERROR;
        if (truth) return RESULT_NORMAL;
      }
    case TK_FOR: {
      // The head's statements leave their values in a private result.
      RValue headResult;
      RValue* bodyResult = run.result;
      run.result = &headResult;
      int32_t c = Exec(run, node.items[0]);
      run.result = bodyResult;
      if (c != RESULT_NORMAL) return c;
      for (;;) {
        if (Quit_Requested()) return RESULT_EXIT;
        bool truth;
        if (Condition(run, node.items[1], truth, "Expression expected") < 0) return RESULT_ERROR;
        if (!truth) return RESULT_NORMAL;
        c = Exec(run, node.items[3]);
        if (c == RESULT_BREAK) return RESULT_NORMAL;
        if (c != RESULT_NORMAL && c != RESULT_CONTINUE) return c;
        if (StepFast(run, node.items[2])) continue;
        run.result = &headResult;
        c = Exec(run, node.items[2]);
        run.result = bodyResult;
        if (c != RESULT_NORMAL) return c;
      }
    }
    case TK_REPEAT: {
      RValue v;
      if (EvalFast(run, node.items[0], v) < 0) return RESULT_ERROR;
      if (v.kind != VALUE_REAL) return Fail(run, node.items[0].position, "Repeat count must be a number");
      const int64_t n = Real_ToInt64(v.val);
      for (int64_t i = 0; i < n; ++i) {
        if (Quit_Requested()) return RESULT_EXIT;
        int32_t c = Exec(run, node.items[1]);
        if (c == RESULT_BREAK) return RESULT_NORMAL;
        if (c != RESULT_NORMAL && c != RESULT_CONTINUE) return c;
      }
      return RESULT_NORMAL;
    }
    default: return RESULT_NORMAL;
  }
}

int32_t Exec(RunContext& run, const RToken& node) {
  switch (node.kind) {
    case TK_BLOCK:
      for (const RToken& child : node.items) {
        int32_t c = Exec(run, child);
        if (c != RESULT_NORMAL) return c;
      }
      return RESULT_NORMAL;
    case TK_ASSIGN: return ExecAssign(run, node);
    case TK_FUNCTION: {
      // A call that waited (sleep, a dialog) may have been cut short by a
      // quit request: the code goes no further than that call.
      const int32_t c = CallFunction(run, node, *run.result);
      return c == RESULT_NORMAL && Quit_Requested() ? RESULT_EXIT : c;
    }
    case TK_IF: {
      bool truth;
      if (Condition(run, node.items[0], truth, "Expression expected") < 0) return RESULT_ERROR;
      if (truth) return Exec(run, node.items[1]);
      return node.itemnumb() > 2 ? Exec(run, node.items[2]) : RESULT_NORMAL;
    }
    case TK_WHILE:
    case TK_DO:
    case TK_FOR:
    case TK_REPEAT: return ExecLoop(run, node);
    case TK_WITH: return ExecWith(run, node);
    case TK_SWITCH: return ExecSwitch(run, node);
    case TK_EXIT: return RESULT_EXIT;
    case TK_RETURN:
      if (EvalFast(run, node.items[0], *run.result) < 0) return RESULT_ERROR;
      return RESULT_EXIT;
    case TK_BREAK: return RESULT_BREAK;
    case TK_CONTINUE: return RESULT_CONTINUE;
    case TK_VAR: return RESULT_NORMAL;
    case TK_GLOBALVAR:
      for (const RToken& name : node.items) Variable_GlobalDeclare(name.ind);
      return RESULT_NORMAL;
    case TK_EMPTYPROGRAM: return RESULT_NORMAL;
    case TK_EMPTY: return Fail(run, node.position, "Statement expected.");
    case TK_CASE: return Fail(run, node.position, "Case statement only allowed inside switch statement.");
    case TK_DEFAULT: return Fail(run, node.position, "Default statement only allowed inside switch statement.");
    default: return Fail(run, node.position, "This is not a program.");
  }
}

}  // namespace

int32_t Tree_Eval(RunContext& run, const RToken& node, RValue& out) { return Eval(run, node, out); }
int32_t Tree_Exec(RunContext& run, const RToken& node) { return Exec(run, node); }
int32_t Tree_ReadVariable(RunContext& run, const RToken& node, RValue& out) { return ReadVariable(run, node, out); }

void Code_StackMeasure() {
  char* sp = static_cast<char*>(__builtin_frame_address(0));
  {
    pthread_attr_t attr;
    void* addr = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &addr, &size);
      pthread_attr_destroy(&attr);
    }
    if (!addr || size == 0) {
      // Unknown bounds: assume a 1 MiB stack below the current point.
      size = 1u << 20;
      addr = sp - size;
    }
    g_StackLow = static_cast<char*>(addr);
    // Keep room for the deepest expression a single piece of code may hold.
    g_StackReserve = size / 4 < (2u << 20) ? size / 4 : (2u << 20);
    g_StackLimit = g_StackLow + g_StackReserve;
  }
}

void Code_ReportRecursion(const CCode* code, int32_t position) {
  Error_SetCodeError(code, position, "Recursion too deep.");
  Error_Report(g_ScriptState.errorText, true);
}

// One run of a piece of code; Code_Execute and script calls share it.
[[gnu::always_inline]] inline bool RunCode(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result) {
  Error_ClearPending();
  if (!code || !code->i_compiled) {
    Error_SetCodeError(code, 0, "Internal Error: Executing non-compiled code.");
    return false;
  }
  if (code->i_kind == CODE_CONSTANT) {
    result = code->i_value;
    return true;
  }
  if (!self || !other) {
    Error_SetCodeError(code, 0, "Internal Error: Executing code for nil instance.");
    return false;
  }
  if (Code_StackExhausted()) {
    Code_ReportRecursion(code, 0);
    return false;
  }
  // The run holds the code: a built-in may free or replace it meanwhile.
  const bool held = code->i_refs > 0;
  if (held) ++code->i_refs;
  RunContext run;
  run.self = self;
  run.other = other;
  run.code = code;
  run.result = &result;
  int32_t c = code->i_program && Code_Engine() == EScriptEngine::Machine ? Machine_Run(run, *code->i_program)
              : code->i_kind == CODE_EXPRESSION                           ? Eval(run, code->i_token, result)
                                                                          : Exec(run, code->i_token);
  if (run.locals) Locals_Release(run.locals);
  if (held && --code->i_refs == 0) delete code;
  return c != RESULT_ERROR;
}

bool Function_Call(int32_t id, CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& result, RValue* args,
                   const CCode* code, int32_t position) {
  return CallById(id, self, other, argc, result, args, code, position);
}

bool Code_Execute(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result) {
  return RunCode(self, other, code, result);
}

bool Script_Execute(int32_t index, CInstanceBase* self, CInstanceBase* other, RValue& result, bool check,
                    const RValue* args, int32_t argc) {
  CScript* script = Script_Get(index);
  if (!script || !script->s_code) return false;
  if (argc > kMaxArgumentSlots) argc = kMaxArgumentSlots;
  // The run holds the code, so a script replaced while it runs finishes.
  CCodeRef code = script->s_code;

  ArgumentFrame frame(args, argc);
  const int32_t savedCount = g_ScriptState.argumentCount;
  const int32_t savedScript = g_ScriptState.script;
  g_ScriptState.argumentCount = argc;
  g_ScriptState.script = index;

  result.SetReal(0.0);
  const bool ok = Script_Finish(index, RunCode(self, other, code.get(), result), result, argc, *code, check);
  g_ScriptState.argumentCount = savedCount;
  g_ScriptState.script = savedScript;
  return ok;
}

bool Script_FinishSlow(int32_t index, bool ok, RValue& result, int32_t argc, const CCode& code, bool check) {
  if (!ok) {
    result = RValue::String("ERROR");
    g_ScriptState.errorText = "In script " + Script_Name(index) + ":\r" + g_ScriptState.errorText;
  }
  if (check && g_PackageData.settings.opt_checkargs) {
    if ((code.i_ArgArray && argc < code.i_Args) || (!code.i_ArgArray && argc != code.i_Args)) {
      g_ScriptState.errorText = "Illegal argument count calling script \"" + Script_Name(index) + "\".\r" +
                                (code.i_ArgArray ? "Script requires at least " : "Script requires ") +
                                std::to_string(code.i_Args) + " arguments, " + std::to_string(argc) +
                                " have been supplied.";
      g_ScriptState.errorPending = true;
      ok = false;
    }
  }
  return ok;
}

bool Code_ExecuteReport(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result) {
  if (Code_Execute(self, other, code, result)) return true;
  Error_ReportAction(g_ScriptState.errorText, false);
  Error_ClearPending();
  return false;
}

bool Code_ExecuteValue(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result) {
  if (Code_Execute(self, other, code, result)) return true;
  result = RValue::String("ERROR");
  return false;
}

}  // namespace tavrin
