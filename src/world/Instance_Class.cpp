#include "world/Instance_Class.h"

#include <algorithm>
#include <cmath>

#include "graphics/Sprite_Class.h"
#include "world/Collision_Index.h"
#include "world/Path_Class.h"
#include "world/Object_Class.h"
#include "world/World_Angles.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {
// Degrees reduced into 0 .. 360.
double Wrap360(double d) { return d - 360.0 * std::floor(d / 360.0); }
int32_t RoundInt(double v) { return Real_ToInt32(v); }
}  // namespace

double Motion_Snap(double v) {
  const double r = std::nearbyint(v);
  // Adding 0 turns a snapped -0 (a sine of 0 times a negative speed) into 0.
  return std::fabs(v - r) < 0.0001 ? r + 0.0 : v;
}

void CInstance::Create(double x, double y, int32_t id, int32_t objectindex) {
  SetObjectIndex(objectindex);
  i_x = x;
  i_y = y;
  i_id = id;
  i_imageindex = 0;
  i_imagespeed = 1;
  i_imagescalex = i_imagescaley = 1;
  i_imageangle = 0;
  i_imagealpha = 1;
  i_imageblend = 0xFFFFFF;
  i_xstart = i_xprevious = x;
  i_ystart = i_yprevious = y;
  i_direction = i_speed = i_friction = i_gravity = i_hspeed = i_vspeed = 0;
  i_gravitydir = 270;
  i_timer.fill(-1);
  i_vars = CVariableList();
  i_marked = i_deactivated = false;
  i_pathindex = -1;
  i_pathposition = i_pathpositionprevious = i_pathspeed = i_pathorientation = 0;
  i_pathscale = 1;
  i_pathend = 0;
  i_pathxstart = i_pathystart = 0;
  i_timelineindex = -1;
  i_timelineposition = 0;
  i_timelinespeed = 1;
  i_timelinerunning = i_timelineloop = false;
  i_initcode.clear();
  UpdateBoundingBox();
}

void CInstance::Assign(const CInstance& o) {
  if (&o == this) return;
  i_vars.Assign(o.i_vars);
  i_id = o.i_id;
  i_objectindex = o.i_objectindex;
  i_marked = o.i_marked;
  i_spriteindex = o.i_spriteindex;
  i_imageindex = o.i_imageindex;
  i_imagespeed = o.i_imagespeed;
  i_imagescalex = o.i_imagescalex;
  i_imagescaley = o.i_imagescaley;
  i_imageangle = o.i_imageangle;
  i_imagealpha = o.i_imagealpha;
  i_imageblend = o.i_imageblend;
  i_maskindex = o.i_maskindex;
  i_depth = o.i_depth;
  i_x = o.i_x;
  i_y = o.i_y;
  i_xstart = o.i_xstart;
  i_ystart = o.i_ystart;
  i_xprevious = o.i_xprevious;
  i_yprevious = o.i_yprevious;
  i_direction = o.i_direction;
  i_speed = o.i_speed;
  i_friction = o.i_friction;
  i_gravitydir = o.i_gravitydir;
  i_gravity = o.i_gravity;
  i_hspeed = o.i_hspeed;
  i_vspeed = o.i_vspeed;
  i_bbox = o.i_bbox;
  i_visible = o.i_visible;
  i_solid = o.i_solid;
  i_persistent = o.i_persistent;
  i_object = o.i_object;
  i_timer = o.i_timer;
  i_deactivated = o.i_deactivated;
  i_pathindex = o.i_pathindex;
  i_pathposition = o.i_pathposition;
  i_pathpositionprevious = o.i_pathpositionprevious;
  i_pathspeed = o.i_pathspeed;
  i_pathscale = o.i_pathscale;
  i_pathorientation = o.i_pathorientation;
  i_pathend = o.i_pathend;
  i_pathxstart = o.i_pathxstart;
  i_pathystart = o.i_pathystart;
  i_timelineindex = o.i_timelineindex;
  i_timelineposition = o.i_timelineposition;
  i_timelinespeed = o.i_timelinespeed;
  i_timelinerunning = o.i_timelinerunning;
  i_timelineloop = o.i_timelineloop;
  i_initcode = o.i_initcode;
  // The box was copied as stored: the index follows it.
  if (i_index) i_index->Update(this);
}

// ------------------------------------------------------------------ appearance

void CInstance::SetObjectIndex(int32_t objectindex) {
  i_objectindex = objectindex;
  i_object = g_WorldData.objects.Get(objectindex);
  if (i_object) {
    SetSpriteIndex(i_object->o_spriteindex);
    i_maskindex = i_object->o_mask;
    i_depth = i_object->o_depth;
    i_solid = i_object->o_solid;
    i_visible = i_object->o_visible;
    i_persistent = i_object->o_persistent;
  }
  UpdateBoundingBox();
}

int32_t CInstance::ImageNumber() const {
  const CSprite* s = g_GraphicsData.sprites.Get(i_spriteindex);
  return s ? s->i_numb : 0;
}

void CInstance::SetSpriteIndex(int32_t sprite) {
  i_spriteindex = sprite;
  if (std::floor(i_imageindex) >= ImageNumber()) i_imageindex = 0;
  UpdateBoundingBox();
}

void CInstance::SetMaskIndex(int32_t mask) {
  i_maskindex = mask;
  UpdateBoundingBox();
}

void CInstance::SetImageScaleX(double v) {
  if (v == i_imagescalex) return;
  i_imagescalex = v;
  UpdateBoundingBox();
}

void CInstance::SetImageScaleY(double v) {
  if (v == i_imagescaley) return;
  i_imagescaley = v;
  UpdateBoundingBox();
}

void CInstance::SetImageAngle(double v) {
  if (v == i_imageangle) return;
  i_imageangle = v;
  UpdateBoundingBox();
}

void CInstance::SetPosition(double nx, double ny) {
  if (nx == i_x && ny == i_y) return;
  i_x = nx;
  i_y = ny;
  UpdateBoundingBox();
}

// The box every collision test starts from: the mask sprite's box placed at
// the instance, scaled and rotated, in whole room pixels.
void CInstance::UpdateBoundingBox() {
  const CSprite* s = g_GraphicsData.sprites.Get(i_maskindex >= 0 ? i_maskindex : i_spriteindex);
  if (!s) {
    i_bbox = {-100000, -100000, -100000, -100000};
    if (i_index) i_index->Update(this);
    return;
  }
  const TRect& b = s->i_bbox;
  const double xo = s->i_xorig, yo = s->i_yorig, sx = i_imagescalex, sy = i_imagescaley;
  if (i_imageangle == 0) {
    int32_t l = RoundInt((b.Left - xo) * sx + i_x), r = RoundInt((b.Right - xo + 1) * sx + i_x - 1);
    int32_t t = RoundInt((b.Top - yo) * sy + i_y), bo = RoundInt((b.Bottom - yo + 1) * sy + i_y - 1);
    if (r < l) std::swap(l, r);
    if (bo < t) std::swap(t, bo);
    i_bbox = {l, t, r, bo};
    if (i_index) i_index->Update(this);
    return;
  }
  const double xa = (std::min(b.Left, b.Right) - xo) * sx, xb = (std::max(b.Left, b.Right) - xo + 1) * sx - 1;
  const double ya = (std::min(b.Top, b.Bottom) - yo) * sy, yb = (std::max(b.Top, b.Bottom) - yo + 1) * sy - 1;
  const double c = std::cos(Angle_ToRadians(i_imageangle)), sn = std::sin(Angle_ToRadians(i_imageangle));
  i_bbox.Left = RoundInt(i_x + std::min(c * xa, c * xb) + std::min(sn * ya, sn * yb));
  i_bbox.Right = RoundInt(i_x + std::max(c * xa, c * xb) + std::max(sn * ya, sn * yb));
  i_bbox.Top = RoundInt(i_y + std::min(c * ya, c * yb) - std::max(sn * xa, sn * xb));
  i_bbox.Bottom = RoundInt(i_y + std::max(c * ya, c * yb) - std::min(sn * xa, sn * xb));
  if (i_index) i_index->Update(this);
}

// ------------------------------------------------------------------ motion

void CInstance::FromComponents() {
  if (i_hspeed == 0) {
    i_direction = i_vspeed > 0 ? 270 : i_vspeed < 0 ? 90 : 0;
  } else {
    const double a = Angle_FromRadians(std::atan2(i_vspeed, i_hspeed));
    i_direction = a > 0 ? 360 - a : -a;
  }
  i_direction = Wrap360(Motion_Snap(i_direction));
  i_speed = Motion_Snap(std::sqrt(i_hspeed * i_hspeed + i_vspeed * i_vspeed));
}

void CInstance::FromPolar() {
  i_hspeed = Motion_Snap(std::cos(Angle_ToRadians(i_direction)) * i_speed);
  i_vspeed = Motion_Snap(-std::sin(Angle_ToRadians(i_direction)) * i_speed);
}

void CInstance::SetHSpeed(double v) {
  if (v == i_hspeed) return;
  i_hspeed = v;
  FromComponents();
}

void CInstance::SetVSpeed(double v) {
  if (v == i_vspeed) return;
  i_vspeed = v;
  FromComponents();
}

void CInstance::SetSpeed(double v) {
  if (v == i_speed) return;
  i_speed = v;
  FromPolar();
}

void CInstance::SetDirection(double v) {
  if (v == i_direction) return;
  i_direction = Wrap360(v);
  FromPolar();
}

void CInstance::AddToSpeed(double dir, double amount) {
  i_hspeed += std::cos(Angle_ToRadians(dir)) * amount;
  i_vspeed -= std::sin(Angle_ToRadians(dir)) * amount;
  FromComponents();
}

void CInstance::AdaptSpeed() {
  if (i_friction != 0) {
    const double s = i_speed > 0 ? i_speed - i_friction : i_speed + i_friction;
    if ((i_speed > 0 && s < 0) || (i_speed < 0 && s > 0))
      SetSpeed(0);
    else if (i_speed != 0)
      SetSpeed(s);
  }
  if (i_gravity != 0) AddToSpeed(i_gravitydir, i_gravity);
}

// A position along a path lies in 0 .. 1; anything else (NaN included) is 0
// or clamped.
void CInstance::SetPathPosition(double v) { i_pathposition = v >= 0 ? std::min(v, 1.0) : 0.0; }
void CInstance::SetPathPositionPrevious(double v) { i_pathpositionprevious = v >= 0 ? std::min(v, 1.0) : 0.0; }

// ------------------------------------------------------------------ paths

namespace {

enum : int32_t { PATH_STOP = 0, PATH_RESTART = 1, PATH_CONTINUE = 2, PATH_REVERSE = 3 };

// A path that can be followed: it exists and has a length.
const CPath* FollowablePath(int32_t ind) {
  const CPath* p = g_WorldData.paths.Get(ind);
  return p && p->Length() > 0 ? p : nullptr;
}

}  // namespace

void CInstance::AssignPath(int32_t ind, double speed, double scale, double orient, bool relative, int32_t endact) {
  i_pathindex = ind;
  if (ind < 0) return;
  const CPath* path = FollowablePath(ind);
  if (!path) {
    i_pathindex = -1;
    return;
  }
  i_pathspeed = speed;
  i_pathposition = i_pathpositionprevious = speed < 0 ? 1 : 0;
  i_pathscale = scale;
  if (scale < 0) {
    i_pathindex = -1;
    return;
  }
  i_pathorientation = orient;
  i_pathend = endact;
  if (!relative) {
    const RWayPoint p = path->GetPosition(i_pathposition);
    SetPosition(p.x, p.y);
  }
  i_pathxstart = i_x;
  i_pathystart = i_y;
}

bool CInstance::AdaptPath() {
  const CPath* path = i_pathindex >= 0 ? FollowablePath(i_pathindex) : nullptr;
  if (!path || i_pathspeed == 0) return false;
  double t = i_pathposition;
  const double factor = path->GetPosition(t).speed;
  const double advance = i_pathspeed * (factor / (100 * i_pathscale)) / path->Length();
  // A scale of 0, or a speed, factor or length that is not a number, gives no
  // sensible step; the instance then stays where it is on its path.
  if (!std::isfinite(advance)) return false;
  t += advance;
  const RWayPoint first = path->GetPosition(0);
  const double o = Angle_ToRadians(i_pathorientation), co = std::cos(o), so = std::sin(o);
  bool ended = false;
  if (t >= 1 || t <= 0) {
    ended = true;
    switch (i_pathend) {
      case PATH_RESTART: t += t >= 0 ? -1 : 1; break;
      case PATH_CONTINUE: {
        // The path is laid again from where it ended: its start moves by the
        // distance from its first to its last point, as the instance sees it.
        const RWayPoint last = path->GetPosition(1);
        const double px = last.x - first.x, py = last.y - first.y;
        const double dx = (co * px + so * py) * i_pathscale, dy = (co * py - so * px) * i_pathscale;
        const double sign = t >= 0 ? 1 : -1;
        i_pathxstart += sign * dx;
        i_pathystart += sign * dy;
        t -= sign;
        break;
      }
      case PATH_REVERSE:
        if (t >= 0) {
          t = 2 - t;
          i_pathspeed = -std::fabs(i_pathspeed);
        } else {
          t = -t;
          i_pathspeed = std::fabs(i_pathspeed);
        }
        break;
      default:
        // Stopping puts the instance at the far end, whichever way it went.
        t = 1;
        i_pathindex = -1;
        break;
    }
  }
  i_pathposition = t;
  const RWayPoint at = path->GetPosition(t);
  const double px = at.x - first.x, py = at.y - first.y;
  const double tx = (co * px + so * py) * i_pathscale + i_pathxstart;
  const double ty = (co * py - so * px) * i_pathscale + i_pathystart;
  SetHSpeed(tx - i_x);
  SetVSpeed(ty - i_y);
  SetSpeed(0);
  SetPosition(tx, ty);
  return ended;
}

}  // namespace tavrin
