// Type tests, random numbers, arithmetic, geometry, conversions and the string
// functions of game code.
#pragma once

#include <cstdint>

#include "script/Code_Random.h"

namespace tavrin {

// Fills in the routines of these functions in the function table.
void Function_RegisterMath();

}  // namespace tavrin
