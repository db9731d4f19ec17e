// Paths: control points with a speed each, joined by lines or a smooth
// curve. This module holds the package form; following a path comes with
// motion.
#pragma once

#include <vector>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

struct RWayPoint {
  double x = 0, y = 0, speed = 100;  // speed in percent of normal
  bool operator==(const RWayPoint&) const = default;
};

class CPath {
 public:
  std::vector<RWayPoint> i_points;
  int32_t i_kind = 0;  // 0 straight lines, 1 smooth curve
  bool i_closed = true;
  int32_t i_precision = 4;

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
};

extern CResourceList<CPath> g_Paths;
bool Path_LoadAll(CStream& content);
void Path_SaveAll(CStream& content);

}  // namespace tavrin
