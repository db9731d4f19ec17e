#include "world/Path_Class.h"

#include <algorithm>
#include <cmath>

#include "package/Package_Sections.h"
#include "world/World_Angles.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {

constexpr int32_t kPathVersion = 530;

// Halfway between two points, and the middle of a quadratic curve; x, y and
// the speed factor alike.
RIntPoint Half(const RIntPoint& a, const RIntPoint& b) {
  return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.speed + b.speed) / 2, 0};
}
RIntPoint CurveMiddle(const RIntPoint& s, const RIntPoint& c, const RIntPoint& e) {
  return {(s.x + 2 * c.x + e.x) / 4, (s.y + 2 * c.y + e.y) / 4, (s.speed + 2 * c.speed + e.speed) / 4, 0};
}
RIntPoint FromWay(const RWayPoint& p) { return {p.x, p.y, p.speed, 0}; }
double Distance2(const RIntPoint& a, const RIntPoint& b) {
  return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// One span of a smooth path: the quadratic curve from s through the pull of c
// to e, halved until the pieces are within 4 pixels of their control point
// or the depth runs out. Only the inner points are added; the span's ends are
// the neighbouring spans' ends too.
void Subdivide(std::vector<RIntPoint>& out, int32_t depth, const RIntPoint& s, const RIntPoint& c,
               const RIntPoint& e) {
  if (depth <= 0) return;
  const RIntPoint m = CurveMiddle(s, c, e);
  if (Distance2(c, s) > 16) Subdivide(out, depth - 1, s, Half(s, c), m);
  out.push_back(m);
  if (Distance2(c, e) > 16) Subdivide(out, depth - 1, m, Half(c, e), e);
}

}  // namespace

bool CPath::LoadFromStream(CStream& s) {
  *this = CPath{};
  if (s.ReadInteger() != kPathVersion) return false;
  i_kind = s.ReadInteger();
  i_closed = s.ReadBoolean();
  i_precision = s.ReadInteger();
  const int32_t count = s.ReadInteger();
  if (!s.CountFits(count, 24)) return false;
  i_points.resize(size_t(count));
  for (RWayPoint& p : i_points) {
    p.x = s.ReadReal();
    p.y = s.ReadReal();
    p.speed = s.ReadReal();
  }
  Rebuild();
  return true;
}

void CPath::SaveToStream(CStream& s) const {
  s.WriteInteger(kPathVersion);
  s.WriteInteger(i_kind);
  s.WriteBoolean(i_closed);
  s.WriteInteger(i_precision);
  s.WriteInteger(int32_t(i_points.size()));
  for (const RWayPoint& p : i_points) {
    s.WriteReal(p.x);
    s.WriteReal(p.y);
    s.WriteReal(p.speed);
  }
}

// ------------------------------------------------------------------ the polyline

void CPath::MakePolyline() const {
  i_stale = false;
  i_intpoints.clear();
  const size_t n = i_points.size();
  if (n > 0) {
    if (i_kind != 1) {
      for (const RWayPoint& p : i_points) i_intpoints.push_back(FromWay(p));
      if (i_closed) i_intpoints.push_back(FromWay(i_points[0]));
    } else {
      // A precision read from a package may be anything; the depth of the
      // subdivision stays within what the setter allows.
      const int32_t depth = std::clamp(i_precision, 0, kPathMaxPrecision);
      if (!i_closed) i_intpoints.push_back(FromWay(i_points[0]));
      const size_t spans = i_closed ? n : (n >= 3 ? n - 2 : 0);
      for (size_t k = 0; k < spans; ++k) {
        const RIntPoint p0 = FromWay(i_points[k]), p1 = FromWay(i_points[(k + 1) % n]),
                        p2 = FromWay(i_points[(k + 2) % n]);
        Subdivide(i_intpoints, depth, Half(p0, p1), p1, Half(p1, p2));
      }
      // A closed curve at precision 0 has no points at all.
      if (i_closed && !i_intpoints.empty()) i_intpoints.push_back(i_intpoints[0]);
      if (!i_closed) i_intpoints.push_back(FromWay(i_points[n - 1]));
    }
  }
  double l = 0;
  for (size_t i = 0; i < i_intpoints.size(); ++i) {
    if (i > 0) l += std::sqrt(Distance2(i_intpoints[i - 1], i_intpoints[i]));
    i_intpoints[i].l = l;
  }
  i_length = l;
}

RWayPoint CPath::GetPosition(double t) const {
  Refresh();
  const size_t count = i_intpoints.size();
  if (count == 0) return {0, 0, 100};
  const auto way = [](const RIntPoint& p) { return RWayPoint{p.x, p.y, p.speed}; };
  // One point, no length, or a length that is not a number (points at
  // infinity): the first point, with no division by the length.
  if (count == 1 || !(i_length > 0)) return way(i_intpoints[0]);
  if (!(t > 0)) return way(i_intpoints[0]);
  if (t >= 1) return way(i_intpoints[count - 1]);
  const double target = i_length * t;
  // The span holding the target: the last point i (at most count - 2) whose
  // successor's length is not beyond it. Lengths never decrease, so a binary
  // search finds it.
  const auto first = i_intpoints.begin() + 1, last = i_intpoints.begin() + ptrdiff_t(count - 1);
  const auto next = std::upper_bound(first, last, target, [](double v, const RIntPoint& p) { return v < p.l; });
  const RIntPoint& a = *(next - 1);
  const RIntPoint& b = *next;
  const double span = b.l - a.l;
  if (!(span > 0)) return way(a);
  const double f = (target - a.l) / span;
  return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.speed + (b.speed - a.speed) * f};
}

// ------------------------------------------------------------------ settings and points

void CPath::SetKind(int32_t kind) {
  i_kind = kind == 1 ? 1 : 0;
  Rebuild();
}

void CPath::SetClosed(bool closed) {
  i_closed = closed;
  Rebuild();
}

void CPath::SetPrecision(int32_t precision) {
  i_precision = std::clamp(precision, 0, kPathMaxPrecision);
  Rebuild();
}

void CPath::Assign(const CPath& path) {
  if (&path == this) return;
  i_kind = path.i_kind;
  i_closed = path.i_closed;
  i_precision = path.i_precision;
  i_points = path.i_points;
  Rebuild();
}

int32_t CPath::AddPoint(double x, double y, double speed) {
  i_points.push_back({x, y, speed});
  Rebuild();
  return int32_t(i_points.size()) - 1;
}

void CPath::InsertPoint(int32_t index, double x, double y, double speed) {
  if (index < 0 || size_t(index) > i_points.size()) return;
  i_points.insert(i_points.begin() + index, RWayPoint{x, y, speed});
  Rebuild();
}

void CPath::ChangePoint(int32_t index, double x, double y, double speed) {
  if (index < 0 || size_t(index) >= i_points.size()) return;
  i_points[size_t(index)] = {x, y, speed};
  Rebuild();
}

void CPath::DeletePoint(int32_t index) {
  if (index < 0 || size_t(index) >= i_points.size()) return;
  i_points.erase(i_points.begin() + index);
  Rebuild();
}

void CPath::Clear() {
  i_points.clear();
  Rebuild();
}

// ------------------------------------------------------------------ transformations

void CPath::Center(double& cx, double& cy) const {
  double xmin = 1e8, xmax = -1e8, ymin = 1e8, ymax = -1e8;
  for (const RWayPoint& p : i_points) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
  }
  cx = (xmin + xmax) / 2;
  cy = (ymin + ymax) / 2;
}

void CPath::Reverse() {
  std::reverse(i_points.begin(), i_points.end());
  Rebuild();
}

void CPath::Mirror() { Scale(-1, 1); }
void CPath::Flip() { Scale(1, -1); }

void CPath::Rotate(double angle) {
  double cx, cy;
  Center(cx, cy);
  const double a = Angle_ToRadians(angle), c = std::cos(a), s = std::sin(a);
  for (RWayPoint& p : i_points) {
    const double dx = p.x - cx, dy = p.y - cy;
    p.x = cx + c * dx + s * dy;
    p.y = cy + c * dy - s * dx;
  }
  Rebuild();
}

void CPath::Scale(double xscale, double yscale) {
  double cx, cy;
  Center(cx, cy);
  for (RWayPoint& p : i_points) {
    p.x = cx + (p.x - cx) * xscale;
    p.y = cy + (p.y - cy) * yscale;
  }
  Rebuild();
}

void CPath::Shift(double xtr, double ytr) {
  for (RWayPoint& p : i_points) {
    p.x += xtr;
    p.y += ytr;
  }
  Rebuild();
}

void CPath::Append(const CPath& path) {
  // A copy first: a path may be appended to itself.
  const std::vector<RWayPoint> more = path.i_points;
  i_points.insert(i_points.end(), more.begin(), more.end());
  Rebuild();
}

}  // namespace tavrin
