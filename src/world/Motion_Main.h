// Motion beyond the instance's own setters: the outside-room, boundary and
// view events of the step, and placing an instance at random.
#pragma once

#include <cstdint>

namespace tavrin {

class CInstance;

// The outside-room, boundary, outside-view and view-boundary events of the
// current room, raised in every step in which their condition holds (after
// motion, before collisions).
void Motion_BoundaryEvents();

// Tries up to 100 random places for the instance inside the room (its box
// kept inside when it has one), snapped to whole multiples of the snap
// values, and moves it to the first where `free` agrees. On an axis where
// the instance is larger than the room it keeps its coordinate. True when it
// moved.
bool Motion_MoveRandom(CInstance& inst, double hsnap, double vsnap, int32_t roomWidth, int32_t roomHeight,
                       bool (*free)(CInstance& inst, double x, double y));

}  // namespace tavrin
