// The path functions of the language: queries, settings, points and
// transformations of the path resources, and adding, copying and deleting
// paths while the game runs. Queries on a path that does not exist give -1;
// changes to one do nothing.
#include <string>

#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/Path_Class.h"
#include "world/World_Main.h"
#include "world/World_Routine.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

CPath* PathOf(const RValue& v) { return g_WorldData.paths.Get(ArgInt(v)); }

// Paths made while the game runs are named after their index.
int32_t AddPath(std::unique_ptr<CPath> path) {
  const int32_t index = g_WorldData.paths.Count();
  return g_WorldData.paths.Add(std::move(path), "__newpath" + std::to_string(index));
}

// ------------------------------------------------------------------ queries

void F_PathExists(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(g_WorldData.paths.Exists(ArgInt(a[0])) ? 1 : 0);
}

void F_PathName(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetString(g_WorldData.paths.Exists(ArgInt(a[0])) ? g_WorldData.paths.Name(ArgInt(a[0])) : std::string("<undefined>"));
}

// A numeric query: the value read from the path, or -1 without one.
template <double (*Read)(const CPath&)>
void Query(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const CPath* p = PathOf(a[0]);
  r.SetReal(p ? Read(*p) : -1);
}
double Length(const CPath& p) { return p.Length(); }
double Kind(const CPath& p) { return p.i_kind; }
double Closed(const CPath& p) { return p.i_closed ? 1 : 0; }
double Precision(const CPath& p) { return p.i_precision; }
double Number(const CPath& p) { return double(p.i_points.size()); }

// A control point's value; a point out of range reads as an empty point:
// 0 for x and y, 1 for the speed.
template <double RWayPoint::*Field>
void PointQuery(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const CPath* p = PathOf(a[0]);
  if (!p) {
    r.SetReal(-1);
    return;
  }
  const int32_t n = ArgInt(a[1]);
  if (n < 0 || size_t(n) >= p->i_points.size())
    r.SetReal(Field == &RWayPoint::speed ? 1 : 0);
  else
    r.SetReal(p->i_points[size_t(n)].*Field);
}

template <double RWayPoint::*Field>
void PositionQuery(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const CPath* p = PathOf(a[0]);
  r.SetReal(p ? p->GetPosition(a[1].AsReal()).*Field : -1);
}

// ------------------------------------------------------------------ changes

// A change to an existing path; a missing path is left alone silently.
template <void (*Change)(CPath&, RArgs)>
void Edit(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (CPath* p = PathOf(a[0])) Change(*p, a);
}
void SetKind(CPath& p, RArgs a) { p.SetKind(ArgInt(a[1])); }
void SetClosed(CPath& p, RArgs a) { p.SetClosed(a[1].AsReal() >= 0.5); }
void SetPrecision(CPath& p, RArgs a) { p.SetPrecision(ArgInt(a[1])); }
void AddPoint(CPath& p, RArgs a) { p.AddPoint(a[1].AsReal(), a[2].AsReal(), a[3].AsReal()); }
void InsertPoint(CPath& p, RArgs a) { p.InsertPoint(ArgInt(a[1]), a[2].AsReal(), a[3].AsReal(), a[4].AsReal()); }
void ChangePoint(CPath& p, RArgs a) { p.ChangePoint(ArgInt(a[1]), a[2].AsReal(), a[3].AsReal(), a[4].AsReal()); }
void DeletePoint(CPath& p, RArgs a) { p.DeletePoint(ArgInt(a[1])); }
void ClearPoints(CPath& p, RArgs) { p.Clear(); }
void Reverse(CPath& p, RArgs) { p.Reverse(); }
void Mirror(CPath& p, RArgs) { p.Mirror(); }
void Flip(CPath& p, RArgs) { p.Flip(); }
void Rotate(CPath& p, RArgs a) { p.Rotate(a[1].AsReal()); }
void Scale(CPath& p, RArgs a) { p.Scale(a[1].AsReal(), a[2].AsReal()); }
void Shift(CPath& p, RArgs a) { p.Shift(a[1].AsReal(), a[2].AsReal()); }

// ------------------------------------------------------------------ paths as resources

void F_PathAdd(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs) {
  auto path = std::make_unique<CPath>();
  path->Rebuild();
  r.SetReal(AddPath(std::move(path)));
}

// A failed copy gives -1, never an index that could be a real path.
void F_PathDuplicate(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const CPath* source = PathOf(a[0]);
  if (!source) {
    Error_ReportAction("Trying to duplicate non-existing path.", false);
    r.SetReal(-1);
    return;
  }
  auto copy = std::make_unique<CPath>();
  copy->Assign(*source);
  r.SetReal(AddPath(std::move(copy)));
}

void F_PathAssign(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  const int32_t target = ArgInt(a[0]);
  const CPath* source = PathOf(a[1]);
  if (!source || target < 0 || target >= g_WorldData.paths.Count()) {
    Error_ReportAction("Error assigning a path.", false);
    return;
  }
  if (!g_WorldData.paths.Exists(target)) g_WorldData.paths.Set(target, std::make_unique<CPath>(), "__newpath" + std::to_string(target));
  g_WorldData.paths.Get(target)->Assign(*source);
}

void F_PathAppend(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CPath* target = PathOf(a[0]);
  if (!target) {
    Error_ReportAction("Appending to non-existing path.", false);
    return;
  }
  const CPath* source = PathOf(a[1]);
  if (!source) {
    Error_ReportAction("Appending a non-existing path.", false);
    return;
  }
  target->Append(*source);
}

void F_PathDelete(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (!g_WorldData.paths.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to delete non-existing path.", false);
    return;
  }
  g_WorldData.paths.Remove(ArgInt(a[0]));
}

}  // namespace

void Path_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"path_exists", F_PathExists},
      {"path_name", F_PathName},
      {"path_get_name", F_PathName},
      {"path_get_length", Query<Length>},
      {"path_get_kind", Query<Kind>},
      {"path_get_closed", Query<Closed>},
      {"path_get_precision", Query<Precision>},
      {"path_get_number", Query<Number>},
      {"path_get_point_x", PointQuery<&RWayPoint::x>},
      {"path_get_point_y", PointQuery<&RWayPoint::y>},
      {"path_get_point_speed", PointQuery<&RWayPoint::speed>},
      {"path_get_x", PositionQuery<&RWayPoint::x>},
      {"path_get_y", PositionQuery<&RWayPoint::y>},
      {"path_get_speed", PositionQuery<&RWayPoint::speed>},
      {"path_set_kind", Edit<SetKind>},
      {"path_set_closed", Edit<SetClosed>},
      {"path_set_precision", Edit<SetPrecision>},
      {"path_add", F_PathAdd},
      {"path_duplicate", F_PathDuplicate},
      {"path_assign", F_PathAssign},
      {"path_append", F_PathAppend},
      {"path_delete", F_PathDelete},
      {"path_add_point", Edit<AddPoint>},
      {"path_insert_point", Edit<InsertPoint>},
      {"path_change_point", Edit<ChangePoint>},
      {"path_delete_point", Edit<DeletePoint>},
      {"path_clear_points", Edit<ClearPoints>},
      {"path_reverse", Edit<Reverse>},
      {"path_mirror", Edit<Mirror>},
      {"path_flip", Edit<Flip>},
      {"path_rotate", Edit<Rotate>},
      {"path_scale", Edit<Scale>},
      {"path_shift", Edit<Shift>},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
