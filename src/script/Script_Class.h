// Scripts: named programs that code calls like functions; the game's script
// table; and the script language's part of what a package brings (the
// scripts and the game's own constants), installed as g_ScriptData.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "script/Code_Main.h"

namespace tavrin {

class CScript {
 public:
  std::string s_text;
  CCodeRef s_code;
};

// The scripts by index, with their names; a slot is empty for a script
// deleted in the editor, so later indices never move.
class CScriptTable {
 public:
  // Adds a script at the next index; returns the index.
  int32_t Add(std::string_view name, std::string_view text);
  // Adds an empty slot; returns its index.
  int32_t AddEmpty();
  int32_t Count() const { return static_cast<int32_t>(m_scripts.size()); }
  bool Exists(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < m_scripts.size() && m_scripts[size_t(index)] != nullptr;
  }
  CScript* Get(int32_t index) const { return Exists(index) ? m_scripts[size_t(index)].get() : nullptr; }
  // Index of the first script named `name`, or -1.
  int32_t Find(std::string_view name) const;
  // The name, "<undefined>" for a missing script.
  std::string Name(int32_t index) const { return Exists(index) ? m_names[size_t(index)] : "<undefined>"; }

 private:
  std::vector<std::unique_ptr<CScript>> m_scripts;
  std::vector<std::string> m_names;
  std::unordered_map<std::string, int32_t> m_index;  // first script of each name
};

struct RScriptData {
  CScriptTable scripts;
  // The game's own constants: name and value text, defined in order when the
  // game is prepared.
  std::vector<std::pair<std::string, std::string>> constants;

  void Clear() { *this = RScriptData(); }
};

inline RScriptData g_ScriptData;

// The installed game's scripts.
inline int32_t Script_Count() { return g_ScriptData.scripts.Count(); }
inline bool Script_Exists(int32_t index) { return g_ScriptData.scripts.Exists(index); }
inline CScript* Script_Get(int32_t index) { return g_ScriptData.scripts.Get(index); }
inline int32_t Script_Find(std::string_view name) { return g_ScriptData.scripts.Find(name); }
inline std::string Script_Name(int32_t index) { return g_ScriptData.scripts.Name(index); }

// Compiles every script in index order. On the first failure it reports the
// fatal "COMPILATION ERROR in Script: " error and returns false.
bool Script_CompileAll();

// Runs script `index` as a call with `argc` arguments (at most 16). False when
// there is no such script, or the run or the argument check failed (the error
// is then recorded).
bool Script_Execute(int32_t index, CInstanceBase* self, CInstanceBase* other, RValue& result, bool check,
                    const RValue* args, int32_t argc);

}  // namespace tavrin
