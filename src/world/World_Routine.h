// What the world's built-in routines share: the instance behind the engine's
// pointer (every instance of a room is a CInstance), and arguments read as
// integers (rounded), as flags (0.5 and above) and as game colours, and the
// signature every routine of a family's table has.
#pragma once

#include <cstdint>

#include "graphics/Graphics_Color.h"
#include "world/Instance_Class.h"

namespace tavrin {

using RArgs = RValue*;
inline CInstance* AsInstance(CInstanceBase* i) { return static_cast<CInstance*>(i); }
inline int32_t ArgInt(const RValue& v) { return Real_ToInt32(v.AsReal()); }
inline bool ArgFlag(const RValue& v) { return v.AsReal() >= 0.5; }
// A game colour: the rounded value, its low 24 bits.
inline uint32_t ArgColor(const RValue& v) { return uint32_t(uint64_t(Color_Arg(v.AsReal()))) & 0xFFFFFFu; }

#define TAVRIN_ROUTINE(name)                                                                      \
  void name([[maybe_unused]] CInstanceBase* self, CInstanceBase*, [[maybe_unused]] int32_t argc, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] RValue* a)

}  // namespace tavrin
