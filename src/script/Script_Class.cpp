#include "script/Script_Class.h"

#include <unordered_map>
#include <vector>

#include "package/Option_Main.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Variable_Main.h"

namespace tavrin {

namespace {
std::vector<std::unique_ptr<CScript>> g_Scripts;
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

bool Script_Exists(int32_t index) {
  return index >= 0 && index < Script_Count() && g_Scripts[index] != nullptr;
}

std::string Script_Name(int32_t index) { return Script_Exists(index) ? g_ScriptNames[index] : "<undefined>"; }

CScript* Script_Get(int32_t index) { return Script_Exists(index) ? g_Scripts[index].get() : nullptr; }

bool Script_CompileAll() {
  for (int32_t i = 0; i < Script_Count(); ++i) {
    CScript* s = Script_Get(i);
    if (!s) continue;
    s->s_code = Code_Create(s->s_text, false);
    if (!s->s_code->Compile()) {
      Error_Report("COMPILATION ERROR in Script: " + g_ScriptNames[i] + "\r" + g_LastErrorText, true);
      return false;
    }
  }
  return true;
}

bool Script_Execute(int32_t index, CInstanceBase* self, CInstanceBase* other, RValue& result, bool check,
                    const RValue* args, int32_t argc) {
  CScript* script = Script_Get(index);
  if (!script || !script->s_code) return false;
  if (argc > kMaxArgumentSlots) argc = kMaxArgumentSlots;
  // The run holds the code, so a script replaced while it runs finishes.
  CCodeRef code = script->s_code;

  ArgumentFrame frame(args, argc);
  const int32_t savedCount = g_ArgumentCount;
  const int32_t savedScript = g_CurrentScript;
  g_ArgumentCount = argc;
  g_CurrentScript = index;

  result.SetReal(0.0);
  bool ok = Code_Execute(self, other, code.get(), result);
  if (!ok) {
    result = RValue::String("ERROR");
    g_LastErrorText = "In script " + Script_Name(index) + ":\r" + g_LastErrorText;
  }
  if (check && g_Settings.opt_checkargs) {
    const CCode& c = *code;
    if ((c.i_ArgArray && argc < c.i_Args) || (!c.i_ArgArray && argc != c.i_Args)) {
      g_LastErrorText = "Illegal argument count calling script \"" + Script_Name(index) + "\".\r" +
                        (c.i_ArgArray ? "Script requires at least " : "Script requires ") +
                        std::to_string(c.i_Args) + " arguments, " + std::to_string(argc) +
                        " have been supplied.";
      g_ErrorPending = true;
      ok = false;
    }
  }

  g_ArgumentCount = savedCount;
  g_CurrentScript = savedScript;
  return ok;
}

}  // namespace tavrin
