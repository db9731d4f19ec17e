// Constants of the language: resource names, trigger constants, the built-in
// constants and the game's own constants.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/Variable_Class.h"

namespace tavrin {

// Enters the built-in constants (once; later calls do nothing).
void Constant_RegisterBuiltins();
void Constant_Add(std::string_view name, const RValue& value);
void Constant_AddReal(std::string_view name, double value);

// Resolves a name used as a constant: resource names (in the order objects,
// sprites, sounds, backgrounds, paths, fonts, time lines, scripts, rooms), then
// trigger constants, then the constants table, latest definition first.
bool Constant_Find(std::string_view name, RValue& value);

// A name a game's constant may have: a letter or underscore, then letters,
// digits and underscores.
bool Constant_IsValidName(std::string_view name);

// Defines the game's own constants in order: each value is an expression that
// may use the constants defined before it. Returns false after showing the
// message of the first invalid one.
bool Constant_DefineUser(const std::vector<std::pair<std::string, std::string>>& pairs);

// Removes the game's constants, keeping the built-in ones (between tests).
void Constant_ResetUser();

}  // namespace tavrin
