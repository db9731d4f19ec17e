// The table of built-in functions. Every function of the language is entered
// at start with its name and argument count, in a fixed order, so function ids
// never depend on the game; each family of functions then fills in the routine
// of its own entries with Function_Implement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/Script_State.h"
#include "script/Variable_Class.h"

namespace tavrin {

// A built-in routine: (self, other, argument count, result, arguments). The
// result is real 0 on entry. A routine never fails towards the interpreter; it
// reports misuse itself as a non-fatal error and returns a neutral value.
using TRoutine = void (*)(CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& result,
                          RValue* args);

// The head of a routine of a function family, whose body may leave the count
// and the result alone: `FUNCTION_ROUTINE(F_Abs) { result.SetReal(...a[0]...); }`.
#define FUNCTION_ROUTINE(name)                                                                               \
  void name(CInstanceBase*, CInstanceBase*, [[maybe_unused]] int32_t argc, [[maybe_unused]] RValue& result, \
            [[maybe_unused]] RValue* a)

struct RFunction {
  std::string f_name;
  TRoutine f_routine = nullptr;
  int32_t f_argnumb = 0;  // -1: any count from 0 to 16
};

constexpr int32_t kMaxArguments = 16;
constexpr int32_t kScriptIdBase = 100000;
constexpr int32_t kExtensionIdBase = 500000;

extern std::vector<RFunction> g_Functions;

// Enters every built-in function of the language (once; later calls do
// nothing). Functions without a routine report, when called, that they are not
// available, so games using them still compile and run.
void Function_RegisterAll();
int32_t Function_Register(std::string_view name, TRoutine routine, int32_t argnumb);
// Sets the routine of the entry named `name`; false when there is none.
bool Function_Implement(std::string_view name, TRoutine routine);
// A family's routines by name, entered together.
struct RFunctionRoutine {
  const char* name;
  TRoutine routine;
};
template <size_t N>
void Function_ImplementTable(const RFunctionRoutine (&table)[N]) {
  for (const auto& f : table) Function_Implement(f.name, f.routine);
}
int32_t Function_Find(std::string_view name);
// The argument count for the compiler's check: -1 for any, -100 for an id
// outside every table.
int32_t Function_ArgCount(int32_t id);
// Name lookup for calls: scripts first, then extension functions, then the
// built-in table. Scripts hide extension functions, which hide built-ins.
bool Function_Resolve(std::string_view name, int32_t& id);
std::string Function_Name(int32_t id);

}  // namespace tavrin
