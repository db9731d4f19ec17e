#include "script/Script_Class.h"

#include <unordered_map>
#include <vector>

#include "package/Option_Main.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Variable_Main.h"
#include "script/Script_State.h"

namespace tavrin {

std::vector<std::unique_ptr<CScript>> g_Scripts;

namespace {
std::vector<std::string> g_ScriptNames;
std::unordered_map<std::string, int32_t> g_ScriptIndex;  // first script of each name
}  // namespace

int32_t Script_Add(std::string_view name, std::string_view text) {
  auto s = std::make_unique<CScript>();
  s->s_text = std::string(text);
  int32_t index = static_cast<int32_t>(g_Scripts.size());
  g_Scripts.push_back(std::move(s));
  g_ScriptNames.emplace_back(name);
  g_ScriptIndex.emplace(std::string(name), index);
  return index;
}

int32_t Script_AddEmpty() {
  g_Scripts.push_back(nullptr);
  g_ScriptNames.emplace_back();
  return static_cast<int32_t>(g_Scripts.size()) - 1;
}

void Script_Clear() {
  g_Scripts.clear();
  g_ScriptNames.clear();
  g_ScriptIndex.clear();
}

int32_t Script_Count() { return static_cast<int32_t>(g_Scripts.size()); }

int32_t Script_Find(std::string_view name) {
  auto it = g_ScriptIndex.find(std::string(name));
  return it == g_ScriptIndex.end() ? -1 : it->second;
}


std::string Script_Name(int32_t index) { return Script_Exists(index) ? g_ScriptNames[index] : "<undefined>"; }


bool Script_CompileAll() {
  for (int32_t i = 0; i < Script_Count(); ++i) {
    CScript* s = Script_Get(i);
    if (!s) continue;
    s->s_code = Code_Create(s->s_text, false);
    if (!s->s_code->Compile()) {
      Error_Report("COMPILATION ERROR in Script: " + g_ScriptNames[i] + "\r" + g_ScriptState.errorText, true);
      return false;
    }
  }
  return true;
}

}  // namespace tavrin
