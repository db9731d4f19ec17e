// The package sections of the script language: the game's scripts and its
// user constants (name and value text, defined when the game is prepared).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "package/Support_Stream.h"

namespace tavrin {

extern std::vector<std::pair<std::string, std::string>> g_UserConstants;

bool Script_LoadAll(CStream& content);
void Script_SaveAll(CStream& content);
bool Constant_LoadUser(CStream& content);
void Constant_SaveUser(CStream& content);

}  // namespace tavrin
