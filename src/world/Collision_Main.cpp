#include "world/Collision_Main.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "graphics/Sprite_Class.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Variable_Main.h"
#include "world/Collision_Index.h"
#include "world/Collision_Mask.h"
#include "world/Event_Action.h"
#include "world/Instance_Main.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Angles.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {

int32_t Round(double v) { return Real_ToInt32(v); }

// The sprite whose mask an instance collides with, when it has frames.
const CSprite* MaskSprite(const CInstance& i) {
  const CSprite* s = g_GraphicsData.sprites.Get(i.i_maskindex >= 0 ? i.i_maskindex : i.i_spriteindex);
  return s && s->i_numb > 0 ? s : nullptr;
}

RPlacedMask Placed(const CInstance& i, const CSprite& s) {
  return RPlacedMask::Of(s, i.i_imageindex, i.i_bbox, i.i_x, i.i_y, i.i_imagescalex, i.i_imagescaley,
                         i.i_imageangle);
}

// Whether the box test passes for a rectangle with ordered corners.
bool BoxMeets(const TRect& b, double xmin, double ymin, double xmax, double ymax) {
  return b.Right + 1.0 > xmin && b.Left <= xmax && b.Bottom + 1.0 > ymin && b.Top <= ymax;
}

bool InEllipse(const TRect& rr, double px, double py) {
  const double cx = (double(rr.Left) + rr.Right) / 2, rx = (double(rr.Right) - rr.Left) / 2;
  const double cy = (double(rr.Top) + rr.Bottom) / 2, ry = (double(rr.Bottom) - rr.Top) / 2;
  const double u = (px - cx) / rx, v = (py - cy) / ry;
  return u * u + v * v <= 1;
}

TRect Rounded(double xmin, double ymin, double xmax, double ymax) {
  return {Round(xmin), Round(ymin), Round(xmax), Round(ymax)};
}

}  // namespace

// ------------------------------------------------------------------ tests of one instance

bool Collision_Point(const CInstance& i, double x, double y, bool prec) {
  const TRect& b = i.i_bbox;
  if (i.i_marked || !(b.Left <= x && x < b.Right + 1.0 && b.Top <= y && y < b.Bottom + 1.0)) return false;
  if (!prec) return true;
  const CSprite* s = MaskSprite(i);
  return s && Mask_CollidesPoint(Placed(i, *s), Round(x), Round(y));
}

bool Collision_Rectangle(const CInstance& i, double x1, double y1, double x2, double y2, bool prec) {
  const double xmin = std::min(x1, x2), xmax = std::max(x1, x2), ymin = std::min(y1, y2), ymax = std::max(y1, y2);
  if (i.i_marked || !BoxMeets(i.i_bbox, xmin, ymin, xmax, ymax)) return false;
  if (!prec) return true;
  const CSprite* s = MaskSprite(i);
  return s && Mask_CollidesRectangle(Placed(i, *s), Rounded(xmin, ymin, xmax, ymax));
}

bool Collision_Ellipse(const CInstance& i, double x1, double y1, double x2, double y2, bool prec) {
  const double xmin = std::min(x1, x2), xmax = std::max(x1, x2), ymin = std::min(y1, y2), ymax = std::max(y1, y2);
  const TRect& b = i.i_bbox;
  if (i.i_marked || !BoxMeets(b, xmin, ymin, xmax, ymax)) return false;
  // A flat ellipse is its rectangle.
  if (Round(x1) == Round(x2) || Round(y1) == Round(y2)) return Collision_Rectangle(i, x1, y1, x2, y2, prec);
  const TRect rr = Rounded(xmin, ymin, xmax, ymax);
  const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  if ((cx < b.Left || cx > b.Right) && (cy < b.Top || cy > b.Bottom) && !InEllipse(rr, b.Left, b.Top) &&
      !InEllipse(rr, b.Left, b.Bottom) && !InEllipse(rr, b.Right, b.Top) && !InEllipse(rr, b.Right, b.Bottom))
    return false;
  if (!prec) return true;
  const CSprite* s = MaskSprite(i);
  return s && Mask_CollidesEllipse(Placed(i, *s), rr);
}

bool Collision_Line(const CInstance& i, double x1, double y1, double x2, double y2, bool prec) {
  const TRect& b = i.i_bbox;
  if (i.i_marked || !BoxMeets(b, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)))
    return false;
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  // Clip the line to the box's columns; the box test keeps x2 - x1 from 0.
  if (x1 < b.Left) {
    y1 = y1 + (b.Left - x1) * (y2 - y1) / (x2 - x1);
    x1 = b.Left;
  }
  if (x2 > b.Right + 1.0) {
    y2 = y2 + (b.Right + 1.0 - x2) * (y2 - y1) / (x2 - x1);
    x2 = b.Right + 1.0;
  }
  if ((y1 < b.Top && y2 < b.Top) || (y1 >= b.Bottom + 1.0 && y2 >= b.Bottom + 1.0)) return false;
  if (!prec) return true;
  const CSprite* s = MaskSprite(i);
  return s && Mask_CollidesLine(Placed(i, *s), Round(x1), Round(y1), Round(x2), Round(y2));
}

bool Collision_Instance(const CInstance& a, const CInstance& b, bool prec) {
  const TRect &p = a.i_bbox, &q = b.i_bbox;
  if (&a == &b || a.i_marked || b.i_marked) return false;
  if (int64_t(q.Left) >= int64_t(p.Right) + 1 || int64_t(p.Left) >= int64_t(q.Right) + 1 ||
      int64_t(q.Top) >= int64_t(p.Bottom) + 1 || int64_t(p.Top) >= int64_t(q.Bottom) + 1)
    return false;
  if (!prec) return true;
  const CSprite* sa = MaskSprite(a);
  const CSprite* sb = MaskSprite(b);
  return sa && sb && Mask_CollidesMask(Placed(a, *sa), Placed(b, *sb));
}

// ------------------------------------------------------------------ queries

namespace {

// Whether `obj` (all, an object with its descendants, or an id) selects the
// instance.
bool Selects(int32_t obj, const CInstance& i) {
  if (obj == OWNER_ALL) return true;
  if (obj >= kFirstInstanceId) return i.i_id == obj;
  return obj >= 0 && Object_IsOrDescends(i.i_objectindex, obj);
}

// The first unmarked instance that `obj` selects for which `test` holds, in
// the order of the room's list (all, an id) or of the object's list.
template <class F>
CInstance* ScanSelected(const CRunRoom& room, int32_t obj, F test) {
  if (obj == OWNER_ALL || obj >= kFirstInstanceId) {
    const int32_t n = room.InstanceCount();
    for (int32_t k = 0; k < n; ++k) {
      CInstance* i = room.InstanceAt(k);
      if (i && !i->i_marked && (obj == OWNER_ALL || i->i_id == obj) && test(*i)) return i;
    }
    return nullptr;
  }
  const int32_t n = room.Obj_Number_Recursive(obj);
  for (int32_t k = 0; k < n; ++k) {
    CInstance* i = room.Obj_Instance_Recursive(obj, k);
    if (i && !i->i_marked && test(*i)) return i;
  }
  return nullptr;
}

// The same, asking the spatial index for the instances whose boxes may meet
// `region` (every test below needs the boxes to meet), then testing those in
// the order the scan would.
template <class F>
CInstance* FindSelected(int32_t obj, const TRect& region, F test) {
  const CRunRoom* room = g_World.room;
  if (!room) return nullptr;
  if (!g_World.useSpatialIndex) return ScanSelected(*room, obj, test);
  static std::vector<CInstance*> candidates;
  room->r_index.Query(region, candidates);
  std::erase_if(candidates, [&](const CInstance* i) { return i->i_marked || !Selects(obj, *i); });
  const bool byList = obj == OWNER_ALL || obj >= kFirstInstanceId;
  std::sort(candidates.begin(), candidates.end(), [&](const CInstance* a, const CInstance* b) {
    return byList ? a->i_listpos < b->i_listpos : a->i_objseq < b->i_objseq;
  });
  for (CInstance* i : candidates)
    if (test(*i)) return i;
  return nullptr;
}

// The cells a box test can pass in: the pixels from floor(min) to
// floor(max). None for coordinates no box can reach (not numbers, or beyond
// the integers boxes are made of).
std::optional<TRect> RegionOf(double xmin, double ymin, double xmax, double ymax) {
  constexpr double lo = -2147483648.0, hi = 2147483648.0;
  if (!(xmax >= lo && ymax >= lo && xmin < hi && ymin < hi)) return std::nullopt;
  auto clamp = [&](double v) { return int32_t(std::floor(std::clamp(v, lo, hi - 1))); };
  return TRect{clamp(xmin), clamp(ymin), clamp(xmax), clamp(ymax)};
}

// Moves the instance to (x, y) for the life of the object, then back.
class CTrialMove {
 public:
  CTrialMove(CInstance& inst, double x, double y) : m_inst(inst), m_x(inst.i_x), m_y(inst.i_y) {
    inst.SetPosition(x, y);
  }
  ~CTrialMove() { m_inst.SetPosition(m_x, m_y); }
  CTrialMove(const CTrialMove&) = delete;
  CTrialMove& operator=(const CTrialMove&) = delete;

 private:
  CInstance& m_inst;
  double m_x, m_y;
};

bool Free(CInstance& inst, double x, double y, bool all) {
  CTrialMove move(inst, x, y);
  return !FindSelected(OWNER_ALL, inst.i_bbox, [&](const CInstance& j) {
    return (all || j.i_solid) && Collision_Instance(j, inst, true);
  });
}

}  // namespace

bool Place_Free(CInstance& inst, double x, double y) { return Free(inst, x, y, false); }
bool Place_Empty(CInstance& inst, double x, double y) { return Free(inst, x, y, true); }

CInstance* Instance_Place(CInstance& inst, int32_t obj, double x, double y) {
  CTrialMove move(inst, x, y);
  return FindSelected(obj, inst.i_bbox, [&](const CInstance& j) { return Collision_Instance(j, inst, true); });
}

CInstance* Instance_Position(int32_t obj, double x, double y) {
  const std::optional<TRect> region = RegionOf(x, y, x, y);
  if (!region) return nullptr;
  return FindSelected(obj, *region, [&](const CInstance& j) { return Collision_Point(j, x, y, true); });
}

CInstance* Collision_Find(EShape shape, const CInstance* inst, int32_t obj, bool prec, bool notme, double x1,
                          double y1, double x2, double y2) {
  const std::optional<TRect> region =
      RegionOf(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
  if (!region) return nullptr;
  return FindSelected(obj, *region, [&](const CInstance& j) {
    if (notme && &j == inst) return false;
    switch (shape) {
      case EShape::Point: return Collision_Point(j, x1, y1, prec);
      case EShape::Rectangle: return Collision_Rectangle(j, x1, y1, x2, y2, prec);
      case EShape::Ellipse: return Collision_Ellipse(j, x1, y1, x2, y2, prec);
      case EShape::Line: return Collision_Line(j, x1, y1, x2, y2, prec);
    }
    return false;
  });
}

// ------------------------------------------------------------------ moving against others

namespace {

int64_t MoveLimit(double maxdist) { return maxdist > 0 ? Real_ToInt64(maxdist) : 1000; }

// The box around every instance a move of `inst` may run into (the solid
// ones, or all), or none when there is nothing to run into. A move whose box
// has left it and goes on away from it meets nothing for the rest of its
// way, however long that is.
std::optional<TRect> ObstacleBounds(const CInstance& inst, bool all) {
  const CRunRoom* room = g_World.room;
  if (!room || !MaskSprite(inst)) return std::nullopt;
  std::optional<TRect> u;
  for (int32_t k = 0, n = room->InstanceCount(); k < n; ++k) {
    const CInstance* j = room->InstanceAt(k);
    if (!j || j == &inst || j->i_marked || !(all || j->i_solid) || !MaskSprite(*j)) continue;
    const TRect& b = j->i_bbox;
    if (!u) {
      u = b;
      continue;
    }
    u->Left = std::min(u->Left, b.Left);
    u->Top = std::min(u->Top, b.Top);
    u->Right = std::max(u->Right, b.Right);
    u->Bottom = std::max(u->Bottom, b.Bottom);
  }
  return u;
}

// Whether a box that moves by (dx, dy) at every step can never meet `bounds`:
// it lies beyond them on one side and does not move back towards them.
bool NothingAhead(const TRect& box, const std::optional<TRect>& bounds, double dx, double dy) {
  if (!bounds) return true;
  const TRect& u = *bounds;
  return (box.Left > u.Right && dx >= 0) || (box.Right < u.Left && dx <= 0) || (box.Top > u.Bottom && dy >= 0) ||
         (box.Bottom < u.Top && dy <= 0);
}

// A step that leaves the position as it was (too small for its size, or not a
// number): every step after it is the same step again.
bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
bool StandsStill(const CInstance& inst, double dx, double dy) {
  return Same(inst.i_x + dx, inst.i_x) && Same(inst.i_y + dy, inst.i_y);
}

// Where `steps` more steps of `d` take the coordinate `c`, as adding them one
// by one would. A step too small to change the coordinate never changes it;
// other steps are added one by one while they are few, and beyond that one
// product stands for them.
constexpr int64_t kStepsAddedOneByOne = int64_t(1) << 20;
double Walk(double c, double d, int64_t steps) {
  if (Same(c + d, c)) return c;
  if (steps > kStepsAddedOneByOne) return c + d * double(steps);
  for (int64_t k = 0; k < steps; ++k) c += d;
  return c;
}

// The last `steps` steps of a move that nothing can stop any more.
void MoveFreely(CInstance& inst, double dx, double dy, int64_t steps) {
  inst.SetPosition(Walk(inst.i_x, dx, steps), Walk(inst.i_y, dy, steps));
}

}  // namespace

void Move_Contact(CInstance& inst, bool all, double maxdist, double dir) {
  const double dx = std::cos(Angle_ToRadians(dir)), dy = -std::sin(Angle_ToRadians(dir));
  if (!Free(inst, inst.i_x, inst.i_y, all)) return;
  const int64_t n = MoveLimit(maxdist);
  // Most moves end within a few steps; only a longer one looks at the whole
  // room to learn where nothing more can be met.
  constexpr int64_t kStepsBeforeLookingAhead = 32;
  std::optional<TRect> bounds;
  for (int64_t k = 0; k < n; ++k) {
    if (StandsStill(inst, dx, dy)) return;
    if (k == kStepsBeforeLookingAhead) bounds = ObstacleBounds(inst, all);
    if (k >= kStepsBeforeLookingAhead && NothingAhead(inst.i_bbox, bounds, dx, dy)) {
      MoveFreely(inst, dx, dy, n - k);
      return;
    }
    if (!Free(inst, inst.i_x + dx, inst.i_y + dy, all)) return;
    inst.SetPosition(inst.i_x + dx, inst.i_y + dy);
  }
}

bool Move_Outside(CInstance& inst, bool all, double maxdist, double dir) {
  const double dx = std::cos(Angle_ToRadians(dir)), dy = -std::sin(Angle_ToRadians(dir));
  const int64_t n = MoveLimit(maxdist);
  bool result = Free(inst, inst.i_x, inst.i_y, all);
  for (int64_t k = 0; !result && k < n && !StandsStill(inst, dx, dy); ++k) {
    inst.SetPosition(inst.i_x + dx, inst.i_y + dy);
    result = Free(inst, inst.i_x, inst.i_y, all);
  }
  return result;
}

void Move_Bounce(CInstance& inst, bool advanced, bool all) {
  bool blocked = false;
  if (!Free(inst, inst.i_x, inst.i_y, all)) {
    inst.SetPosition(inst.i_xprevious, inst.i_yprevious);
    blocked = true;
  }
  if (advanced) {
    // Search ten degrees at a time on both sides of the direction of motion
    // for the first free way; the new direction mirrors about the middle.
    const double m = 10 * Real_ToInt64(inst.i_direction / 10);
    auto freeAt = [&](double a) {
      return Free(inst, inst.i_x + std::cos(Angle_ToRadians(a)) * inst.i_speed,
                  inst.i_y - std::sin(Angle_ToRadians(a)) * inst.i_speed, all);
    };
    double o = m, r = m;
    for (int k = 0; k < 35; ++k) {
      o -= 10;
      if (freeAt(o)) break;
      blocked = true;
    }
    for (int k = 0; k < 35; ++k) {
      r += 10;
      if (freeAt(r)) break;
      blocked = true;
    }
    if (blocked) inst.SetDirection(o + r + 180 - m);
    return;
  }
  const bool h = !Free(inst, inst.i_x + inst.i_hspeed, inst.i_y, all);
  const bool v = !Free(inst, inst.i_x, inst.i_y + inst.i_vspeed, all);
  const bool d = !Free(inst, inst.i_x + inst.i_hspeed, inst.i_y + inst.i_vspeed, all);
  if ((h && v) || (!h && !v && d)) {
    inst.SetHSpeed(-inst.i_hspeed);
    inst.SetVSpeed(-inst.i_vspeed);
  } else if (h) {
    inst.SetHSpeed(-inst.i_hspeed);
  } else if (v) {
    inst.SetVSpeed(-inst.i_vspeed);
  }
}

// ------------------------------------------------------------------ collision events

void Collision_BuildPairs() {
  g_World.collisionPairs.clear();
  for (int32_t e = 0; e < g_WorldData.objects.Count(); ++e) {
    if (!g_WorldData.objects.Exists(e)) continue;
    for (int32_t f = e; f < g_WorldData.objects.Count(); ++f)
      if (g_WorldData.objects.Exists(f) && (Event_Find(e, EV_COLLISION, f) || Event_Find(f, EV_COLLISION, e)))
        g_World.collisionPairs.push_back({e, f});
  }
}

namespace {

void BackToPrevious(CInstance& i) {
  i.SetPosition(i.i_xprevious, i.i_yprevious);
  i.i_pathposition = i.i_pathpositionprevious;
}

// Two instances that touch: solid ones first go back to where they were
// (on their paths too), both get their events, and solid ones then make one
// move again, which stays only when it does not bring them together.
void Collide(CInstance& a, CInstance& b) {
  if (a.i_solid || b.i_solid) {
    BackToPrevious(a);
    BackToPrevious(b);
  }
  Event_Perform(&a, &b, EV_COLLISION, b.i_objectindex);
  Event_Perform(&b, &a, EV_COLLISION, a.i_objectindex);
  if (a.i_solid || b.i_solid) {
    // The repeated move along a path raises no end-of-path event: the motion
    // of this step has raised it already when the end was reached.
    a.AdaptPath();
    b.AdaptPath();
    a.SetPosition(a.i_x + a.i_hspeed, a.i_y + a.i_vspeed);
    b.SetPosition(b.i_x + b.i_hspeed, b.i_y + b.i_vspeed);
    if (Collision_Instance(a, b, true)) {
      BackToPrevious(a);
      BackToPrevious(b);
    }
  }
}

// The collision events of instance A (at position ia of the first object's
// list) with the instances of obj2 from position `start` on, as a scan of
// obj2's list would meet them. The index gives the few that may touch A; they
// are gathered again whenever a box changed, and when an event rebuilt the
// lists the scan itself takes over at the position it had reached.
void CollideWithIndexed(CRunRoom& room, CInstance& a, int32_t obj2, int32_t start, int32_t nb) {
  static std::vector<CInstance*> pending;
  const uint64_t generation = g_World.listGeneration;
  uint64_t version = g_World.indexVersion - 1;
  int32_t next = start;  // the first position of obj2's list not yet passed
  size_t at = 0;
  for (;;) {
    if (a.i_marked || Run_ChangePending()) return;
    if (g_World.listGeneration != generation) {
      for (int32_t ib = next; ib < nb && !a.i_marked; ++ib) {
        CInstance* b = room.Obj_Instance(obj2, ib);
        if (b && Collision_Instance(a, *b, true)) Collide(a, *b);
        if (Run_ChangePending()) return;
      }
      return;
    }
    if (g_World.indexVersion != version) {
      version = g_World.indexVersion;
      room.r_index.Query(a.i_bbox, pending);
      std::erase_if(pending, [&](const CInstance* b) {
        return b->i_objectindex != obj2 || b->i_directpos < next || b->i_directpos >= nb ||
               room.Obj_Instance(obj2, b->i_directpos) != b;
      });
      std::sort(pending.begin(), pending.end(),
                [](const CInstance* x, const CInstance* y) { return x->i_directpos < y->i_directpos; });
      at = 0;
    }
    if (at >= pending.size()) return;
    CInstance* b = pending[at++];
    next = b->i_directpos + 1;
    if (Collision_Instance(a, *b, true)) Collide(a, *b);
  }
}

}  // namespace

void Collision_HandleEvents() {
  for (size_t p = 0; p < g_World.collisionPairs.size(); ++p) {
    const RCollisionPair pair = g_World.collisionPairs[p];
    CRunRoom* room = g_World.room;
    if (!room || Run_ChangePending()) return;
    const int32_t na = room->Obj_Number(pair.obj1);
    for (int32_t ia = 0; ia < na; ++ia) {
      CInstance* a = room->Obj_Instance(pair.obj1, ia);
      if (!a || a->i_marked) continue;
      const int32_t nb = room->Obj_Number(pair.obj2);
      // Two instances of one object meet once: B starts at A's own place.
      const int32_t start = pair.obj1 == pair.obj2 ? ia : 0;
      if (g_World.useSpatialIndex) {
        CollideWithIndexed(*room, *a, pair.obj2, start, nb);
      } else {
        for (int32_t ib = start; ib < nb && !a->i_marked; ++ib) {
          CInstance* b = room->Obj_Instance(pair.obj2, ib);
          if (b && Collision_Instance(*a, *b, true)) Collide(*a, *b);
          if (Run_ChangePending()) return;
        }
      }
      if (Run_ChangePending()) return;
    }
  }
}

}  // namespace tavrin
