// Connects the game world to the script engine: the room's instance lists
// for `with` and owner access, and the world's built-in functions and
// variables.
#pragma once

#include <cstdint>
#include <functional>

namespace tavrin {

class CInstance;
class CInstanceBase;

// Installs every connection (safe to call more than once).
void World_Install();

// Motion, path following and the path resource functions.
void Motion_RegisterFunctions();
void Path_RegisterFunctions();

// Calls f for every unmarked active instance that `who` designates: self,
// other, all, an instance id or an object with its descendants; instances
// created meanwhile are not visited.
void Instance_ForMatching(CInstanceBase* self, CInstanceBase* other, int32_t who,
                          const std::function<void(CInstance*)>& f);

// The routines of the instance functions, the room functions and the
// built-in variables, filled in by World_Install.
void Instance_RegisterFunctions();
void Variable_RegisterWorld();
void Tile_RegisterFunctions();

}  // namespace tavrin
