// The rules both back ends of the interpreter share: reaching a variable
// through its owner, an array index's checks, the real cases of the binary
// operators, finishing an assignment and calling a function by id. The tree
// walker (Code_Exec.cpp) and the register machine (Code_Machine.cpp) both
// use these, so each rule of the language is written once and the two agree
// to the last error message.
//
// Internal to the script engine.
#pragma once

#include <string>
#include <string_view>

#include "package/Package_Data.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "script/Code_Operator.h"
#include "script/Code_Variable.h"
#include "script/Script_Class.h"
#include "script/Script_Host.h"

namespace tavrin {

inline int32_t Fail(RunContext& run, int32_t position, std::string_view message) {
  Error_SetCodeError(run.code, position, message);
  return RESULT_ERROR;
}

[[gnu::noinline]] inline int32_t UnknownVariable(RunContext& run, const RToken& node, int32_t arr) {
  std::string message = "Unknown variable " + Variable_Name(node.ind);
  if (arr != 0) message += " or array index out of bounds";
  return Fail(run, node.position, message);
}

// Whether any name has been declared `globalvar` yet: most games never do,
// and then a name read on self needs no look at the per-name flags.
inline bool Variable_IsGlobalDeclaredFast(int32_t ind) {
  return g_ScriptState.anyGlobalDeclared && Variable_IsGlobalDeclared(ind);
}

// Reads through the owner rules, taking the short way for the owners that
// code uses most and remembering where the variable was found.
inline bool ReadVar(RunContext& run, int32_t owner, const RToken& node, int32_t arr, RValue& out) {
  const int32_t ind = node.ind;
  if (ind > kBuiltinVariableLimit) {
    switch (owner) {
      case OWNER_IMPLICIT:
        if (!Variable_IsGlobalDeclaredFast(ind)) return run.self->i_vars.GetVarHinted(ind, arr, out, node.hint);
        return g_ScriptState.globals.GetVarHinted(ind, arr, out, node.hint);
      case OWNER_LOCAL:
        if (run.locals) return run.locals->GetVarHinted(ind, arr, out, node.hint);
        if (g_PackageData.settings.opt_uninitzero) {
          out.SetReal(0.0);
          return true;
        }
        return false;
      case OWNER_GLOBAL: return g_ScriptState.globals.GetVarHinted(ind, arr, out, node.hint);
      case OWNER_SELF: return run.self->i_vars.GetVarHinted(ind, arr, out, node.hint);
      default: break;
    }
  }
  return Variable_Read(run, owner, ind, arr, out);
}

inline bool WriteVar(RunContext& run, int32_t owner, const RToken& node, int32_t arr, const RValue& val) {
  const int32_t ind = node.ind;
  if (ind > kBuiltinVariableLimit) {
    switch (owner) {
      case OWNER_IMPLICIT:
        if (!Variable_IsGlobalDeclaredFast(ind)) {
          run.self->i_vars.SetVarHinted(ind, arr, val, node.hint);
          return true;
        }
        g_ScriptState.globals.SetVarHinted(ind, arr, val, node.hint);
        return true;
      case OWNER_LOCAL:
        if (!run.locals) run.locals = Locals_Acquire();
        run.locals->SetVarHinted(ind, arr, val, node.hint);
        return true;
      case OWNER_GLOBAL: g_ScriptState.globals.SetVarHinted(ind, arr, val, node.hint); return true;
      case OWNER_SELF: run.self->i_vars.SetVarHinted(ind, arr, val, node.hint); return true;
      default: break;
    }
  }
  return Variable_Write(run, owner, ind, arr, val);
}

// One array index: a real from 0 to 31999, rounded; anything else is an
// error at the index expression `e`.
[[gnu::always_inline]] inline int32_t ArrayIndex(RunContext& run, const RToken& e, const RValue& v, int32_t& i) {
  if (v.kind != VALUE_REAL) return Fail(run, e.position, "Wrong type of array index");
  i = Real_ToInt32(v.val);
  if (i < 0) return Fail(run, e.position, "Negative array index");
  if (i >= kArrayRowLength) return Fail(run, e.position, "Array index >= 32000");
  return RESULT_NORMAL;
}

// The binary operators on two reals that need no general routine: `a` is
// replaced by the result. False for the cases the general routine decides
// (other operators, division by zero, `div` and `mod` beyond 32 bits).
[[gnu::always_inline]] inline bool Binary_Real(int32_t op, double& a, double b) {
  switch (op) {
    case OP_PLUS: a = a + b; return true;
    case OP_MINUS: a = a - b; return true;
    case OP_TIMES: a = a * b; return true;
    case OP_DIVIDE:
      if (b == 0.0) return false;
      a = a / b;
      return true;
    case OP_MOD:
    case OP_DIV: {
      if (b == 0.0) return false;
      const double q = a / b;
      if (!(q > -2147483648.0 && q < 2147483648.0)) return false;  // the wrapping cases
      const int32_t t = static_cast<int32_t>(q);
      a = op == OP_DIV ? static_cast<double>(t) : a - t * b;
      return true;
    }
      // Each comparison with its own code, so that the tolerance rule
      // folds to one test.
#define TAVRIN_COMPARE(op_)                                   \
  case op_: a = Operator_CompareHolds(op_, a - b) ? 1.0 : 0.0; \
    return true;
      TAVRIN_COMPARE(OP_EQUAL)
      TAVRIN_COMPARE(SYM_ASSIGN)
      TAVRIN_COMPARE(OP_NOTEQUAL)
      TAVRIN_COMPARE(OP_LESS)
      TAVRIN_COMPARE(OP_GREATER)
      TAVRIN_COMPARE(OP_LESSEQUAL)
      TAVRIN_COMPARE(OP_GREATEREQUAL)
#undef TAVRIN_COMPARE
    default: return false;
  }
}

// `left op right` into `left`, errors at `position` (the right operand's).
[[gnu::always_inline]] inline bool Binary_Apply(RunContext& run, int32_t position, int32_t op, const RValue& right,
                                                RValue& left) {
  if (left.kind == VALUE_REAL && right.kind == VALUE_REAL && Binary_Real(op, left.val, right.val)) return true;
  return Operator_Binary(run.code, position, op, right, left);
}

// Whether a comparison operator holds for two values: the tolerance for two
// reals, the general routine (errors at `position`) otherwise. False with an
// error recorded when the operands cannot be compared.
[[gnu::always_inline]] inline int32_t Compare(RunContext& run, int32_t position, int32_t op, const RValue& left,
                                              const RValue& right, bool& truth) {
  if (left.kind == VALUE_REAL && right.kind == VALUE_REAL) {
    truth = Operator_CompareHolds(op, left.val - right.val);
    return RESULT_NORMAL;
  }
  RValue v = left;
  if (!Operator_Binary(run.code, position, op, right, v)) return RESULT_ERROR;
  truth = v.val >= 0.5;
  return RESULT_NORMAL;
}

// The operator of a compound assignment (`+=` gives OP_PLUS).
inline int32_t Assign_Operator(int32_t symbol) {
  return symbol == SYM_PLUSASSIGN    ? OP_PLUS
         : symbol == SYM_MINUSASSIGN ? OP_MINUS
         : symbol == SYM_TIMESASSIGN ? OP_TIMES
         : symbol == SYM_DIVASSIGN   ? OP_DIVIDE
         : symbol == SYM_ORASSIGN    ? OP_BITOR
         : symbol == SYM_ANDASSIGN   ? OP_BITAND
                                     : OP_BITXOR;
}

// A compound assignment's operator: `current` (the variable's value) becomes
// `current op value`; errors at the assignment.
inline bool Assign_Combine(RunContext& run, const RToken& node, const RValue& value, RValue& current) {
  const int32_t op = Assign_Operator(node.ind);
  if (op == OP_PLUS && current.kind == VALUE_REAL && value.kind == VALUE_REAL) {
    current.val += value.val;
    return true;
  }
  return Operator_Binary(run.code, node.position, op, value, current);
}

// The rest of an assignment `node` once its target is located (owner and
// array index) and its value evaluated: a compound form reads the variable
// and applies its operator; `result` (the run's result, or a private one for
// the statements of a for head) receives the value stored. Errors: reading a
// variable that does not exist at the target, the operator's and a refused
// store at the assignment.
inline int32_t Assign_Finish(RunContext& run, const RToken& node, int32_t owner, int32_t arr, RValue&& value,
                             RValue& result) {
  const RToken& target = node.items[0];
  const uint8_t access = target.access;
  if (node.ind == SYM_ASSIGN) {
    result = std::move(value);
  } else {
    bool ok;
    if (access == VA_ARGUMENT) {
      result = g_ScriptState.arguments[target.hint];
      ok = true;
    } else if (access == VA_BUILTIN) {
      ok = g_BuiltinVars[target.ind].getter(run.self, 0, result);
    } else {
      ok = ReadVar(run, owner, target, arr, result);
    }
    if (!ok) {
      if (!g_PackageData.settings.opt_uninitzero) return UnknownVariable(run, target, arr);
      result.SetReal(0.0);
    }
    if (!Assign_Combine(run, node, value, result)) return RESULT_ERROR;
  }
  bool ok;
  if (access == VA_ARGUMENT) {
    g_ScriptState.arguments[target.hint] = result;
    Argument_Touch(target.hint);
    ok = true;
  } else if (access == VA_BUILTIN) {
    const auto& v = g_BuiltinVars[target.ind];
    ok = v.writable && v.setter && v.setter(run.self, 0, result);
  } else {
    ok = WriteVar(run, owner, target, arr, result);
  }
  if (!ok) return Fail(run, node.position, "Cannot assign to the variable");
  return RESULT_NORMAL;
}

// Function_Call's body, inlined into the interpreter's calls, where it is hot.
[[gnu::always_inline]] inline bool CallById(int32_t id, CInstanceBase* self, CInstanceBase* other, int32_t argc,
                                            RValue& result, RValue* args, const CCode* code, int32_t position) {
  if (id < kScriptIdBase) {
    result.SetReal(0.0);
    if (id < 0 || size_t(id) >= g_Functions.size()) return true;  // an action whose function was never found
    g_ScriptState.function = id;
    g_Functions[size_t(id)].f_routine(self, other, argc, result, args);
    return true;
  }
  if (id < kExtensionIdBase) {
    const int32_t index = id - kScriptIdBase;
    if (!Script_Exists(index)) {
      Error_SetCodeError(code, position, "Trying to execute non-existing script.");
      return false;
    }
    if (Code_StackExhausted()) {
      Code_ReportRecursion(code, position);
      return false;
    }
    return Script_Execute(index, self, other, result, true, args, argc);
  }
  result.SetReal(0.0);
  return Host().ExtensionCall(id - kExtensionIdBase, self, other, argc, result, args);
}

// What ends every script call: a failed run gives the value "ERROR" and
// names the script before the error; with argument checking on, a count the
// script does not take fails the call. Whether the call succeeded.
bool Script_FinishSlow(int32_t index, bool ok, RValue& result, int32_t argc, const CCode& code, bool check);
inline bool Script_Finish(int32_t index, bool ok, RValue& result, int32_t argc, const CCode& code, bool check) {
  if (ok && !(check && g_PackageData.settings.opt_checkargs)) return true;
  return Script_FinishSlow(index, ok, result, argc, code, check);
}

// The tree walker's own entry points, which the machine uses for what it
// leaves to the tree: an expression, a statement, a variable read.
int32_t Tree_Eval(RunContext& run, const RToken& node, RValue& out);
int32_t Tree_Exec(RunContext& run, const RToken& node);
int32_t Tree_ReadVariable(RunContext& run, const RToken& node, RValue& out);

}  // namespace tavrin
