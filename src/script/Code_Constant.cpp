#include "script/Code_Constant.h"

#include <unordered_map>

#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Main.h"
#include "script/Script_Class.h"
#include "script/Script_Host.h"

namespace tavrin {

namespace {

struct RConstant {
  std::string name;
  RValue value;
};
std::vector<RConstant> g_Constants;
size_t g_BuiltinConstantCount = 0;
// Latest definition of each name, so that lookups find the last one first.
std::unordered_map<std::string, size_t> g_ConstantIndex;

struct RConstantName {
  const char* name;
  double value;
};
constexpr RConstantName kConstantNames[] = {
#include "script/Code_ConstantNames.inc"
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

bool Constant_IsValidName(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(name[0])) return false;
  for (char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

void Constant_RegisterBuiltins() {
  if (g_BuiltinConstantCount > 0) return;
  for (const auto& c : kConstantNames) Constant_AddReal(c.name, c.value);
  g_BuiltinConstantCount = g_Constants.size();
}

void Constant_Add(std::string_view name, const RValue& value) {
  g_Constants.push_back({std::string(name), value});
  g_ConstantIndex[std::string(name)] = g_Constants.size() - 1;
}

void Constant_AddReal(std::string_view name, double value) { Constant_Add(name, RValue::Real(value)); }

bool Constant_Find(std::string_view name, RValue& value) {
  double index = 0;
  int32_t script = -1;
  if (Host().ResourceBeforeScripts(name, index) || (script = Script_Find(name)) >= 0 ||
      Host().RoomName(name, index) || Host().TriggerConstant(name, index)) {
    value = RValue::Real(script >= 0 ? script : index);
    return true;
  }
  auto it = g_ConstantIndex.find(std::string(name));
  if (it == g_ConstantIndex.end()) return false;
  value = g_Constants[it->second].value;
  return true;
}

bool Constant_DefineUser(const std::vector<std::pair<std::string, std::string>>& pairs) {
  for (const auto& [rawName, text] : pairs) {
    std::string_view name = rawName;
    while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    if (!Constant_IsValidName(name)) {
      Error_InternalMessage("Constant name " + std::string(name) + "  is not valid.");
      return false;
    }
    CCodeRef code = Code_Create(text, true);
    RValue value;
    bool ok = code->Compile();
    if (ok) {
      CInstanceBase blank;
      ok = Code_Execute(&blank, &blank, code.get(), value);
    }
    if (!ok) {
      Error_InternalMessage("Value for constant " + std::string(name) + "  is not valid.");
      return false;
    }
    Constant_Add(name, value);
  }
  return true;
}

void Constant_ResetUser() {
  g_Constants.resize(g_BuiltinConstantCount);
  g_ConstantIndex.clear();
  for (size_t i = 0; i < g_Constants.size(); ++i) g_ConstantIndex[g_Constants[i].name] = i;
}

}  // namespace tavrin
