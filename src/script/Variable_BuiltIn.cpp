// The built-in variables of the language. Every name is entered at start, in
// a fixed order, so its index never depends on the game. The script engine
// serves the variables it owns (arguments, errors, platform facts); the
// subsystems that own the others (instances, rooms, views, input ...) fill in
// their getters and setters with Variable_BuiltinImplement. Until they do, a
// read or write reports that the variable is not available.
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <ctime>
#include <filesystem>
#include <utility>

#include "package/Option_Main.h"
#include "platform/Platform_File.h"
#include "script/Code_Error.h"
#include "script/Variable_Main.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"
#include "package/Package_Data.h"

namespace tavrin {

namespace {

struct RVariableName {
  const char* name;
  bool instance;
  bool array;
  bool writable;
};
constexpr RVariableName kVariableNames[] = {
#include "script/Variable_BuiltInNames.inc"
};
constexpr size_t kVariableCount = std::size(kVariableNames);

void ReportNotAvailable(size_t index) {
  Error_ReportAction("Variable " + std::string(kVariableNames[index].name) + " is not available in this version.",
                     false);
}

template <size_t I>
bool NotAvailableGet(CInstanceBase*, int32_t, RValue& val) {
  ReportNotAvailable(I);
  val.SetReal(0.0);
  return true;
}
template <size_t I>
bool NotAvailableSet(CInstanceBase*, int32_t, const RValue&) {
  ReportNotAvailable(I);
  return true;
}
template <size_t... I>
constexpr std::array<std::pair<TGetter, TSetter>, sizeof...(I)> MakeNotAvailable(std::index_sequence<I...>) {
  return {std::pair<TGetter, TSetter>{&NotAvailableGet<I>, &NotAvailableSet<I>}...};
}
constexpr auto kNotAvailable = MakeNotAvailable(std::make_index_sequence<kVariableCount>());

// --- arguments ---
template <int32_t K>
bool GetArgumentK(CInstanceBase*, int32_t, RValue& val) {
  val = g_ScriptState.arguments[K];
  return true;
}
template <int32_t K>
bool SetArgumentK(CInstanceBase*, int32_t, const RValue& val) {
  g_ScriptState.arguments[K] = val;
  Argument_Touch(K);
  return true;
}
template <int32_t... K>
constexpr std::array<std::pair<TGetter, TSetter>, sizeof...(K)> MakeArguments(
    std::integer_sequence<int32_t, K...>) {
  return {std::pair<TGetter, TSetter>{&GetArgumentK<K>, &SetArgumentK<K>}...};
}
constexpr auto kArgumentSlots = MakeArguments(std::make_integer_sequence<int32_t, kMaxArgumentSlots>());

int32_t ArgumentSlot(int32_t arr) { return arr >= 0 && arr < kMaxArgumentSlots ? arr : 0; }

bool GetArgumentArray(CInstanceBase*, int32_t arr, RValue& val) {
  if (g_PackageData.settings.opt_checkargs && arr >= g_ScriptState.argumentCount) {
    Error_Report("Illegal array index in script \"" + Argument_ScriptName() + "\".\rtrying to access argument[" +
                     std::to_string(arr) + "], but only " + std::to_string(g_ScriptState.argumentCount) +
                     " arguments have been supplied.",
                 false);
    return false;
  }
  val = g_ScriptState.arguments[ArgumentSlot(arr)];
  return true;
}
bool SetArgumentArray(CInstanceBase*, int32_t arr, const RValue& val) {
  int32_t slot = ArgumentSlot(arr);
  g_ScriptState.arguments[slot] = val;
  Argument_Touch(slot);
  return true;
}
bool GetArgumentCount(CInstanceBase*, int32_t, RValue& val) {
  val.SetReal(g_ScriptState.argumentCount);
  return true;
}

// --- errors ---
bool GetErrorOccurred(CInstanceBase*, int32_t, RValue& val) {
  val.SetReal(g_ScriptState.errorOccurred ? 1.0 : 0.0);
  return true;
}
bool SetErrorOccurred(CInstanceBase*, int32_t, const RValue& val) {
  g_ScriptState.errorOccurred = val.val >= 0.5;
  return true;
}
bool GetErrorLast(CInstanceBase*, int32_t, RValue& val) {
  val.SetString(RString(g_ScriptState.errorLast));
  return true;
}
bool SetErrorLast(CInstanceBase*, int32_t, const RValue& val) {
  g_ScriptState.errorLast = val.str.str();
  return true;
}

// --- the instance ---
bool GetId(CInstanceBase* inst, int32_t, RValue& val) {
  val.SetReal(inst->i_id);
  return true;
}
bool GetObjectIndex(CInstanceBase* inst, int32_t, RValue& val) {
  val.SetReal(inst->i_objectindex);
  return true;
}
bool GetInstanceCount(CInstanceBase*, int32_t, RValue& val) {
  val.SetReal(Host().InstanceCount());
  return true;
}
bool GetInstanceId(CInstanceBase*, int32_t arr, RValue& val) {
  CInstanceBase* inst = arr < Host().InstanceCount() ? Host().InstanceAt(arr) : nullptr;
  val.SetReal(inst ? inst->i_id : OWNER_NOONE);
  return true;
}

// --- the platform ---
template <int32_t V>
bool GetConstant(CInstanceBase*, int32_t, RValue& val) {
  val.SetReal(V);
  return true;
}
bool GetWorkingDirectory(CInstanceBase*, int32_t, RValue& val) {
  std::error_code ec;
  val.SetString(RString(std::filesystem::current_path(ec).string()));
  return true;
}
bool GetProgramDirectory(CInstanceBase*, int32_t, RValue& val) {
  val.SetString(RString(File_ProgramFolder()));
  return true;
}
template <int Field>
bool GetDatePart(CInstanceBase*, int32_t, RValue& val) {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  int v = 0;
  switch (Field) {
    case 0: v = t.tm_year + 1900; break;
    case 1: v = t.tm_mon + 1; break;
    case 2: v = t.tm_mday; break;
    case 3: v = t.tm_wday + 1; break;  // 1 is Sunday
    case 4: v = t.tm_hour; break;
    case 5: v = t.tm_min; break;
    default: v = t.tm_sec; break;
  }
  val.SetReal(v);
  return true;
}

struct ROwnVariable {
  const char* name;
  TGetter getter;
  TSetter setter;
};
const ROwnVariable kOwnVariables[] = {
    {"argument", GetArgumentArray, SetArgumentArray},
    {"argument_count", GetArgumentCount, nullptr},
    {"error_occurred", GetErrorOccurred, SetErrorOccurred},
    {"error_last", GetErrorLast, SetErrorLast},
    {"id", GetId, nullptr},
    {"object_index", GetObjectIndex, nullptr},
    {"instance_count", GetInstanceCount, nullptr},
    {"instance_id", GetInstanceId, nullptr},
    {"tavrin_version", GetConstant<810>, nullptr},
    {"os_type", GetConstant<0>, nullptr},
    {"os_device", GetConstant<0>, nullptr},
    {"os_browser", GetConstant<-1>, nullptr},
    {"os_version", GetConstant<-1>, nullptr},
    {"browser_width", GetConstant<-1>, nullptr},
    {"browser_height", GetConstant<-1>, nullptr},
    {"async_load", GetConstant<-1>, nullptr},
    {"working_directory", GetWorkingDirectory, nullptr},
    {"program_directory", GetProgramDirectory, nullptr},
    {"current_year", GetDatePart<0>, nullptr},
    {"current_month", GetDatePart<1>, nullptr},
    {"current_day", GetDatePart<2>, nullptr},
    {"current_weekday", GetDatePart<3>, nullptr},
    {"current_hour", GetDatePart<4>, nullptr},
    {"current_minute", GetDatePart<5>, nullptr},
    {"current_second", GetDatePart<6>, nullptr},
};

}  // namespace

void Variable_RegisterBuiltins() {
  if (!g_BuiltinVars.empty()) return;
  for (size_t i = 0; i < kVariableCount; ++i) {
    const auto& v = kVariableNames[i];
    Variable_BuiltinRegister(v.name, kNotAvailable[i].first, v.writable ? kNotAvailable[i].second : nullptr,
                             v.writable);
  }
  for (int32_t k = 0; k < kMaxArgumentSlots; ++k)
    Variable_BuiltinImplement("argument" + std::to_string(k), kArgumentSlots[k].first, kArgumentSlots[k].second);
  for (const auto& v : kOwnVariables) Variable_BuiltinImplement(v.name, v.getter, v.setter);
}

}  // namespace tavrin
