// What the world's built-in routines share: the instance behind the engine's
// pointer (every instance of a room is a CInstance), and arguments read as
// integers (rounded) and as flags (0.5 and above).
#pragma once

#include <cstdint>

#include "world/Instance_Class.h"

namespace tavrin {

using RArgs = RValue*;
inline CInstance* AsInstance(CInstanceBase* i) { return static_cast<CInstance*>(i); }
inline int32_t ArgInt(const RValue& v) { return Real_ToInt32(v.AsReal()); }
inline bool ArgFlag(const RValue& v) { return v.AsReal() >= 0.5; }

}  // namespace tavrin
