// Connects the game world to the script engine: the room's instance lists
// for `with` and owner access, and the world's built-in functions and
// variables.
#pragma once

namespace tavrin {

// Installs every connection (safe to call more than once).
void World_Install();

// The routines of the instance functions, the room functions and the
// built-in variables, filled in by World_Install.
void Instance_RegisterFunctions();
void Variable_RegisterWorld();
void Tile_RegisterFunctions();

}  // namespace tavrin
