// Global variables, the built-in variable table, script arguments, and access
// to variables through the owner codes of the language.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "script/Script_State.h"
#include "script/Variable_Class.h"

namespace tavrin {

class CCode;
class CStream;

// Owner codes: the value in front of a dot, or the implicit owner of a name.
enum : int32_t {
  OWNER_SELF = -1,
  OWNER_OTHER = -2,
  OWNER_ALL = -3,
  OWNER_NOONE = -4,
  OWNER_GLOBAL = -5,
  OWNER_IMPLICIT = -6,
  OWNER_LOCAL = -7,
};
constexpr int32_t kFirstInstanceId = 100000;
// Indexes above this are user variables; the others are built-in variables.
constexpr int32_t kBuiltinVariableLimit = 9999;
constexpr int32_t kMaxBuiltinVariables = 500;

// One run of one piece of code: its instances, its locals (made on the first
// local assignment) and the code, against which errors are recorded.
struct RunContext {
  CInstanceBase* self = nullptr;
  CInstanceBase* other = nullptr;
  CVariableList* locals = nullptr;
  CCode* code = nullptr;
  // The run's result value: assignments, calls and return statements leave
  // their value here, and the caller receives what it holds at the end.
  RValue* result = nullptr;
};

// --- global variables (their values live in g_ScriptState) ---
bool Variable_GlobalGet(int32_t var_ind, int32_t arr_ind, RValue& val);
void Variable_GlobalSet(int32_t var_ind, int32_t arr_ind, const RValue& val);
void Variable_GlobalDeclare(int32_t var_ind);
// The global block of a saved game (version 700): the global list and the
// globalvar flags. Loading a block of another version changes nothing; a block
// that ends early changes nothing and gives false.
void Variable_SaveGlobals(CStream& stream);
bool Variable_LoadGlobals(CStream& stream);
inline bool Variable_IsGlobalDeclared(int32_t var_ind) {
  uint32_t k = static_cast<uint32_t>(var_ind) - static_cast<uint32_t>(100000);
  return var_ind >= 100000 && k < g_ScriptState.globalDeclared.size() && g_ScriptState.globalDeclared[k] != 0;
}

// --- built-in variables ---
using TGetter = bool (*)(CInstanceBase* inst, int32_t arr_ind, RValue& val);
using TSetter = bool (*)(CInstanceBase* inst, int32_t arr_ind, const RValue& val);
struct RBuiltinVariable {
  std::string name;
  TGetter getter = nullptr;
  TSetter setter = nullptr;
  bool writable = false;
};
extern std::vector<RBuiltinVariable> g_BuiltinVars;
int32_t Variable_BuiltinRegister(std::string_view name, TGetter getter, TSetter setter, bool writable);
int32_t Variable_BuiltinFind(std::string_view name);
std::string Variable_BuiltinName(int32_t index);
// Sets the getter and setter of the entry `name` (the subsystem that owns the
// variable fills them in); false when there is no such entry.
bool Variable_BuiltinImplement(std::string_view name, TGetter getter, TSetter setter);
// Enters every built-in variable of the language (once).
void Variable_RegisterBuiltins();

// --- script arguments (their slots live in g_ScriptState) ---
// The script being run, for argument messages ("<unknown>" outside scripts).
std::string Argument_ScriptName();
inline void Argument_Touch(int32_t slot) {
  if (slot >= g_ScriptState.argumentsUsed) g_ScriptState.argumentsUsed = slot + 1;
}

// Puts `count` values into the argument slots for a nested run and clears the
// rest; the destructor gives the caller's slots back. Only slots that may be
// non-zero are saved, so a call with few arguments copies little.
class ArgumentFrame {
 public:
  ArgumentFrame(const RValue* values, int32_t count) : savedUsed_(g_ScriptState.argumentsUsed) {
    if (count > kMaxArgumentSlots) count = kMaxArgumentSlots;
    if (count < 0) count = 0;
    RValue* const slots = g_ScriptState.arguments;
    for (int32_t i = 0; i < savedUsed_; ++i) new (&Saved()[i]) RValue(std::move(slots[i]));
    for (int32_t i = 0; i < count; ++i) slots[i] = values[i];
    for (int32_t i = count; i < savedUsed_; ++i) slots[i].SetReal(0.0);
    g_ScriptState.argumentsUsed = count;
  }
  ~ArgumentFrame() {
    RValue* const slots = g_ScriptState.arguments;
    for (int32_t i = 0; i < savedUsed_; ++i) {
      slots[i] = std::move(Saved()[i]);
      Saved()[i].~RValue();
    }
    for (int32_t i = savedUsed_; i < g_ScriptState.argumentsUsed; ++i) slots[i].SetReal(0.0);
    g_ScriptState.argumentsUsed = savedUsed_;
  }
  ArgumentFrame(const ArgumentFrame&) = delete;
  ArgumentFrame& operator=(const ArgumentFrame&) = delete;

 private:
  int32_t savedUsed_;
  // Raw room for the saved values: only the slots in use are constructed.
  alignas(RValue) unsigned char saved_[sizeof(RValue) * kMaxArgumentSlots];
  RValue* Saved() { return reinterpret_cast<RValue*>(saved_); }
};

// --- instances ---
// The live instance with id `id`, or none. Instances marked for removal are
// skipped, for reads and writes alike (an instance changed into another object
// leaves a marked husk with the same id behind).
CInstanceBase* Instance_FindLive(int32_t id);

bool Variable_InstanceGet(CInstanceBase* inst, int32_t var_ind, int32_t arr_ind, RValue& val);
bool Variable_InstanceSet(CInstanceBase* inst, int32_t var_ind, int32_t arr_ind, const RValue& val);
bool Variable_OwnerGet(int32_t owner, int32_t var_ind, int32_t arr_ind, RValue& val);
bool Variable_OwnerSet(int32_t owner, int32_t var_ind, int32_t arr_ind, const RValue& val);

// Access by owner code, as code reads and writes variables.
bool Variable_Read(RunContext& run, int32_t owner, int32_t var_ind, int32_t arr_ind, RValue& val);
bool Variable_Write(RunContext& run, int32_t owner, int32_t var_ind, int32_t arr_ind, const RValue& val);

// Local variable lists are reused between runs to spare allocations.
CVariableList* Locals_Acquire();
void Locals_Release(CVariableList* list);

}  // namespace tavrin
