// The interpreter: runs compiled code for a pair of instances.
#pragma once

#include "script/Code_Main.h"
#include "script/Variable_Main.h"
#include "script/Script_State.h"

namespace tavrin {

// Statement results, passed up through nested statements.
enum : int32_t { RESULT_NORMAL = 0, RESULT_ERROR = -1, RESULT_EXIT = -2, RESULT_BREAK = -3, RESULT_CONTINUE = -4 };

// Runs `code` for `self` and `other`; false when it ended with an error (the
// text is in the error record). `result` receives the value of the run.
bool Code_Execute(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result);
// The same; a failure is reported as a non-fatal error of the current action.
bool Code_ExecuteReport(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result);
// The same; a failure makes the result the string "ERROR".
bool Code_ExecuteValue(CInstanceBase* self, CInstanceBase* other, CCode* code, RValue& result);

// Calls function `id` (a built-in, a script or an extension function) with
// `argc` arguments into `result`: the one way code and actions reach a
// function. A missing script, or a call too deep for the machine stack, is an
// error recorded at `position` of `code` (which may be null). False when the
// call ended with an error recorded (g_ScriptState.errorPending).
bool Function_Call(int32_t id, CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& result, RValue* args,
                   const CCode* code, int32_t position);

// True when the machine stack is nearly used up: deeper calls must stop with
// an error instead of crashing.
extern char* g_StackLimit;  // game code runs on one thread, like all engine state
void Code_StackMeasure();
inline bool Code_StackExhausted() {
  if (!g_StackLimit) Code_StackMeasure();
  return static_cast<char*>(__builtin_frame_address(0)) < g_StackLimit;
}

// Records the fatal "Recursion too deep." error at `position` of `code`.
void Code_ReportRecursion(const CCode* code, int32_t position);

}  // namespace tavrin
