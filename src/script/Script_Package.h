// The package sections of the script language: the game's scripts and its
// user constants (name and value text, defined when the game is prepared).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "package/Support_Stream.h"
#include "script/Script_Class.h"

namespace tavrin {


bool Script_LoadAll(CStream& content, CScriptTable& scripts);
void Script_SaveAll(CStream& content, const CScriptTable& scripts);
bool Constant_LoadUser(CStream& content, std::vector<std::pair<std::string, std::string>>& constants);
void Constant_SaveUser(CStream& content, const std::vector<std::pair<std::string, std::string>>& constants);

}  // namespace tavrin
