// Time lines and triggers at play: instances running time lines execute the
// moments their position passes, in either direction; triggers are named
// conditions checked at a moment of every step that raise their event on the
// instances whose objects have it.
#pragma once

#include <cstdint>

#include "world/TimeLine_Class.h"

namespace tavrin {

// The moment index of the first moment at or after `position` (the count of
// moments when all lie before it), or -1 without moments.
int32_t TimeLine_FindLarger(const CTimeLine& line, double position);
// The last moment at or before `position`, or -1 when none is.
int32_t TimeLine_FindSmaller(const CTimeLine& line, double position);

// Compiles every time line's moments ("Compiling time line actions"); the
// first failure is reported and stops.
bool TimeLine_CompileAll();

// Advances every running time line of the room by its speed (once a step).
void TimeLine_AdvanceAll();

// Compiles every trigger's condition ("Preparing triggers"); the first
// failure is reported and stops.
bool Trigger_PrepareAll();
// Checks the triggers of moment m (0 step, 1 begin step, 2 end step).
void Trigger_RaiseAll(int32_t moment);

void TimeLine_RegisterFunctions();

}  // namespace tavrin
