// Grids for planning: a room area cut into equal cells, each free or
// forbidden, in which a breadth-first search finds a shortest chain of cells
// from a start to a goal and records it as a path through the cell centres.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Variable_Main.h"
#include "world/Collision_Main.h"
#include "world/Motion_Planning.h"
#include "world/Object_Class.h"
#include "world/Room_Main.h"
#include "world/World_Routine.h"

namespace tavrin {

namespace {

void Truth(RValue& r, bool b) { r.SetReal(b ? 1 : 0); }

constexpr int32_t kFree = 0, kForbidden = -1;
// Larger grids are refused: they would take more memory than any room needs.
constexpr int64_t kMaxGridCells = 16 * 1024 * 1024;

// A range of columns and rows, both ends included; empty when c1 > c2 or
// r1 > r2.
struct RCellRange {
  int64_t c1, r1, c2, r2;
};

class CGrid {
 public:
  int32_t i_left, i_top, i_cellw, i_cellh, i_hcells, i_vcells;
  // The cell of column i and row j is at i * i_vcells + j: 0 free, -1
  // forbidden, a positive value only while a search runs.
  std::vector<int32_t> i_cells;

  CGrid(int32_t left, int32_t top, int32_t hcells, int32_t vcells, int32_t cellw, int32_t cellh)
      : i_left(left), i_top(top), i_cellw(cellw), i_cellh(cellh), i_hcells(hcells), i_vcells(vcells),
        i_cells(size_t(int64_t(hcells) * vcells), kFree) {}

  bool Inside(int64_t i, int64_t j) const { return i >= 0 && i < i_hcells && j >= 0 && j < i_vcells; }
  int32_t& Cell(int64_t i, int64_t j) { return i_cells[size_t(i * i_vcells + j)]; }

  // The cells covering a rectangle, clipped to the grid. The division
  // truncates toward zero, so a coordinate a little before the grid still
  // counts as its first column or row. None for coordinates that are not
  // numbers.
  bool Range(double x1, double y1, double x2, double y2, RCellRange& out) const {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return false;
    out = {std::max<int64_t>(0, Along(std::min(x1, x2), i_left, i_cellw)),
           std::max<int64_t>(0, Along(std::min(y1, y2), i_top, i_cellh)),
           std::min<int64_t>(i_hcells - 1, Along(std::max(x1, x2), i_left, i_cellw)),
           std::min<int64_t>(i_vcells - 1, Along(std::max(y1, y2), i_top, i_cellh))};
    return true;
  }

  void Fill(const RCellRange& r, int32_t value) {
    for (int64_t i = r.c1; i <= r.c2; ++i)
      for (int64_t j = r.r1; j <= r.r2; ++j) Cell(i, j) = value;
  }

  // The cell holding a point strictly inside the grid, or false.
  bool CellAt(double x, double y, int64_t& i, int64_t& j) const {
    const double right = double(i_left) + double(i_hcells) * i_cellw;
    const double bottom = double(i_top) + double(i_vcells) * i_cellh;
    if (!(x >= i_left && x < right && y >= i_top && y < bottom)) return false;
    // Rounding may put a point just before the far edge into the next cell.
    i = std::min<int64_t>(i_hcells - 1, Along(x, i_left, i_cellw));
    j = std::min<int64_t>(i_vcells - 1, Along(y, i_top, i_cellh));
    return true;
  }

  bool FindPath(CPath& path, double xs, double ys, double xg, double yg, bool diag);

 private:
  static int64_t Along(double v, int32_t origin, int32_t size) {
    return int64_t(std::clamp(std::trunc((v - origin) / size), -1e15, 1e15));
  }
  void Search(int64_t start, int64_t goal, bool diag, bool& found);
};

// The neighbours of a cell, in the order the search gives them their values.
enum ENeighbour { Left, Right, Up, Down, DownLeft, UpLeft, DownRight, UpRight, kNeighbours };
constexpr int kDi[kNeighbours] = {-1, 1, 0, 0, -1, -1, 1, 1};
constexpr int kDj[kNeighbours] = {0, 0, -1, 1, 1, -1, 1, -1};
// The straight neighbours a diagonal move passes between.
constexpr ENeighbour kBeside[kNeighbours][2] = {{}, {}, {}, {}, {Down, Left}, {Up, Left}, {Down, Right}, {Up, Right}};

// Breadth-first from the start: every free cell reached gets its distance
// in steps plus one. A diagonal step is taken only when both straight cells
// beside it were still free and unreached, so a path never cuts the corner
// of a forbidden cell.
void CGrid::Search(int64_t start, int64_t goal, bool diag, bool& found) {
  std::vector<int64_t> queue{start};
  i_cells[size_t(start)] = 1;
  for (size_t head = 0; head < queue.size(); ++head) {
    const int64_t c = queue[head];
    if (c == goal) {
      found = true;
      return;
    }
    const int64_t i = c / i_vcells, j = c % i_vcells;
    const int32_t v = i_cells[size_t(c)];
    bool noted[kNeighbours];
    for (int n = 0; n < kNeighbours; ++n)
      noted[n] = Inside(i + kDi[n], j + kDj[n]) && Cell(i + kDi[n], j + kDj[n]) == kFree;
    for (int n = 0; n < kNeighbours; ++n) {
      if (!noted[n]) continue;
      if (n >= DownLeft && !(diag && noted[kBeside[n][0]] && noted[kBeside[n][1]])) continue;
      Cell(i + kDi[n], j + kDj[n]) = v + 1;
      queue.push_back((i + kDi[n]) * i_vcells + j + kDj[n]);
    }
  }
}

bool CGrid::FindPath(CPath& path, double xs, double ys, double xg, double yg, bool diag) {
  int64_t si, sj, gi, gj;
  if (!CellAt(xs, ys, si, sj) || !CellAt(xg, yg, gi, gj)) return false;
  if (Cell(si, sj) == kForbidden || Cell(gi, gj) == kForbidden) return false;
  bool found = false;
  Search(si * i_vcells + sj, gi * i_vcells + gj, diag, found);
  if (found) {
    // Back from the goal through ever smaller values; the points are
    // gathered goal first and turned round at the end.
    static constexpr ENeighbour kBack[] = {Left, Right, Up, Down, DownLeft, DownRight, UpLeft, UpRight};
    TRoute route;
    Planning_AddPoint(route, xg, yg);
    int64_t i = gi, j = gj;
    while (Cell(i, j) > 1) {
      const int32_t w = Cell(i, j);
      for (ENeighbour n : kBack) {
        const int64_t ni = i + kDi[n], nj = j + kDj[n];
        if (n >= DownLeft && !diag) break;
        if (!Inside(ni, nj) || Cell(ni, nj) != w - 1) continue;
        // A cell of the right value diagonally across a forbidden corner
        // may have been reached another way; the move must not cut it.
        if (n >= DownLeft && (Cell(i + kDi[kBeside[n][0]], j + kDj[kBeside[n][0]]) == kForbidden ||
                              Cell(i + kDi[kBeside[n][1]], j + kDj[kBeside[n][1]]) == kForbidden))
          continue;
        i = ni;
        j = nj;
        break;
      }
      if (Cell(i, j) != w - 1) break;  // cannot happen: the cell it came from qualifies
      if (Cell(i, j) > 1)
        Planning_AddPoint(route, double(i_left) + double(i) * i_cellw + i_cellw / 2,
                          double(i_top) + double(j) * i_cellh + i_cellh / 2);
    }
    Planning_AddPoint(route, xs, ys);
    std::reverse(route.begin(), route.end());
    Planning_StorePath(path, std::move(route));
  }
  for (int32_t& c : i_cells)
    if (c > 0) c = kFree;
  return found;
}

std::vector<std::unique_ptr<CGrid>> g_Grids;

CGrid* GridOf(const RValue& v) {
  const int32_t id = ArgInt(v);
  return id >= 0 && size_t(id) < g_Grids.size() ? g_Grids[size_t(id)].get() : nullptr;
}

void F_GridCreate(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  const int32_t hcells = ArgInt(a[2]), vcells = ArgInt(a[3]), cellw = ArgInt(a[4]), cellh = ArgInt(a[5]);
  r.SetReal(-1);
  if (cellw <= 0 || cellh <= 0) {
    Error_ReportAction("Cannot create a grid whose cells are less than one pixel wide or high.", false);
    return;
  }
  if (hcells < 0 || vcells < 0 || int64_t(hcells) * vcells > kMaxGridCells) {
    Error_ReportAction("Cannot create a grid with a negative number of cells or more than " +
                           std::to_string(kMaxGridCells) + " cells.",
                       false);
    return;
  }
  auto grid = std::make_unique<CGrid>(ArgInt(a[0]), ArgInt(a[1]), hcells, vcells, cellw, cellh);
  auto slot = std::find(g_Grids.begin(), g_Grids.end(), nullptr);
  if (slot == g_Grids.end()) slot = g_Grids.insert(slot, nullptr);
  *slot = std::move(grid);
  r.SetReal(double(slot - g_Grids.begin()));
}

void F_GridDestroy(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (GridOf(a[0])) g_Grids[size_t(ArgInt(a[0]))].reset();
}

void F_GridClearAll(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (CGrid* g = GridOf(a[0])) std::fill(g->i_cells.begin(), g->i_cells.end(), kFree);
}

template <int32_t Value>
void F_GridCell(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CGrid* g = GridOf(a[0]);
  if (g && g->Inside(ArgInt(a[1]), ArgInt(a[2]))) g->Cell(ArgInt(a[1]), ArgInt(a[2])) = Value;
}

template <int32_t Value>
void F_GridRectangle(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  CGrid* g = GridOf(a[0]);
  RCellRange range;
  if (g && g->Range(a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), a[4].AsReal(), range)) g->Fill(range, Value);
}

// Forbids the cells an instance covers: every cell of its box, or with
// `prec` only those its mask meets.
void AddInstance(CGrid& g, const CInstance& inst, bool prec) {
  if (inst.i_marked || inst.i_deactivated) return;
  const TRect& b = inst.i_bbox;
  RCellRange r;
  if (!g.Range(b.Left, b.Top, b.Right, b.Bottom, r)) return;
  if (!prec) return g.Fill(r, kForbidden);
  for (int64_t i = r.c1; i <= r.c2; ++i)
    for (int64_t j = r.r1; j <= r.r2; ++j) {
      if (g.Cell(i, j) == kForbidden) continue;
      const double x = double(g.i_left) + double(i) * g.i_cellw, y = double(g.i_top) + double(j) * g.i_cellh;
      if (Collision_Rectangle(inst, x, y, x + g.i_cellw - 1, y + g.i_cellh - 1, true)) g.Cell(i, j) = kForbidden;
    }
}

void F_GridAddInstances(CInstanceBase* self, CInstanceBase* other, int32_t, RValue&, RArgs a) {
  CGrid* g = GridOf(a[0]);
  const int32_t who = ArgInt(a[1]);
  const bool prec = a[2].AsReal() >= 0.5;
  if (!g) return;
  if (who == OWNER_SELF || who == OWNER_OTHER) {
    if (CInstanceBase* i = who == OWNER_SELF ? self : other) AddInstance(*g, *AsInstance(i), prec);
    return;
  }
  if (!g_World.room) return;
  for (CInstance* i : g_World.room->r_instance)
    if (who == OWNER_ALL || (who >= kFirstInstanceId ? i->i_id == who : Object_IsOrDescends(i->i_objectindex, who)))
      AddInstance(*g, *i, prec);
}

void F_GridPath(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  CGrid* g = GridOf(a[0]);
  if (!g) return;
  CPath* path = Planning_TargetPath(ArgInt(a[1]));
  if (path) Truth(r, g->FindPath(*path, a[2].AsReal(), a[3].AsReal(), a[4].AsReal(), a[5].AsReal(), a[6].AsReal() >= 0.5));
}

}  // namespace

void Grid_RegisterFunctions() {
  // mp_grid_draw waits for the drawing functions.
  static const RFunctionRoutine kRoutines[] = {
      {"mp_grid_create", F_GridCreate},
      {"mp_grid_destroy", F_GridDestroy},
      {"mp_grid_clear_all", F_GridClearAll},
      {"mp_grid_clear_cell", F_GridCell<kFree>},
      {"mp_grid_add_cell", F_GridCell<kForbidden>},
      {"mp_grid_clear_rectangle", F_GridRectangle<kFree>},
      {"mp_grid_add_rectangle", F_GridRectangle<kForbidden>},
      {"mp_grid_add_instances", F_GridAddInstances},
      {"mp_grid_path", F_GridPath},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
