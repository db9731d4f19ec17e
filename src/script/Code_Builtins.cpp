// The built-in functions the script engine itself provides: running scripts
// and code, access to variables by name, and the few conversions and messages
// that testing the language needs before the function library is complete.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_File.h"
#include "script/Code_Function.h"
#include "script/Code_Variable.h"
#include "script/Script_Class.h"
#include "script/Variable_Main.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"

namespace tavrin {

std::string Value_ToText(const RValue& v) {
  if (v.kind == VALUE_STRING) return v.str.str();
  const double x = v.val;
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
  // Zero has no sign in text: -0 (from -n with n = 0, or the fraction of a
  // negative whole number) prints as 0.
  if (x == 0) return "0";
  char buf[64];
  if (x == std::nearbyint(x)) {
    if (std::fabs(x) < 1e21)
      std::snprintf(buf, sizeof buf, "%.0f", x);
    else
      std::snprintf(buf, sizeof buf, "%.10g", x);
  } else {
    std::snprintf(buf, sizeof buf, "%.2f", x);
  }
  return buf;
}

namespace {

// --- running code ---

// Runs `text` as a program with the given arguments in the argument slots;
// the slots are restored afterwards, the argument count is left alone.
void ExecuteText(CInstanceBase* self, CInstanceBase* other, const std::string& text, const char* heading,
                 int32_t argc, RValue& result, RValue* args) {
  if (argc > kMaxArgumentSlots) argc = kMaxArgumentSlots;
  ArgumentFrame frame(args + 1, argc - 1);
  CCodeRef code = Code_Create(text, false);
  if (Code_StackExhausted()) {
    Code_ReportRecursion(code.get(), 0);
    return;
  }
  if (!code->Compile()) {
    Error_Report(std::string(heading) + "\r" + g_ScriptState.errorText, false);
    Error_ClearPending();
  } else {
    Code_ExecuteReport(self, other, code.get(), result);
  }

}

void F_ExecuteString(CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& result, RValue* args) {
  if (argc == 0) return;
  ExecuteText(self, other, args[0].str.str(), "COMPILATION ERROR in string to be executed", argc, result, args);
}

// Every line of a file to be executed ends in CR, whatever line end (CR LF,
// LF or CR) the file has, the last line too.
std::string LinesEndedByCR(const std::string& raw) {
  std::string text;
  text.reserve(raw.size() + 1);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text += raw[i] == '\n' ? '\r' : raw[i];
  }
  if (!text.empty() && text.back() != '\r') text += '\r';
  return text;
}

void F_ExecuteFile(CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& result, RValue* args) {
  if (argc == 0) return;
  std::string raw;
  switch (Code_ReadFile(args[0].str.str(), raw)) {
    case ECodeFile::Read: break;
    case ECodeFile::Unreadable: Error_ReportAction("Trying to execute non-existing file.", false); return;
    case ECodeFile::Directory: Error_ReportAction("Trying to execute a directory.", false); return;
    case ECodeFile::TooLarge:
      Error_ReportAction("File to be executed is too large: more than " +
                             std::to_string(kMaxCodeFileMiB) + " MiB of code.",
                         false);
      return;
  }
  ExecuteText(self, other, LinesEndedByCR(raw), "COMPILATION ERROR in file to be executed", argc, result, args);
}

void F_ScriptExecute(CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& result, RValue* args) {
  const int32_t index = argc > 0 ? Real_ToInt32(args[0].val) : -1;
  if (!Script_Exists(index)) {
    Error_ReportAction("Trying to execute non-existing script.", false);
    return;
  }
  if (argc > kMaxArguments) argc = kMaxArguments;
  Script_Execute(index, self, other, result, true, args + 1, argc - 1);
  if (g_ScriptState.errorPending) {
    Error_ReportAction(g_ScriptState.errorText, false);
    // Reported: the next error of the calling code must be recorded afresh.
    Error_ClearPending();
  }
}

// --- variables by name ---

bool IndexArg(const RValue& v, int32_t& out) {
  int32_t i = Real_ToInt32(v.val);
  if (i < 0 || i >= kArrayRowLength) {
    Error_ReportAction("Array index >= 32000", false);
    return false;
  }
  out = i;
  return true;
}

// Works out the array index from `count` index arguments starting at args[1].
bool ArrayArgs(RValue* args, int32_t count, int32_t& arr) {
  arr = 0;
  for (int32_t k = 0; k < count; ++k) {
    int32_t i;
    if (!IndexArg(args[1 + k], i)) return false;
    arr = k == 0 ? i : arr * kArrayRowLength + i;
  }
  return true;
}

template <bool Global, int32_t Dims>
void F_VariableGet(CInstanceBase* self, CInstanceBase*, int32_t, RValue& result, RValue* args) {
  int32_t arr;
  if (!ArrayArgs(args, Dims, arr)) return;
  const int32_t ind = Variable_Find(args[0].str.view());
  RValue v;
  bool ok = Global ? Variable_GlobalGet(ind, arr, v) : Variable_InstanceGet(self, ind, arr, v);
  result = ok ? v : RValue();
}

template <bool Global, int32_t Dims>
void F_VariableSet(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RValue* args) {
  int32_t arr;
  if (!ArrayArgs(args, Dims, arr)) return;
  const int32_t ind = Variable_Find(args[0].str.view());
  if (Global)
    Variable_GlobalSet(ind, arr, args[1 + Dims]);
  else
    Variable_InstanceSet(self, ind, arr, args[1 + Dims]);
}

template <bool Global>
void F_VariableExists(CInstanceBase* self, CInstanceBase*, int32_t, RValue& result, RValue* args) {
  const int32_t ind = Variable_Find(args[0].str.view());
  RValue v;
  bool ok = Global ? Variable_GlobalGet(ind, 0, v) : Variable_InstanceGet(self, ind, 0, v);
  result.SetReal(ok ? 1.0 : 0.0);
}

// --- conversions and messages ---

void F_ShowDebugMessage(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* args) {
  std::string text = Value_ToText(args[0]);
  Host().DebugMessage(text);
  text += '\n';
  // Once standard output is gone (a closed pipe), the output has ended: the
  // game goes on without it.
  if (!std::ferror(stdout)) std::fwrite(text.data(), 1, text.size(), stdout);
}

void F_IsReal(CInstanceBase*, CInstanceBase*, int32_t, RValue& result, RValue* args) {
  result.SetReal(args[0].kind == VALUE_REAL ? 1.0 : 0.0);
}

void F_IsString(CInstanceBase*, CInstanceBase*, int32_t, RValue& result, RValue* args) {
  result.SetReal(args[0].kind == VALUE_STRING ? 1.0 : 0.0);
}

void F_String(CInstanceBase*, CInstanceBase*, int32_t, RValue& result, RValue* args) {
  if (args[0].kind == VALUE_STRING)
    result = args[0];
  else
    result.SetString(RString(Value_ToText(args[0])));
}

void F_Real(CInstanceBase*, CInstanceBase*, int32_t, RValue& result, RValue* args) {
  if (args[0].kind == VALUE_REAL) {
    result = args[0];
    return;
  }
  std::string text = args[0].str.str();
  size_t a = 0, b = text.size();
  while (a < b && static_cast<unsigned char>(text[a]) <= 32) ++a;
  while (b > a && static_cast<unsigned char>(text[b - 1]) <= 32) --b;
  if (a == b) return;
  std::string number = text.substr(a, b - a);
  char* end = nullptr;
  double v = std::strtod(number.c_str(), &end);
  // Only plain decimal numbers: no hexadecimal, no "inf" or "nan" words.
  bool plain = number.find_first_of("xXnN") == std::string::npos;
  if (!plain || end != number.c_str() + number.size()) {
    Error_ReportAction("Error in function real().", false);
    return;
  }
  result.SetReal(v);
}

void F_ShowError(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* args) {
  Error_ReportAction(args[0].str.view(), args[1].val >= 0.5);
}

const RFunctionRoutine kOwnFunctions[] = {
    {"execute_string", F_ExecuteString},
    {"execute_file", F_ExecuteFile},
    {"script_execute", F_ScriptExecute},
    {"variable_global_exists", F_VariableExists<true>},
    {"variable_global_get", F_VariableGet<true, 0>},
    {"variable_global_array_get", F_VariableGet<true, 1>},
    {"variable_global_array2_get", F_VariableGet<true, 2>},
    {"variable_global_set", F_VariableSet<true, 0>},
    {"variable_global_array_set", F_VariableSet<true, 1>},
    {"variable_global_array2_set", F_VariableSet<true, 2>},
    {"variable_local_exists", F_VariableExists<false>},
    {"variable_local_get", F_VariableGet<false, 0>},
    {"variable_local_array_get", F_VariableGet<false, 1>},
    {"variable_local_array2_get", F_VariableGet<false, 2>},
    {"variable_local_set", F_VariableSet<false, 0>},
    {"variable_local_array_set", F_VariableSet<false, 1>},
    {"variable_local_array2_set", F_VariableSet<false, 2>},
    {"show_debug_message", F_ShowDebugMessage},
    {"is_real", F_IsReal},
    {"is_string", F_IsString},
    {"string", F_String},
    {"real", F_Real},
    {"show_error", F_ShowError},
};

}  // namespace

void Function_ImplementScriptEngine() {
  Function_ImplementTable(kOwnFunctions);
}

void Script_InitEngine() {
  Function_RegisterAll();
  Function_ImplementScriptEngine();
  Variable_RegisterBuiltins();
  Constant_RegisterBuiltins();
  // Families fill in functions and variables, so both tables exist first.
  Host().RegisterFunctionFamilies();
}

}  // namespace tavrin
