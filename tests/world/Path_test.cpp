// Paths as instances follow them: the polyline made from the control points
// (straight and smooth, open and closed), its length, and the point and
// speed factor at a position.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "package/Support_Stream.h"
#include "world/Path_Class.h"

namespace tavrin {
namespace {

CPath MakePath(int32_t kind, bool closed, int32_t precision, std::vector<RWayPoint> points) {
  CPath p;
  p.i_kind = kind;
  p.i_closed = closed;
  p.i_precision = precision;
  p.i_points = std::move(points);
  p.Rebuild();
  return p;
}

// The square (0, 0), (100, 0), (100, 100), (0, 100).
CPath Square(int32_t kind, bool closed, int32_t precision = 1) {
  return MakePath(kind, closed, precision, {{0, 0, 100}, {100, 0, 100}, {100, 100, 100}, {0, 100, 100}});
}

struct RPt {
  double x, y;
};

void ExpectPoints(const CPath& p, const std::vector<RPt>& expected) {
  ASSERT_EQ(p.IntPoints().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(p.IntPoints()[i].x, expected[i].x);
    EXPECT_DOUBLE_EQ(p.IntPoints()[i].y, expected[i].y);
  }
}

TEST(Path, InterpolationOfTheSquareByKindAndClosure) {
  struct RCase {
    const char* name;
    CPath path;
    std::vector<RPt> points;
    double length;
  };
  const double side = std::sqrt(75.0 * 75.0 * 2) / std::sqrt(2.0);  // the smooth square's side: 75
  const RCase cases[] = {
      {"straight closed returns to its first point", Square(0, true),
       {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}, 400},
      {"straight open ends at its last point", Square(0, false), {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, 300},
      {"smooth closed at precision 1: one middle per corner, then the first again", Square(1, true),
       {{87.5, 12.5}, {87.5, 87.5}, {12.5, 87.5}, {12.5, 12.5}, {87.5, 12.5}}, 4 * side},
      {"smooth open keeps its end points and rounds the inner corners", Square(1, false),
       {{0, 0}, {87.5, 12.5}, {87.5, 87.5}, {0, 100}}, std::hypot(87.5, 12.5) * 2 + 75},
      {"smooth open at precision 2 halves each far corner once more", Square(1, false, 2),
       {{0, 0}, {71.875, 3.125}, {87.5, 12.5}, {96.875, 28.125}, {96.875, 71.875}, {87.5, 87.5}, {71.875, 96.875}, {0, 100}},
       -1},
      {"smooth open at precision 0 is its first and last point", Square(1, false, 0), {{0, 0}, {0, 100}}, 100},
      {"smooth closed at precision 0 has no points at all", Square(1, true, 0), {}, 0},
      {"smooth open with two points is just those two",
       MakePath(1, false, 4, {{0, 0, 100}, {30, 40, 100}}), {{0, 0}, {30, 40}}, 50},
      {"a kind beyond smooth is read as straight", MakePath(7, false, 4, {{0, 0, 100}, {30, 40, 100}}),
       {{0, 0}, {30, 40}}, 50},
      {"no points, no polyline", MakePath(0, true, 4, {}), {}, 0},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectPoints(c.path, c.points);
    if (c.length >= 0) {
      EXPECT_NEAR(c.path.Length(), c.length, 1e-9);
    }
  }
}

TEST(Path, PositionsAlongTheLength) {
  const CPath triangle = MakePath(0, true, 4, {{0, 0, 100}, {100, 0, 100}, {100, 100, 100}});
  EXPECT_NEAR(triangle.Length(), 200 + std::sqrt(20000.0), 1e-9);
  const CPath speeds = MakePath(0, false, 4, {{0, 0, 100}, {100, 0, 200}, {100, 100, 50}});
  const CPath single = MakePath(0, false, 4, {{7, 9, 30}});
  const CPath still = MakePath(0, false, 4, {{5, 5, 80}, {5, 5, 20}});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct RCase {
    const char* name;
    const CPath& path;
    double t;
    RWayPoint expected;
  };
  const RCase cases[] = {
      {"the middle of the triangle lies on its second edge", triangle, 0.5,
       {100, (triangle.Length() / 2) - 100, 100}},
      {"position 0 is the first point", triangle, 0, {0, 0, 100}},
      {"position 1 of a closed path is its first point again", triangle, 1, {0, 0, 100}},
      {"beyond 1 is 1", speeds, 1.5, {100, 100, 50}},
      {"below 0 is 0", speeds, -0.2, {0, 0, 100}},
      {"not a number is 0", speeds, nan, {0, 0, 100}},
      {"the speed factor is interpolated along the way", speeds, 0.25, {50, 0, 150}},
      {"exactly on an inner point", speeds, 0.5, {100, 0, 200}},
      {"a path of one point is that point everywhere", single, 0.7, {7, 9, 30}},
      {"a path without length is its first point, without dividing by it", still, 0.5, {5, 5, 80}},
      {"a path without points gives the origin at normal speed", Square(1, true, 0), 0.5, {0, 0, 100}},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    const RWayPoint p = c.path.GetPosition(c.t);
    EXPECT_NEAR(p.x, c.expected.x, 1e-9);
    EXPECT_NEAR(p.y, c.expected.y, 1e-9);
    EXPECT_NEAR(p.speed, c.expected.speed, 1e-9);
  }
}

// The span is found by a binary search; it must agree with walking the
// polyline point by point, including on repeated points (spans of length 0).
TEST(Path, BinarySearchFindsTheSameSpanAsWalking) {
  std::vector<RWayPoint> points;
  for (int i = 0; i < 40; ++i) points.push_back({double((i * 37) % 101), double((i * i) % 53), double(50 + i)});
  points.push_back(points.back());
  points.push_back(points.back());
  for (const int32_t kind : {0, 1}) {
    const CPath p = MakePath(kind, kind == 1, 6, points);
    const auto& ip = p.IntPoints();
    for (int k = 1; k < 1000; ++k) {
      const double t = k / 1000.0, target = p.Length() * t;
      size_t i = 0;
      while (i + 2 < ip.size() && ip[i + 1].l <= target) ++i;
      const double span = ip[i + 1].l - ip[i].l;
      const double f = span == 0 ? 0 : (target - ip[i].l) / span;
      const RWayPoint got = p.GetPosition(t);
      ASSERT_DOUBLE_EQ(got.x, ip[i].x + (ip[i + 1].x - ip[i].x) * f) << "kind " << kind << " t " << t;
      ASSERT_DOUBLE_EQ(got.speed, ip[i].speed + (ip[i + 1].speed - ip[i].speed) * f);
    }
  }
}

TEST(Path, SettingsAreKeptInRangeAndRebuildThePath) {
  CPath p = Square(0, true);
  p.SetKind(7);
  EXPECT_EQ(p.i_kind, 0);
  p.SetPrecision(12);
  EXPECT_EQ(p.i_precision, 8);
  p.SetPrecision(-3);
  EXPECT_EQ(p.i_precision, 0);
  p.SetClosed(false);
  EXPECT_DOUBLE_EQ(p.Length(), 300);
  p.SetKind(1);
  EXPECT_DOUBLE_EQ(p.Length(), 100);  // precision 0: first and last point
}

// A precision far beyond 8 read from a package must not make the runner
// subdivide without end: the depth stays at 8.
TEST(Path, PackagePrecisionIsBoundedWhenInterpolating) {
  CPath big = MakePath(1, true, 1000000, {{0, 0, 100}, {100000, 0, 100}, {100000, 100000, 100}});
  CPath eight = MakePath(1, true, 8, big.i_points);
  EXPECT_EQ(big.IntPoints().size(), eight.IntPoints().size());
  EXPECT_LE(big.IntPoints().size(), 3u * 255 + 1);
  CStream s;
  big.SaveToStream(s);
  s.Seek(0);
  CPath loaded;
  ASSERT_TRUE(loaded.LoadFromStream(s));
  EXPECT_EQ(loaded.i_precision, 1000000);  // kept as read, for writing back
  EXPECT_DOUBLE_EQ(loaded.Length(), eight.Length());
}

// A path made by adding points one by one, with queries between the adds,
// has the polyline of the same points given at once. Adding stays cheap: if
// every point remade the polyline, 50,000 of them would take minutes.
TEST(Path, PointsAddedOneByOneGiveThePolylineOfAllOfThem) {
  for (const int32_t kind : {0, 1}) {
    for (const bool closed : {false, true}) {
      SCOPED_TRACE(std::to_string(kind) + (closed ? " closed" : " open"));
      CPath added;
      added.SetKind(kind);
      added.SetClosed(closed);
      std::vector<RWayPoint> points;
      for (int32_t i = 0; i < 50000; ++i) {
        const RWayPoint p{double(i * 37 % 1000), double(i * 11 % 700), double(50 + i % 100)};
        points.push_back(p);
        EXPECT_EQ(added.AddPoint(p.x, p.y, p.speed), i);
        if (i % 10000 == 3) {
          const CPath sofar = MakePath(kind, closed, 4, points);
          EXPECT_EQ(added.Length(), sofar.Length());
          EXPECT_EQ(added.GetPosition(0.3).x, sofar.GetPosition(0.3).x);
        }
      }
      const CPath whole = MakePath(kind, closed, 4, points);
      EXPECT_EQ(added.Length(), whole.Length());
      ASSERT_EQ(added.IntPoints().size(), whole.IntPoints().size());
      for (size_t k = 0; k < whole.IntPoints().size(); ++k) {
        const RIntPoint &a = added.IntPoints()[k], &b = whole.IntPoints()[k];
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.speed == b.speed && a.l == b.l) << k;
      }
    }
  }
}

// An odd point spoils the path's length and the positions after it, but no
// more: no crash, no runaway subdivision, and the path still starts at its
// first point.
TEST(Path, PointsAtInfinityOrNotANumberGiveNoCrash) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  for (const RWayPoint& odd : {RWayPoint{inf, 0, 100}, RWayPoint{nan, nan, nan}, RWayPoint{-inf, inf, 100}}) {
    for (const int32_t kind : {0, 1}) {
      CPath p = MakePath(kind, false, 8, {{0, 0, 100}, odd, {10, 10, 100}, {20, 0, 100}});
      for (const double t : {0.0, 0.3, 0.5, 1.0}) p.GetPosition(t);
      EXPECT_LE(p.IntPoints().size(), 3u * 255 + 1);
      const RWayPoint start = p.GetPosition(0);
      EXPECT_EQ(start.x, 0);
      EXPECT_EQ(start.y, 0);
      p.Rotate(30);
      p.Scale(2, 0.5);
      p.GetPosition(0.5);
      EXPECT_LE(p.IntPoints().size(), 3u * 255 + 1);
    }
  }
}

TEST(Path, TransformationsWorkAboutTheCentreOfTheControlPoints) {
  const std::vector<RWayPoint> l = {{0, 0, 100}, {40, 0, 50}, {40, 20, 100}};  // centre (20, 10)
  struct RCase {
    const char* name;
    void (*change)(CPath&);
    std::vector<RPt> points;
  };
  const RCase cases[] = {
      {"mirror negates x about the centre", [](CPath& p) { p.Mirror(); }, {{40, 0}, {0, 0}, {0, 20}}},
      {"flip negates y about the centre", [](CPath& p) { p.Flip(); }, {{0, 20}, {40, 20}, {40, 0}}},
      {"rotating by 90 turns counter-clockwise on the screen", [](CPath& p) { p.Rotate(90); },
       {{10, 30}, {10, -10}, {30, -10}}},
      {"scale stretches from the centre", [](CPath& p) { p.Scale(2, 3); }, {{-20, -20}, {60, -20}, {60, 40}}},
      {"shift translates", [](CPath& p) { p.Shift(5, -5); }, {{5, -5}, {45, -5}, {45, 15}}},
      {"reverse reverses the order", [](CPath& p) { p.Reverse(); }, {{40, 20}, {40, 0}, {0, 0}}},
      {"a path appended to itself doubles its points", [](CPath& p) { p.Append(p); },
       {{0, 0}, {40, 0}, {40, 20}, {0, 0}, {40, 0}, {40, 20}}},
      {"insert at the end, change and delete; out of range is ignored",
       [](CPath& p) {
         p.InsertPoint(3, 1, 2, 100);
         p.InsertPoint(5, 9, 9, 100);
         p.ChangePoint(0, 7, 7, 100);
         p.ChangePoint(-1, 9, 9, 100);
         p.DeletePoint(1);
         p.DeletePoint(3);
       },
       {{7, 7}, {40, 20}, {1, 2}}},
  };
  for (const RCase& c : cases) {
    SCOPED_TRACE(c.name);
    CPath p = MakePath(0, false, 4, l);
    c.change(p);
    ASSERT_EQ(p.i_points.size(), c.points.size());
    for (size_t i = 0; i < c.points.size(); ++i) {
      EXPECT_NEAR(p.i_points[i].x, c.points[i].x, 1e-9) << i;
      EXPECT_NEAR(p.i_points[i].y, c.points[i].y, 1e-9) << i;
    }
    // Every change rebuilds the polyline from the new points.
    EXPECT_EQ(p.IntPoints().size(), p.i_points.size());
    if (!p.i_points.empty()) {
      EXPECT_DOUBLE_EQ(p.IntPoints().back().x, p.i_points.back().x);
    }
  }
  // The speed of each point travels with it.
  CPath p = MakePath(0, false, 4, l);
  p.Reverse();
  EXPECT_DOUBLE_EQ(p.i_points[1].speed, 50);
}

}  // namespace
}  // namespace tavrin
