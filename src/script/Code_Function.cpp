#include "script/Code_Function.h"

#include <unordered_map>

#include "script/Code_Error.h"
#include "script/Script_Class.h"
#include "script/Script_Host.h"
#include "script/Script_State.h"

namespace tavrin {

std::vector<RFunction> g_Functions;

namespace {

std::unordered_map<std::string, int32_t> g_FunctionIndex;

// The routine of every function whose family is not part of the runner yet:
// a clear, non-fatal error naming the function; the result stays 0.
void F_NotAvailable(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue*) {
  Error_ReportAction("Function " + Function_Name(g_ScriptState.function) + " is not available yet.", false);
}

struct RFunctionName {
  const char* name;
  int32_t argnumb;
};
constexpr RFunctionName kFunctionNames[] = {
#include "script/Code_FunctionNames.inc"
};

}  // namespace

void Function_RegisterAll() {
  if (!g_Functions.empty()) return;
  g_Functions.reserve(std::size(kFunctionNames) + 16);
  for (const auto& f : kFunctionNames) Function_Register(f.name, F_NotAvailable, f.argnumb);
}

int32_t Function_Register(std::string_view name, TRoutine routine, int32_t argnumb) {
  int32_t id = static_cast<int32_t>(g_Functions.size());
  g_Functions.push_back({std::string(name), routine ? routine : F_NotAvailable, argnumb});
  g_FunctionIndex.emplace(std::string(name), id);  // keeps the first entry of a name
  return id;
}

bool Function_Implement(std::string_view name, TRoutine routine) {
  int32_t id = Function_Find(name);
  if (id < 0) return false;
  g_Functions[id].f_routine = routine;
  return true;
}

int32_t Function_Find(std::string_view name) {
  auto it = g_FunctionIndex.find(std::string(name));
  return it == g_FunctionIndex.end() ? -1 : it->second;
}

int32_t Function_ArgCount(int32_t id) {
  if (id >= kExtensionIdBase) return Host().ExtensionArgCount(id - kExtensionIdBase);
  if (id >= kScriptIdBase) return -1;
  if (id < 0 || static_cast<size_t>(id) >= g_Functions.size()) return -100;
  return g_Functions[id].f_argnumb;
}

bool Function_Resolve(std::string_view name, int32_t& id) {
  int32_t s = Script_Find(name);
  if (s >= 0) {
    id = kScriptIdBase + s;
    return true;
  }
  int32_t e = Host().ExtensionFind(name);
  if (e >= 0) {
    id = kExtensionIdBase + e;
    return true;
  }
  int32_t f = Function_Find(name);
  if (f >= 0) {
    id = f;
    return true;
  }
  return false;
}

std::string Function_Name(int32_t id) {
  if (id >= kScriptIdBase && id < kExtensionIdBase) return Script_Name(id - kScriptIdBase);
  if (id < 0 || static_cast<size_t>(id) >= g_Functions.size()) return "<unknown function>";
  return g_Functions[id].f_name;
}

}  // namespace tavrin
