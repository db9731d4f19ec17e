// Scripts: named programs that code calls like functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/Code_Main.h"

namespace tavrin {

class CScript {
 public:
  std::string s_text;
  CCodeRef s_code;
};

// Adds a script at the next index; returns the index.
int32_t Script_Add(std::string_view name, std::string_view text);
// Adds an empty slot (a script deleted in the editor); returns its index.
int32_t Script_AddEmpty();
// Empties the script table.
void Script_Clear();
int32_t Script_Count();
// Index of the first existing script named `name`, or -1.
int32_t Script_Find(std::string_view name);
// The name, "<undefined>" for a missing script.
std::string Script_Name(int32_t index);
// The script table by index; a slot is empty for a deleted script.
extern std::vector<std::unique_ptr<CScript>> g_Scripts;
inline bool Script_Exists(int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < g_Scripts.size() && g_Scripts[index] != nullptr;
}
inline CScript* Script_Get(int32_t index) { return Script_Exists(index) ? g_Scripts[index].get() : nullptr; }

// Compiles every script in index order. On the first failure it reports the
// fatal "COMPILATION ERROR in Script: " error and returns false.
bool Script_CompileAll();

// Runs script `index` as a call with `argc` arguments (at most 16). False when
// there is no such script, or the run or the argument check failed (the error
// is then recorded).
bool Script_Execute(int32_t index, CInstanceBase* self, CInstanceBase* other, RValue& result, bool check,
                    const RValue* args, int32_t argc);

}  // namespace tavrin
