// The steppers: a straight-line step towards a goal, and a potential-field
// step that steers around obstacles by trying directions to the left and
// right of the goal, each also run ahead of time to record a path without
// moving the instance. Also the recording of planned routes into paths.
#include <algorithm>
#include <cmath>
#include <utility>

#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/Collision_Main.h"
#include "world/Event_Action.h"
#include "world/Motion_Planning.h"
#include "world/World_Routine.h"
#include "world/World_Angles.h"
#include "world/World_Data.h"

namespace tavrin {

CPath* Planning_TargetPath(int32_t index) {
  CPath* path = g_WorldData.paths.Get(index);
  if (!path) Error_ReportAction("Trying to assign to a non-existing path.", false);
  return path;
}

void Planning_StorePath(CPath& path, TRoute route) {
  path.i_points = std::move(route);
  path.i_kind = 0;
  path.i_closed = false;
  path.Rebuild();
}

double Planning_Direction(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  if (dx == 0) return dy > 0 ? 270 : dy < 0 ? 90 : 0;
  const double a = Angle_FromRadians(std::atan2(dy, dx));
  return a > 0 ? 360 - a : -a;
}

namespace {


void Truth(RValue& r, bool b) { r.SetReal(b ? 1 : 0); }

struct RPotentialSettings {
  double maxrot = 30;   // the largest turn in one step, in degrees
  double rotstep = 10;  // the angle between two directions tried
  double ahead = 3;     // how many steps ahead a direction must be free
  bool onspot = true;   // turn on the spot when no direction is free
};
RPotentialSettings g_Potential;

// What stops the instance: every instance, solid ones only, or the
// instances of one object (or one instance).
struct RObstacles {
  enum EKind { Solid, All, Object } kind;
  int32_t obj = 0;

  static RObstacles Checkall(const RValue& v) { return {ArgFlag(v) ? All : Solid, 0}; }
  static RObstacles Of(const RValue& v) { return {Object, Real_ToInt32(v.AsReal())}; }

  bool Free(CInstance& inst, double x, double y) const {
    switch (kind) {
      case Solid: return Place_Free(inst, x, y);
      case All: return Place_Empty(inst, x, y);
      case Object: return Instance_Place(inst, obj, x, y) == nullptr;
    }
    return false;
  }
};

bool AtGoal(const CInstance& inst, double gx, double gy) { return inst.i_x == gx && inst.i_y == gy; }

// A goal or step that is not a number (or a goal at infinity) gives no
// place to move to.
bool Unusable(double gx, double gy, double stepsize) {
  return !std::isfinite(gx) || !std::isfinite(gy) || std::isnan(stepsize);
}

// Moves to (x, y), facing the way it went.
void MoveTo(CInstance& inst, double x, double y) {
  inst.SetDirection(Planning_Direction(inst.i_x, inst.i_y, x, y));
  inst.SetPosition(x, y);
}

// True when the goal was within reach of this step, even when it was
// blocked and the instance stayed where it was.
bool LinearStep(CInstance& inst, double gx, double gy, double stepsize, const RObstacles& obstacles) {
  if (Unusable(gx, gy, stepsize)) return false;
  if (AtGoal(inst, gx, gy)) return true;
  const double dx = gx - inst.i_x, dy = gy - inst.i_y, d = std::hypot(dx, dy);
  double tx = gx, ty = gy;
  const bool reach = !(d > stepsize);
  if (!reach) {
    tx = inst.i_x + dx / d * stepsize;
    ty = inst.i_y + dy / d * stepsize;
  }
  if (obstacles.Free(inst, tx, ty)) MoveTo(inst, tx, ty);
  return reach;
}

double Wrap360(double a) {
  a = std::fmod(a, 360);
  return a < 0 ? a + 360 : a;
}

// Takes direction `dir` and one step along it when the turn is small enough
// and both the next place and the place `ahead` steps away are free.
bool TryDirection(CInstance& inst, double dir, double stepsize, const RObstacles& obstacles) {
  double turn = std::fabs(Wrap360(dir) - Wrap360(inst.i_direction));
  if (turn > 180) turn = 360 - turn;
  if (turn > g_Potential.maxrot) return false;
  const double ux = std::cos(Angle_ToRadians(dir)), uy = -std::sin(Angle_ToRadians(dir));
  const double far = stepsize * g_Potential.ahead;
  if (!obstacles.Free(inst, inst.i_x + ux * far, inst.i_y + uy * far)) return false;
  const double nx = inst.i_x + ux * stepsize, ny = inst.i_y + uy * stepsize;
  if (!obstacles.Free(inst, nx, ny)) return false;
  inst.SetDirection(dir);
  inst.SetPosition(nx, ny);
  return true;
}

// True when the goal was within reach of this step (moved there when free).
bool PotentialStep(CInstance& inst, double gx, double gy, double stepsize, const RObstacles& obstacles) {
  if (Unusable(gx, gy, stepsize)) return false;
  if (AtGoal(inst, gx, gy)) return true;
  if (std::hypot(gx - inst.i_x, gy - inst.i_y) <= stepsize) {
    if (obstacles.Free(inst, gx, gy)) MoveTo(inst, gx, gy);
    return true;
  }
  // The nearest directions to the goal first, the right-hand one of each
  // pair before the left-hand one.
  const double g = Planning_Direction(inst.i_x, inst.i_y, gx, gy);
  for (double k = 0; k < 180; k += g_Potential.rotstep) {
    if (TryDirection(inst, g - k, stepsize, obstacles)) return false;
    if (k > 0 && TryDirection(inst, g + k, stepsize, obstacles)) return false;
  }
  if (g_Potential.onspot) inst.SetDirection(inst.i_direction + g_Potential.maxrot);
  return false;
}

// Planning a path runs the stepper on the instance itself; the instance's
// place and motion are put back exactly afterwards.
class CKeepMotion {
 public:
  explicit CKeepMotion(CInstance& inst)
      : m_inst(inst), m_x(inst.i_x), m_y(inst.i_y), m_direction(inst.i_direction), m_speed(inst.i_speed),
        m_hspeed(inst.i_hspeed), m_vspeed(inst.i_vspeed) {}
  ~CKeepMotion() {
    m_inst.SetPosition(m_x, m_y);
    m_inst.i_direction = m_direction;
    m_inst.i_speed = m_speed;
    m_inst.i_hspeed = m_hspeed;
    m_inst.i_vspeed = m_vspeed;
  }
  CKeepMotion(const CKeepMotion&) = delete;
  CKeepMotion& operator=(const CKeepMotion&) = delete;

 private:
  CInstance& m_inst;
  double m_x, m_y, m_direction, m_speed, m_hspeed, m_vspeed;
};

bool LinearPath(CInstance& inst, CPath& path, double gx, double gy, double stepsize, const RObstacles& obstacles) {
  if (!(stepsize > 0)) return false;
  CKeepMotion keep(inst);
  TRoute route;
  bool found = false;
  for (int64_t n = 1; n <= kPlanMaxPoints; ++n) {
    const double px = inst.i_x, py = inst.i_y;
    Planning_AddPoint(route, px, py);
    if (LinearStep(inst, gx, gy, stepsize, obstacles)) {
      found = true;
      break;
    }
    if (inst.i_x == px && inst.i_y == py) break;  // blocked
  }
  if (found) Planning_AddPoint(route, gx, gy);
  Planning_StorePath(path, std::move(route));
  return found;
}

bool PotentialPath(CInstance& inst, CPath& path, double gx, double gy, double stepsize, double factor,
                   const RObstacles& obstacles) {
  if (!(factor >= 1) || !(stepsize > 0)) return false;
  const double limit = factor * std::hypot(gx - inst.i_x, gy - inst.i_y);
  // An instance that has stood still for a whole turn on the spot (or for
  // one step when it does not turn) has tried every direction it ever could
  // from here: it is stuck, and more steps would only repeat the same place.
  const int64_t stuckAfter = g_Potential.onspot ? int64_t(std::ceil(360 / g_Potential.maxrot)) + 1 : 1;
  CKeepMotion keep(inst);
  TRoute route;
  Planning_AddPoint(route, inst.i_x, inst.i_y);
  bool found = false;
  double length = 0;
  int64_t still = 0;
  for (int64_t n = 1; n < kPlanMaxPoints; ++n) {
    const double px = inst.i_x, py = inst.i_y;
    if (PotentialStep(inst, gx, gy, stepsize, obstacles)) {
      found = true;
      break;
    }
    Planning_AddPoint(route, inst.i_x, inst.i_y);
    length += std::hypot(inst.i_x - px, inst.i_y - py);
    if (length > limit) break;
    still = inst.i_x == px && inst.i_y == py ? still + 1 : 0;
    if (still >= stuckAfter) break;
  }
  if (found) Planning_AddPoint(route, gx, gy);
  Planning_StorePath(path, std::move(route));
  return found;
}

// ------------------------------------------------------------------ built-in functions

template <RObstacles (*Make)(const RValue&)>
void F_LinearStep(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, LinearStep(*AsInstance(s), a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), Make(a[3])));
}
template <RObstacles (*Make)(const RValue&)>
void F_PotentialStep(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (s) Truth(r, PotentialStep(*AsInstance(s), a[0].AsReal(), a[1].AsReal(), a[2].AsReal(), Make(a[3])));
}
template <RObstacles (*Make)(const RValue&)>
void F_LinearPath(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  CPath* path = Planning_TargetPath(Real_ToInt32(a[0].AsReal()));
  if (s && path) Truth(r, LinearPath(*AsInstance(s), *path, a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), Make(a[4])));
}
template <RObstacles (*Make)(const RValue&)>
void F_PotentialPath(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  CPath* path = Planning_TargetPath(Real_ToInt32(a[0].AsReal()));
  if (s && path) Truth(r, PotentialPath(*AsInstance(s), *path, a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), a[4].AsReal(), Make(a[5])));
}

void F_PotentialSettings(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  // Below 1 (or not a number) the search would stall or never end.
  auto atLeastOne = [](double v) { return v >= 1 ? v : 1.0; };
  g_Potential.maxrot = atLeastOne(a[0].AsReal());
  g_Potential.rotstep = atLeastOne(a[1].AsReal());
  g_Potential.ahead = atLeastOne(a[2].AsReal());
  g_Potential.onspot = ArgFlag(a[3]);
}

// The actions take the goal relative to the instance when asked.
template <bool (*Step)(CInstance&, double, double, double, const RObstacles&)>
void A_Step(CInstanceBase* s, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (!s) return;
  CInstance& inst = *AsInstance(s);
  const double dx = g_World.argumentRelative ? inst.i_x : 0, dy = g_World.argumentRelative ? inst.i_y : 0;
  Truth(r, Step(inst, a[0].AsReal() + dx, a[1].AsReal() + dy, a[2].AsReal(), RObstacles::Checkall(a[3])));
}

}  // namespace

void Potential_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"mp_linear_step", F_LinearStep<RObstacles::Checkall>},
      {"mp_linear_step_object", F_LinearStep<RObstacles::Of>},
      {"mp_linear_path", F_LinearPath<RObstacles::Checkall>},
      {"mp_linear_path_object", F_LinearPath<RObstacles::Of>},
      {"mp_potential_settings", F_PotentialSettings},
      {"mp_potential_step", F_PotentialStep<RObstacles::Checkall>},
      {"mp_potential_step_object", F_PotentialStep<RObstacles::Of>},
      {"mp_potential_path", F_PotentialPath<RObstacles::Checkall>},
      {"mp_potential_path_object", F_PotentialPath<RObstacles::Of>},
      {"action_linear_step", A_Step<LinearStep>},
      {"action_potential_step", A_Step<PotentialStep>},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
