// Destroying and changing instances, as the built-in functions and the
// position functions do it.
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"

namespace tavrin {

// Runs the destroy event, then marks the instance for removal at the end of
// the step.
void Instance_Destroy(CInstance* self);
// Turns the instance into object `obj`: a new instance with all its fields
// and its id takes its place, the old one is marked. With `perform`, the
// destroy event runs before and the create event after.
void Instance_Change(CInstance* self, int32_t obj, bool perform);

}  // namespace tavrin
