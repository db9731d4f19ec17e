// Motion: the functions and actions that set an instance moving, snap it,
// wrap it around the room, measure distances and start or end paths; the
// outside-room, boundary and view events; and placing at random. The
// speed-and-direction coupling itself lives in the instance's setters.
#include "world/Motion_Main.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "graphics/Sprite_Class.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Random.h"
#include "script/Variable_Main.h"
#include "world/Event_Action.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Main.h"
#include "world/World_Routine.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {

namespace {

// The rectangle an instance occupies: its bounding box when it has a sprite
// or mask to make one, else the single point of its position. The far-away
// box of an instance without a sprite would make it outside every room and
// every distance to it enormous.
struct RBox {
  double l, t, r, b;
};
RBox BoxOf(const CInstance& i) {
  if (g_GraphicsData.sprites.Exists(i.i_maskindex >= 0 ? i.i_maskindex : i.i_spriteindex))
    return {double(i.i_bbox.Left), double(i.i_bbox.Top), double(i.i_bbox.Right), double(i.i_bbox.Bottom)};
  return {i.i_x, i.i_y, i.i_x, i.i_y};
}

// Whether the box touches the rectangle at all, and whether it lies wholly in
// it. A position that is not a number is in no rectangle.
bool Touches(const RBox& b, double left, double top, double right, double bottom) {
  return b.r >= left && b.l <= right && b.b >= top && b.t <= bottom;
}
bool WhollyIn(const RBox& b, double left, double top, double right, double bottom) {
  return b.l >= left && b.r <= right && b.t >= top && b.b <= bottom;
}

// Nearest multiple of `snap` (ties to even, like every rounding of the
// language; huge values stay as they are instead of saturating).
double SnapTo(double v, double snap) { return snap * std::nearbyint(v / snap); }

double SpriteWidth(const CInstance& i) {
  const CSprite* s = g_GraphicsData.sprites.Get(i.i_spriteindex);
  return s ? s->GetWidth() * i.i_imagescalex : 0;
}
double SpriteHeight(const CInstance& i) {
  const CSprite* s = g_GraphicsData.sprites.Get(i.i_spriteindex);
  return s ? s->GetHeight() * i.i_imagescaley : 0;
}

double RoomWidth() { return g_World.room ? g_World.room->r_width : 0; }
double RoomHeight() { return g_World.room ? g_World.room->r_height : 0; }

// ------------------------------------------------------------------ shared rules

void MoveTowardsPoint(CInstance& s, double x, double y, double speed) {
  s.SetHSpeed(x - s.i_x);
  s.SetVSpeed(y - s.i_y);
  s.SetSpeed(speed);
}

void MoveSnap(CInstance& s, double hsnap, double vsnap) {
  s.SetPosition(hsnap > 0 ? SnapTo(s.i_x, hsnap) : s.i_x, vsnap > 0 ? SnapTo(s.i_y, vsnap) : s.i_y);
}

bool PlaceSnapped(const CInstance& s, double hsnap, double vsnap) {
  if (hsnap > 0 && !(std::fabs(s.i_x - SnapTo(s.i_x, hsnap)) < 0.001)) return false;
  if (vsnap > 0 && !(std::fabs(s.i_y - SnapTo(s.i_y, vsnap)) < 0.001)) return false;
  return true;
}

void PathStart(CInstance& s, const RValue& path, const RValue& speed, const RValue& endaction, const RValue& absolute) {
  s.AssignPath(ArgInt(path), speed.AsReal(), 1, 0, !ArgFlag(absolute), ArgInt(endaction));
}

// Gap between two boxes along one axis: 0 when they overlap.
double Gap(double lo1, double hi1, double lo2, double hi2) {
  if (hi1 < lo2) return lo2 - hi1;
  if (hi2 < lo1) return hi2 - lo1;
  return 0;
}

// ------------------------------------------------------------------ functions

void F_MotionSet(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  AsInstance(self)->SetDirection(a[0].AsReal());
  AsInstance(self)->SetSpeed(a[1].AsReal());
}

void F_MotionAdd(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) AsInstance(self)->AddToSpeed(a[0].AsReal(), a[1].AsReal());
}

void F_MoveTowardsPoint(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) MoveTowardsPoint(*AsInstance(self), a[0].AsReal(), a[1].AsReal(), a[2].AsReal());
}

void F_MoveSnap(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) MoveSnap(*AsInstance(self), a[0].AsReal(), a[1].AsReal());
}

void F_PlaceSnapped(CInstanceBase* self, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (self) r.SetReal(PlaceSnapped(*AsInstance(self), a[0].AsReal(), a[1].AsReal()) ? 1 : 0);
}

void F_MoveWrap(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  CInstance& s = *AsInstance(self);
  const double margin = a[2].AsReal();
  double x = s.i_x, y = s.i_y;
  if (ArgFlag(a[0])) {
    const double w = RoomWidth();
    if (x < -margin) x += w + 2 * margin;
    if (x > w + margin) x -= w + 2 * margin;
  }
  if (ArgFlag(a[1])) {
    const double h = RoomHeight();
    if (y < -margin) y += h + 2 * margin;
    if (y > h + margin) y -= h + 2 * margin;
  }
  s.SetPosition(x, y);
}

void F_DistanceToPoint(CInstanceBase* self, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (!self) return;
  const RBox b = BoxOf(*AsInstance(self));
  const double x = a[0].AsReal(), y = a[1].AsReal();
  const double dx = x > b.r ? x - b.r : x < b.l ? x - b.l : 0;
  const double dy = y > b.b ? y - b.b : y < b.t ? y - b.t : 0;
  r.SetReal(std::sqrt(dx * dx + dy * dy));
}

void F_DistanceToObject(CInstanceBase* self, CInstanceBase* other, int32_t, RValue& r, RArgs a) {
  double best = 1000000;
  const int32_t who = ArgInt(a[0]);
  if (self && who != OWNER_SELF) {
    const RBox s = BoxOf(*AsInstance(self));
    Instance_ForMatching(self, other, who, [&](CInstance* i) {
      if (i == self) return;
      const RBox o = BoxOf(*i);
      const double dx = Gap(s.l, s.r, o.l, o.r), dy = Gap(s.t, s.b, o.t, o.b);
      best = std::min(best, std::sqrt(dx * dx + dy * dy));
    });
  }
  r.SetReal(best);
}

void F_PathStart(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) PathStart(*AsInstance(self), a[0], a[1], a[2], a[3]);
}

void F_PathEnd(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (self) AsInstance(self)->AssignPath(-1, 0, 1, 0, true, 0);
}

// ------------------------------------------------------------------ actions

// The value, plus `current` when the action is relative.
double Rel(double value, double current) { return g_World.argumentRelative ? value + current : value; }

// Directions of the nine keys of the move action, laid out like a numeric
// keypad from the bottom row up; the middle key (-1) stops.
constexpr double kKeypadDirections[9] = {225, 270, 315, 180, -1, 0, 135, 90, 45};

void A_Move(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  const std::string keys = a[0].AsString().str();
  if (keys.size() != 9) {
    Error_ReportAction("Wrong argument to action_move().", false);
    return;
  }
  if (!self || keys.find('1') == std::string::npos) return;
  CInstance& s = *AsInstance(self);
  s.SetSpeed(Rel(a[1].AsReal(), s.i_speed));
  uint32_t p;
  do p = Random_Below(9);
  while (keys[p] != '1');
  if (kKeypadDirections[p] < 0) {
    s.SetDirection(0);
    s.SetSpeed(0);
  } else {
    s.SetDirection(kKeypadDirections[p]);
  }
}

void A_SetMotion(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  if (g_World.argumentRelative) {
    AsInstance(self)->AddToSpeed(a[0].AsReal(), a[1].AsReal());
  } else {
    AsInstance(self)->SetDirection(a[0].AsReal());
    AsInstance(self)->SetSpeed(a[1].AsReal());
  }
}

void A_SetHSpeed(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) AsInstance(self)->SetHSpeed(Rel(a[0].AsReal(), AsInstance(self)->i_hspeed));
}

void A_SetVSpeed(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) AsInstance(self)->SetVSpeed(Rel(a[0].AsReal(), AsInstance(self)->i_vspeed));
}

void A_SetGravity(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  CInstance& s = *AsInstance(self);
  s.i_gravitydir = Rel(a[0].AsReal(), s.i_gravitydir);
  s.i_gravity = Rel(a[1].AsReal(), s.i_gravity);
}

void A_SetFriction(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) AsInstance(self)->i_friction = Rel(a[0].AsReal(), AsInstance(self)->i_friction);
}

void A_MovePoint(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  CInstance& s = *AsInstance(self);
  MoveTowardsPoint(s, Rel(a[0].AsReal(), s.i_x), Rel(a[1].AsReal(), s.i_y), a[2].AsReal());
}

void A_MoveTo(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  CInstance& s = *AsInstance(self);
  s.SetPosition(Rel(a[0].AsReal(), s.i_x), Rel(a[1].AsReal(), s.i_y));
}

void A_MoveStart(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (self) AsInstance(self)->SetPosition(AsInstance(self)->i_xstart, AsInstance(self)->i_ystart);
}

// Wraps only across the edge the instance moves towards, by the room size
// plus the sprite size, so the sprite re-enters just out of sight.
void A_Wrap(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!self) return;
  CInstance& s = *AsInstance(self);
  const int32_t kind = ArgInt(a[0]);
  if (kind < 0 || kind > 2) return;
  double x = s.i_x, y = s.i_y;
  if (kind == 0 || kind == 2) {
    const double w = SpriteWidth(s), rw = RoomWidth();
    if (s.i_hspeed < 0 && x < 0) x += rw + w;
    else if (s.i_hspeed > 0 && x >= rw) x -= rw + w;
  }
  if (kind == 1 || kind == 2) {
    const double h = SpriteHeight(s), rh = RoomHeight();
    if (s.i_vspeed < 0 && y < 0) y += rh + h;
    else if (s.i_vspeed > 0 && y >= rh) y -= rh + h;
  }
  s.SetPosition(x, y);
}

void A_ReverseXDir(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (self) AsInstance(self)->SetHSpeed(-AsInstance(self)->i_hspeed);
}

void A_ReverseYDir(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs) {
  if (self) AsInstance(self)->SetVSpeed(-AsInstance(self)->i_vspeed);
}

void A_PathPosition(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) AsInstance(self)->SetPathPosition(Rel(a[0].AsReal(), AsInstance(self)->i_pathposition));
}

void A_PathSpeed(CInstanceBase* self, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (self) AsInstance(self)->i_pathspeed = Rel(a[0].AsReal(), AsInstance(self)->i_pathspeed);
}

// ------------------------------------------------------------------ boundary events

// Raises other-event `number` where `holds` is true of the instance's box.
template <class F>
void RaiseWhere(int32_t number, F holds) {
  Event_ForEachHolder(EV_OTHER, number, [&](CInstance* i, int32_t obj) {
    if (holds(BoxOf(*i))) Event_PerformObject(i, i, obj, EV_OTHER, number);
  });
}

}  // namespace

void Motion_BoundaryEvents() {
  if (!g_World.room) return;
  const double w = RoomWidth(), h = RoomHeight();
  RaiseWhere(EV_OUTSIDE, [&](const RBox& b) { return !Touches(b, 0, 0, w, h); });
  RaiseWhere(EV_BOUNDARY, [&](const RBox& b) { return !WhollyIn(b, 0, 0, w, h); });
  for (int32_t v = 0; v < kRoomLayers; ++v) {
    // Events may change the views; each is read when its turn comes.
    CRunRoom* room = g_World.room;
    if (!room || Run_ChangePending()) return;
    const CView& view = room->r_view[size_t(v)];
    if (!room->r_enableviews || !view.visible) continue;
    const double l = view.xview, t = view.yview, r = l + view.wview, b = t + view.hview;
    RaiseWhere(EV_OUTSIDE_VIEW0 + v, [&](const RBox& box) { return !Touches(box, l, t, r, b); });
    RaiseWhere(EV_BOUNDARY_VIEW0 + v, [&](const RBox& box) { return !WhollyIn(box, l, t, r, b); });
  }
}

bool Motion_MoveRandom(CInstance& inst, double hsnap, double vsnap, int32_t roomWidth, int32_t roomHeight,
                       bool (*free)(CInstance& inst, double x, double y)) {
  const RBox box = BoxOf(inst);
  // The range of one axis, from lo to hi - 1 in whole pixels, snapped; an
  // instance larger than the room on that axis has no range there and keeps
  // its coordinate.
  struct RAxis {
    double lo, span, snap, keep;
    double Draw() const {
      if (!(span >= 1)) return keep;
      const double bound = std::min(span, double(std::numeric_limits<uint32_t>::max()));
      double v = lo + double(Random_Below(uint32_t(bound)));
      if (snap > 0) v = snap * std::floor(v / snap);
      return v;
    }
  };
  const auto axis = [](double pos, double lowEdge, double highEdge, double size, const double& snap, double keep) {
    const double lo = std::nearbyint(pos - lowEdge), hi = std::nearbyint(pos + size - highEdge);
    return RAxis{lo, hi - lo, double(Real_ToInt32(snap)), keep};
  };
  const RAxis ax = axis(inst.i_x, box.l, box.r, roomWidth, hsnap, inst.i_x);
  const RAxis ay = axis(inst.i_y, box.t, box.b, roomHeight, vsnap, inst.i_y);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const double nx = ax.Draw();
    const double ny = ay.Draw();
    if (free(inst, nx, ny)) {
      inst.SetPosition(nx, ny);
      return true;
    }
  }
  return false;
}

void Motion_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"motion_set", F_MotionSet},
      {"motion_add", F_MotionAdd},
      {"move_towards_point", F_MoveTowardsPoint},
      {"move_snap", F_MoveSnap},
      {"place_snapped", F_PlaceSnapped},
      {"move_wrap", F_MoveWrap},
      {"distance_to_point", F_DistanceToPoint},
      {"distance_to_object", F_DistanceToObject},
      {"path_start", F_PathStart},
      {"path_end", F_PathEnd},
      {"action_move", A_Move},
      {"action_set_motion", A_SetMotion},
      {"action_set_hspeed", A_SetHSpeed},
      {"action_set_vspeed", A_SetVSpeed},
      {"action_set_gravity", A_SetGravity},
      {"action_set_friction", A_SetFriction},
      {"action_move_point", A_MovePoint},
      {"action_move_to", A_MoveTo},
      {"action_move_start", A_MoveStart},
      {"action_snap", F_MoveSnap},
      {"action_wrap", A_Wrap},
      {"action_reverse_xdir", A_ReverseXDir},
      {"action_reverse_ydir", A_ReverseYDir},
      {"action_path", F_PathStart},
      {"action_path_end", F_PathEnd},
      {"action_path_position", A_PathPosition},
      {"action_path_speed", A_PathSpeed},
      {"action_if_aligned", F_PlaceSnapped},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
