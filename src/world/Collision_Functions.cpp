// The built-in functions and actions of collisions: free places, instances
// at places and points, shape queries, contact, outside and bounce moves,
// and remaking a sprite's collision masks.
#include "graphics/Sprite_Class.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Variable_Main.h"
#include "world/Collision_Main.h"
#include "world/Event_Action.h"
#include "world/Instance_Main.h"
#include "world/Motion_Main.h"
#include "world/Room_Main.h"
#include "world/World_Routine.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

void Truth(RValue& r, bool b) { r.SetReal(b ? 1 : 0); }
void Id(RValue& r, const CInstance* i) { r.SetReal(i ? i->i_id : OWNER_NOONE); }

// In the two *_meeting functions self and other stand for those instances.
int32_t MeetingTarget(CInstanceBase* self, CInstanceBase* other, const RValue& v) {
  const int32_t obj = ArgInt(v);
  if (obj == OWNER_SELF && self) return self->i_id;
  if (obj == OWNER_OTHER && other) return other->i_id;
  return obj;
}

void F_PlaceFree(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, Place_Free(*AsInstance(s), a[0].AsReal(), a[1].AsReal()));
}
void F_PlaceEmpty(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, Place_Empty(*AsInstance(s), a[0].AsReal(), a[1].AsReal()));
}
void F_PlaceMeeting(CInstanceBase* s, CInstanceBase* o, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, Instance_Place(*AsInstance(s), MeetingTarget(s, o, a[2]), a[0].AsReal(), a[1].AsReal()) != nullptr);
}
void F_InstancePlace(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Id(r, s ? Instance_Place(*AsInstance(s), ArgInt(a[2]), a[0].AsReal(), a[1].AsReal()) : nullptr);
}
void F_PositionEmpty(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Truth(r, Instance_Position(OWNER_ALL, a[0].AsReal(), a[1].AsReal()) == nullptr);
}
void F_PositionMeeting(CInstanceBase* s, CInstanceBase* o, int32_t, RValue& r, RArgs a) {
  Truth(r, Instance_Position(MeetingTarget(s, o, a[2]), a[0].AsReal(), a[1].AsReal()) != nullptr);
}
void F_InstancePosition(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Id(r, Instance_Position(ArgInt(a[2]), a[0].AsReal(), a[1].AsReal()));
}

// Every instance at the point when the call starts, precisely.
template <class F>
void ForInstancesAt(double x, double y, F f) {
  CRunRoom* room = g_World.room;
  if (!room) return;
  const int32_t n = room->InstanceCount();
  for (int32_t k = 0; k < n; ++k) {
    CInstance* i = room->InstanceAt(k);
    if (i && Collision_Point(*i, x, y, true)) f(i);
  }
}

void PositionDestroy(double x, double y) { ForInstancesAt(x, y, Instance_Destroy); }
void F_PositionDestroy(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) { PositionDestroy(a[0].AsReal(), a[1].AsReal()); }
void F_PositionChange(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  const int32_t obj = ArgInt(a[2]);
  if (!g_WorldData.objects.Exists(obj)) {
    Error_ReportAction("Asking to change into non-existing object: " + std::to_string(obj), false);
    return;
  }
  const bool perform = ArgFlag(a[3]);
  ForInstancesAt(a[0].AsReal(), a[1].AsReal(), [&](CInstance* i) { Instance_Change(i, obj, perform); });
}

void Find(EShape shape, CInstanceBase* s, RValue& r, double x1, double y1, double x2, double y2, const RValue& obj,
          const RValue& prec, const RValue& notme) {
  Id(r, Collision_Find(shape, AsInstance(s), ArgInt(obj), ArgFlag(prec), ArgFlag(notme), x1, y1, x2, y2));
}
void F_CollisionPoint(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Find(EShape::Point, s, r, a[0].AsReal(), a[1].AsReal(), a[0].AsReal(), a[1].AsReal(), a[2], a[3], a[4]);
}
void F_CollisionRectangle(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Find(EShape::Rectangle, s, r, a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), a[4], a[5], a[6]);
}
void F_CollisionCircle(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const double xc = a[0].AsReal(), yc = a[1].AsReal(), radius = a[2].AsReal();
  Find(EShape::Ellipse, s, r, xc - radius, yc - radius, xc + radius, yc + radius, a[3], a[4], a[5]);
}
void F_CollisionEllipse(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Find(EShape::Ellipse, s, r, a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), a[4], a[5], a[6]);
}
void F_CollisionLine(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  Find(EShape::Line, s, r, a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), a[4], a[5], a[6]);
}

template <bool All>
void F_MoveContact(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (s) Move_Contact(*AsInstance(s), All, a[1].AsReal(), a[0].AsReal());
}
template <bool All>
void F_MoveOutside(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, Move_Outside(*AsInstance(s), All, a[1].AsReal(), a[0].AsReal()));
}
void F_MoveContactDir(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!s) return;
  CInstance& i = *AsInstance(s);
  if (Place_Free(i, i.i_x, i.i_y))
    Move_Contact(i, false, -1, a[0].AsReal());
  else
    Move_Outside(i, false, -1, a[0].AsReal());
}
template <bool All>
void F_MoveBounce(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (s) Move_Bounce(*AsInstance(s), ArgFlag(a[0]), All);
}

// A random free place in the room, snapped; a hundred tries at most.
void F_MoveRandom(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (s && g_World.room) Motion_MoveRandom(*AsInstance(s), a[0].AsReal(), a[1].AsReal(), g_World.room->r_width, g_World.room->r_height, Place_Free);
}

void F_SpriteCollisionMask(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CSprite* sprite = g_GraphicsData.sprites.Get(ArgInt(a[0]));
  if (!sprite) {
    Error_ReportAction("Trying to set collision mode for non-existing sprite.", false);
    return;
  }
  RMaskSettings m;
  m.sepmasks = ArgFlag(a[1]);
  m.bbmode = ArgInt(a[2]);
  m.bbox = {ArgInt(a[3]), ArgInt(a[4]), ArgInt(a[5]), ArgInt(a[6])};
  m.kind = ArgInt(a[7]);
  m.tolerance = ArgInt(a[8]);
  sprite->ComputeMask(m);
}

// --- actions: positions are relative to the instance when asked ---
double RelX(CInstanceBase* s, double x) { return g_World.argumentRelative && s ? x + AsInstance(s)->i_x : x; }
double RelY(CInstanceBase* s, double y) { return g_World.argumentRelative && s ? y + AsInstance(s)->i_y : y; }

void A_MoveContact(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (s) Move_Contact(*AsInstance(s), ArgInt(a[2]) != 0, a[1].AsReal(), a[0].AsReal());
}
void A_Bounce(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (s) Move_Bounce(*AsInstance(s), ArgFlag(a[0]), ArgInt(a[1]) == 1);
}
bool IfEmpty(CInstanceBase* s, RArgs a) {
  CInstance& i = *AsInstance(s);
  const double x = RelX(s, a[0].AsReal()), y = RelY(s, a[1].AsReal());
  return ArgInt(a[2]) != 0 ? Place_Empty(i, x, y) : Place_Free(i, x, y);
}
void A_IfEmpty(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, IfEmpty(s, a));
}
void A_IfCollision(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, !IfEmpty(s, a));
}
void A_KillPosition(CInstanceBase* s, CInstanceBase*, int32_t, RValue&, RArgs a) {
  PositionDestroy(RelX(s, a[0].AsReal()), RelY(s, a[1].AsReal()));
}

}  // namespace

void Collision_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"place_free", F_PlaceFree},
      {"place_empty", F_PlaceEmpty},
      {"place_meeting", F_PlaceMeeting},
      {"instance_place", F_InstancePlace},
      {"position_empty", F_PositionEmpty},
      {"position_meeting", F_PositionMeeting},
      {"instance_position", F_InstancePosition},
      {"position_destroy", F_PositionDestroy},
      {"position_change", F_PositionChange},
      {"collision_point", F_CollisionPoint},
      {"collision_rectangle", F_CollisionRectangle},
      {"collision_circle", F_CollisionCircle},
      {"collision_ellipse", F_CollisionEllipse},
      {"collision_line", F_CollisionLine},
      {"move_contact_solid", F_MoveContact<false>},
      {"move_contact_all", F_MoveContact<true>},
      {"move_outside_solid", F_MoveOutside<false>},
      {"move_outside_all", F_MoveOutside<true>},
      {"move_contact", F_MoveContactDir},
      {"move_bounce", F_MoveBounce<false>},
      {"move_bounce_solid", F_MoveBounce<false>},
      {"move_bounce_all", F_MoveBounce<true>},
      {"sprite_collision_mask", F_SpriteCollisionMask},
      {"move_random", F_MoveRandom},
      {"action_move_random", F_MoveRandom},
      {"action_move_contact", A_MoveContact},
      {"action_bounce", A_Bounce},
      {"action_if_empty", A_IfEmpty},
      {"action_if_collision", A_IfCollision},
      {"action_kill_position", A_KillPosition},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
