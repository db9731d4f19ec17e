#include "script/Script_Class.h"

#include <unordered_map>
#include <vector>

#include "package/Option_Main.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Variable_Main.h"
#include "script/Script_State.h"

namespace tavrin {

int32_t CScriptTable::Add(std::string_view name, std::string_view text) {
  auto s = std::make_unique<CScript>();
  s->s_text = std::string(text);
  const int32_t index = Count();
  m_scripts.push_back(std::move(s));
  m_names.emplace_back(name);
  m_index.emplace(std::string(name), index);
  return index;
}

int32_t CScriptTable::AddEmpty() {
  m_scripts.push_back(nullptr);
  m_names.emplace_back();
  return Count() - 1;
}

int32_t CScriptTable::Find(std::string_view name) const {
  auto it = m_index.find(std::string(name));
  return it == m_index.end() ? -1 : it->second;
}

bool Script_CompileAll() {
  for (int32_t i = 0; i < Script_Count(); ++i) {
    CScript* s = Script_Get(i);
    if (!s) continue;
    s->s_code = Code_Create(s->s_text, false);
    if (!s->s_code->Compile()) {
      Error_Report("COMPILATION ERROR in Script: " + Script_Name(i) + "\r" + g_ScriptState.errorText, true);
      return false;
    }
  }
  return true;
}

}  // namespace tavrin
