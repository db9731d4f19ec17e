// Collisions between instances: the box and precise tests of one instance,
// the queries games ask (is a place free, which instance is at a point), the
// moves that stop at contact or bounce, and the collision events of a step
// with the rule for solid instances.
#pragma once

#include <cstdint>
#include <vector>

#include "world/Instance_Class.h"

namespace tavrin {

// Tests of one instance. The box is compared first; `prec` then asks the
// instance's mask. An instance marked for removal never collides.
bool Collision_Point(const CInstance& i, double x, double y, bool prec);
bool Collision_Rectangle(const CInstance& i, double x1, double y1, double x2, double y2, bool prec);
bool Collision_Ellipse(const CInstance& i, double x1, double y1, double x2, double y2, bool prec);
bool Collision_Line(const CInstance& i, double x1, double y1, double x2, double y2, bool prec);
bool Collision_Instance(const CInstance& a, const CInstance& b, bool prec);

// Queries. Those that test an instance at another place move it there and
// always back before they return.
bool Place_Free(CInstance& inst, double x, double y);
bool Place_Empty(CInstance& inst, double x, double y);
CInstance* Instance_Place(CInstance& inst, int32_t obj, double x, double y);
CInstance* Instance_Position(int32_t obj, double x, double y);
enum class EShape { Point, Rectangle, Ellipse, Line };
CInstance* Collision_Find(EShape shape, const CInstance* inst, int32_t obj, bool prec, bool notme, double x1,
                          double y1, double x2, double y2);

void Move_Contact(CInstance& inst, bool all, double maxdist, double dir);
bool Move_Outside(CInstance& inst, bool all, double maxdist, double dir);
void Move_Bounce(CInstance& inst, bool advanced, bool all);

// Pairs of objects of which at least one has a collision event with the
// other (with inheritance), rebuilt with the event tables.
// Builds g_World.collisionPairs from the objects' collision events.
void Collision_BuildPairs();
// The collision events of a step.
void Collision_HandleEvents();

void Collision_RegisterFunctions();

}  // namespace tavrin
