// Motion planning: the straight-line and potential-field steppers that move
// an instance towards a goal, the grids that find a shortest cell path, and
// the recording of a planned route into a path resource.
#pragma once

#include <cstdint>
#include <vector>

#include "world/Path_Class.h"

namespace tavrin {

// A planner never records more points than this: a route that long is a
// runaway (a tiny step over a huge distance) and is reported as not found.
inline constexpr int64_t kPlanMaxPoints = 1'000'000;

// The path a planner records into, or none after reporting the error that it
// does not exist.
CPath* Planning_TargetPath(int32_t index);
// A route as it is planned, point by point, each with normal speed.
using TRoute = std::vector<RWayPoint>;
inline void Planning_AddPoint(TRoute& route, double x, double y) { route.push_back({x, y, 100}); }
// Makes the route the path's points, joined by straight lines, open. Every
// planner changes a path through here only.
void Planning_StorePath(CPath& path, TRoute route);

// The direction, in degrees 0 .. 360, of travel from (x1, y1) to (x2, y2).
double Planning_Direction(double x1, double y1, double x2, double y2);

// The built-in functions of the steppers and of the grids.
void Potential_RegisterFunctions();
void Grid_RegisterFunctions();

}  // namespace tavrin
