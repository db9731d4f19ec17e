#include "script/Variable_Main.h"

#include <memory>
#include <new>

#include "package/Option_Main.h"
#include "package/Support_Stream.h"
#include "script/Code_Error.h"
#include "script/Script_Class.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"

namespace tavrin {

std::vector<RBuiltinVariable> g_BuiltinVars;

namespace {
// Two remembered positions in the room's instance list: code tends to touch
// the same one or two instances again and again.
int32_t g_SlotA = 0;
int32_t g_SlotB = 0;

std::vector<std::unique_ptr<CVariableList>> g_LocalsPool;
}  // namespace

bool Variable_GlobalGet(int32_t var_ind, int32_t arr_ind, RValue& val) {
  return g_ScriptState.globals.GetVar(var_ind, arr_ind, val);
}

void Variable_GlobalSet(int32_t var_ind, int32_t arr_ind, const RValue& val) {
  g_ScriptState.globals.SetVar(var_ind, arr_ind, val);
}

void Variable_GlobalDeclare(int32_t var_ind) {
  if (var_ind < 100000) return;
  size_t k = static_cast<size_t>(var_ind - 100000);
  if (k >= g_ScriptState.globalDeclared.size()) g_ScriptState.globalDeclared.resize(k + 1000, 0);
  g_ScriptState.globalDeclared[k] = 1;
  g_ScriptState.anyGlobalDeclared = true;
  g_ScriptState.globals.Init(var_ind);
}

void Variable_SaveGlobals(CStream& stream) {
  stream.WriteInteger(700);
  g_ScriptState.globals.SaveToStream(stream);
  stream.WriteInteger(static_cast<int32_t>(g_ScriptState.globalDeclared.size()));
  for (uint8_t flag : g_ScriptState.globalDeclared) stream.WriteBoolean(flag != 0);
}

bool Variable_LoadGlobals(CStream& stream) {
  try {
    if (stream.ReadInteger() != 700) return true;
    CVariableList globals;
    if (!globals.LoadFromStream(stream)) return false;
    const int32_t n = stream.ReadInteger();
    if (!stream.CountFits(n, 4)) return false;
    std::vector<uint8_t> flags(static_cast<size_t>(n));
    for (auto& f : flags) f = stream.ReadBoolean() ? 1 : 0;
    g_ScriptState.globals = std::move(globals);
    g_ScriptState.globalDeclared = std::move(flags);
    g_ScriptState.anyGlobalDeclared = true;
    return true;
  } catch (const CStreamError&) {
    return false;
  }
}

int32_t Variable_BuiltinRegister(std::string_view name, TGetter getter, TSetter setter, bool writable) {
  if (g_BuiltinVars.size() >= static_cast<size_t>(kMaxBuiltinVariables)) {
    Error_InternalMessage("INTERNAL ERROR: Adding too many variables");
    return 0;
  }
  g_BuiltinVars.push_back({std::string(name), getter, setter, writable && setter != nullptr});
  return static_cast<int32_t>(g_BuiltinVars.size()) - 1;
}

int32_t Variable_BuiltinFind(std::string_view name) {
  for (size_t i = 0; i < g_BuiltinVars.size(); ++i)
    if (g_BuiltinVars[i].name == name) return static_cast<int32_t>(i);
  return -1;
}

std::string Variable_BuiltinName(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= g_BuiltinVars.size()) return "<unknown built-in variable>";
  return g_BuiltinVars[index].name;
}

bool Variable_BuiltinImplement(std::string_view name, TGetter getter, TSetter setter) {
  int32_t i = Variable_BuiltinFind(name);
  if (i < 0) return false;
  auto& v = g_BuiltinVars[i];
  v.getter = getter;
  if (v.writable) v.setter = setter;
  return true;
}

std::string Argument_ScriptName() { return g_ScriptState.script < 0 ? "<unknown>" : Script_Name(g_ScriptState.script); }

CInstanceBase* Instance_FindLive(int32_t id) {
  int32_t n = Host().InstanceCount();
  auto hit = [&](int32_t pos) -> CInstanceBase* {
    if (pos < 0 || pos >= n) return nullptr;
    CInstanceBase* inst = Host().InstanceAt(pos);
    return inst && inst->i_id == id && !inst->i_marked ? inst : nullptr;
  };
  if (CInstanceBase* inst = hit(g_SlotA)) return inst;
  if (CInstanceBase* inst = hit(g_SlotB)) return inst;
  g_SlotB = g_SlotA;
  for (int32_t pos = n - 1; pos >= 0; --pos) {
    if (CInstanceBase* inst = hit(pos)) {
      g_SlotA = pos;
      return inst;
    }
  }
  return nullptr;
}

bool Variable_InstanceGet(CInstanceBase* inst, int32_t var_ind, int32_t arr_ind, RValue& val) {
  if (var_ind > kBuiltinVariableLimit) return inst->i_vars.GetVar(var_ind, arr_ind, val);
  if (var_ind < 0 || static_cast<size_t>(var_ind) >= g_BuiltinVars.size()) return false;
  return g_BuiltinVars[var_ind].getter(inst, arr_ind, val);
}

bool Variable_InstanceSet(CInstanceBase* inst, int32_t var_ind, int32_t arr_ind, const RValue& val) {
  if (var_ind > kBuiltinVariableLimit) {
    inst->i_vars.SetVar(var_ind, arr_ind, val);
    return true;
  }
  if (var_ind < 0 || static_cast<size_t>(var_ind) >= g_BuiltinVars.size()) return false;
  const auto& v = g_BuiltinVars[var_ind];
  if (!v.writable || !v.setter) return false;
  return v.setter(inst, arr_ind, val);
}

bool Variable_OwnerGet(int32_t owner, int32_t var_ind, int32_t arr_ind, RValue& val) {
  CInstanceBase* found = nullptr;
  if (owner == OWNER_ALL) {
    int32_t n = Host().InstanceCount();
    for (int32_t i = 0; i < n && !found; ++i) {
      CInstanceBase* inst = Host().InstanceAt(i);
      if (inst && !inst->i_marked) found = inst;
    }
  } else if (owner < 0) {
    return false;
  } else if (owner >= kFirstInstanceId) {
    found = Instance_FindLive(owner);
  } else {
    int32_t n = Host().ObjectInstanceCount(owner);
    for (int32_t i = 0; i < n && !found; ++i) {
      CInstanceBase* inst = Host().ObjectInstanceAt(owner, i);
      if (inst && !inst->i_marked) found = inst;
    }
  }
  return found && Variable_InstanceGet(found, var_ind, arr_ind, val);
}

bool Variable_OwnerSet(int32_t owner, int32_t var_ind, int32_t arr_ind, const RValue& val) {
  if (owner >= kFirstInstanceId) {
    CInstanceBase* inst = Instance_FindLive(owner);
    return inst ? Variable_InstanceSet(inst, var_ind, arr_ind, val) : true;
  }
  if (owner < 0 && owner != OWNER_ALL) return false;
  bool result = true;
  int32_t n = owner == OWNER_ALL ? Host().InstanceCount() : Host().ObjectInstanceCount(owner);
  for (int32_t i = 0; i < n; ++i) {
    CInstanceBase* inst =
        owner == OWNER_ALL ? Host().InstanceAt(i) : Host().ObjectInstanceAt(owner, i);
    if (inst && !inst->i_marked) result = Variable_InstanceSet(inst, var_ind, arr_ind, val);
  }
  return result;
}

bool Variable_Read(RunContext& run, int32_t owner, int32_t var_ind, int32_t arr_ind, RValue& val) {
  switch (owner) {
    case OWNER_LOCAL: return run.locals && run.locals->GetVar(var_ind, arr_ind, val);
    case OWNER_IMPLICIT:
      if (Variable_IsGlobalDeclared(var_ind)) return Variable_GlobalGet(var_ind, arr_ind, val);
      return Variable_InstanceGet(run.self, var_ind, arr_ind, val);
    case OWNER_GLOBAL: return Variable_GlobalGet(var_ind, arr_ind, val);
    case OWNER_NOONE: return false;
    case OWNER_OTHER: return Variable_InstanceGet(run.other, var_ind, arr_ind, val);
    case OWNER_SELF: return Variable_InstanceGet(run.self, var_ind, arr_ind, val);
    default: return Variable_OwnerGet(owner, var_ind, arr_ind, val);
  }
}

bool Variable_Write(RunContext& run, int32_t owner, int32_t var_ind, int32_t arr_ind, const RValue& val) {
  switch (owner) {
    case OWNER_LOCAL:
      if (!run.locals) run.locals = Locals_Acquire();
      run.locals->SetVar(var_ind, arr_ind, val);
      return true;
    case OWNER_IMPLICIT:
      if (Variable_IsGlobalDeclared(var_ind)) {
        Variable_GlobalSet(var_ind, arr_ind, val);
        return true;
      }
      return Variable_InstanceSet(run.self, var_ind, arr_ind, val);
    case OWNER_GLOBAL: Variable_GlobalSet(var_ind, arr_ind, val); return true;
    case OWNER_NOONE: return false;
    case OWNER_OTHER: return Variable_InstanceSet(run.other, var_ind, arr_ind, val);
    case OWNER_SELF: return Variable_InstanceSet(run.self, var_ind, arr_ind, val);
    default: return Variable_OwnerSet(owner, var_ind, arr_ind, val);
  }
}

CVariableList* Locals_Acquire() {
  if (g_LocalsPool.empty()) return new CVariableList();
  CVariableList* list = g_LocalsPool.back().release();
  g_LocalsPool.pop_back();
  return list;
}

void Locals_Release(CVariableList* list) {
  if (!list) return;
  // Cells of the locals may hold large arrays; a list that grew big is freed
  // rather than kept.
  if (list->v_vars.capacity() > 64 || g_LocalsPool.size() >= 64) {
    delete list;
    return;
  }
  list->Clear();
  g_LocalsPool.emplace_back(list);
}

}  // namespace tavrin
