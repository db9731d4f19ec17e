// Paths: control points with a speed each, joined by lines or a smooth
// curve, open or closed. The control points are turned into a dense polyline
// with the length run so far at each point, so that a position from 0 (start)
// to 1 (end) finds its point and speed factor by a binary search along the
// length. The polyline is made when it is next asked for after a change, so
// a game adding points one by one pays for one polyline, not one per point.
#pragma once

#include <vector>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

struct RWayPoint {
  double x = 0, y = 0, speed = 100;  // speed in percent of normal
  bool operator==(const RWayPoint&) const = default;
};

// A point of the polyline: l is the length from the first point to this one.
struct RIntPoint {
  double x = 0, y = 0, speed = 100, l = 0;
};

inline constexpr int32_t kPathMaxPrecision = 8;

class CPath {
 public:
  // The package form, kept as read so that a package written back is the
  // same. Code that changes these fields directly calls Rebuild afterwards;
  // the methods below see to the polyline by themselves.
  std::vector<RWayPoint> i_points;
  int32_t i_kind = 0;  // 0 straight lines, 1 smooth curve
  bool i_closed = true;
  int32_t i_precision = 4;

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;

  // The polyline and its length.
  void Rebuild() { i_stale = true; }
  const std::vector<RIntPoint>& IntPoints() const {
    Refresh();
    return i_intpoints;
  }
  double Length() const {
    Refresh();
    return i_length;
  }

  // The point and speed factor at position t (0 .. 1, clamped); (0, 0, 100)
  // for a path without points.
  RWayPoint GetPosition(double t) const;

  // Settings: a kind other than 0 and 1 is 0, the precision is kept in 0 .. 8.
  void SetKind(int32_t kind);
  void SetClosed(bool closed);
  void SetPrecision(int32_t precision);
  // Copies kind, closed, precision and points.
  void Assign(const CPath& path);

  int32_t AddPoint(double x, double y, double speed);
  // Ignored unless 0 <= index <= count (insert) or 0 <= index < count.
  void InsertPoint(int32_t index, double x, double y, double speed);
  void ChangePoint(int32_t index, double x, double y, double speed);
  void DeletePoint(int32_t index);
  void Clear();

  // Transformations of the control points about the centre of their box.
  void Center(double& cx, double& cy) const;
  void Reverse();
  void Mirror();
  void Flip();
  void Rotate(double angle);
  void Scale(double xscale, double yscale);
  void Shift(double xtr, double ytr);
  void Append(const CPath& path);

 private:
  void Refresh() const {
    if (i_stale) MakePolyline();
  }
  void MakePolyline() const;
  // Made from the fields above when first asked for after a change.
  mutable std::vector<RIntPoint> i_intpoints;
  mutable double i_length = 0;
  mutable bool i_stale = false;
};

}  // namespace tavrin
