#include "world/Collision_Index.h"

#include <algorithm>

#include "world/Instance_Class.h"
#include "world/Run_State.h"

namespace tavrin {


namespace {

// Cell of a room coordinate (arithmetic shift: negative coordinates too).
int32_t CellOf(int32_t v, int32_t shift) { return v >> shift; }

void Erase(std::vector<CInstance*>& list, CInstance* inst) {
  const auto it = std::find(list.begin(), list.end(), inst);
  if (it == list.end()) return;
  *it = list.back();
  list.pop_back();
}

}  // namespace

void CSpatialIndex::Place(CInstance* inst) {
  const TRect& b = inst->i_bbox;
  const int32_t x0 = CellOf(std::min(b.Left, b.Right), kCellShift), x1 = CellOf(std::max(b.Left, b.Right), kCellShift);
  const int32_t y0 = CellOf(std::min(b.Top, b.Bottom), kCellShift), y1 = CellOf(std::max(b.Top, b.Bottom), kCellShift);
  inst->i_big = (int64_t(x1) - x0 + 1) * (int64_t(y1) - y0 + 1) > kMaxCells;
  if (inst->i_big) {
    m_big.push_back(inst);
    return;
  }
  inst->i_cells[0] = x0;
  inst->i_cells[1] = y0;
  inst->i_cells[2] = x1;
  inst->i_cells[3] = y1;
  for (int32_t cx = x0; cx <= x1; ++cx) {
    for (int32_t cy = y0; cy <= y1; ++cy) {
      std::vector<CInstance*>& cell = m_cells[Key(cx, cy)];
      if (cell.capacity() == 0)
        cell.reserve(kCellReserve);  // room for a crowd from the start: a cell rarely grows again
      else if (cell.empty())
        --m_emptyCells;
      cell.push_back(inst);
    }
  }
}

void CSpatialIndex::SweepEmpty() {
  std::erase_if(m_cells, [](const auto& entry) { return entry.second.empty(); });
  m_emptyCells = 0;
}

void CSpatialIndex::Unplace(CInstance* inst) {
  if (inst->i_big) {
    Erase(m_big, inst);
    return;
  }
  for (int32_t cx = inst->i_cells[0]; cx <= inst->i_cells[2]; ++cx) {
    for (int32_t cy = inst->i_cells[1]; cy <= inst->i_cells[3]; ++cy) {
      const auto it = m_cells.find(Key(cx, cy));
      if (it == m_cells.end()) continue;
      Erase(it->second, inst);
      // An emptied cell is kept with its storage: the next instance to pass
      // by reuses it instead of allocating. Only when empty cells pile up
      // (instances wandering far) are they swept.
      if (it->second.empty() && ++m_emptyCells > kMaxEmptyCells && m_emptyCells > m_cells.size() / 2) SweepEmpty();
    }
  }
}

void CSpatialIndex::Insert(CInstance* inst) {
  if (inst->i_index == this) return;
  inst->i_index = this;
  Place(inst);
  ++g_World.indexVersion;
}

void CSpatialIndex::Remove(CInstance* inst) {
  if (inst->i_index != this) return;
  Unplace(inst);
  inst->i_index = nullptr;
  ++g_World.indexVersion;
}

void CSpatialIndex::Update(CInstance* inst) {
  ++g_World.indexVersion;
  // Most moves stay within the same cells.
  const TRect& b = inst->i_bbox;
  if (!inst->i_big && CellOf(std::min(b.Left, b.Right), kCellShift) == inst->i_cells[0] &&
      CellOf(std::min(b.Top, b.Bottom), kCellShift) == inst->i_cells[1] &&
      CellOf(std::max(b.Left, b.Right), kCellShift) == inst->i_cells[2] &&
      CellOf(std::max(b.Top, b.Bottom), kCellShift) == inst->i_cells[3])
    return;
  Unplace(inst);
  Place(inst);
}

void CSpatialIndex::Clear() {
  for (auto& [key, list] : m_cells)
    for (CInstance* inst : list) inst->i_index = nullptr;
  for (CInstance* inst : m_big) inst->i_index = nullptr;
  m_cells.clear();
  m_big.clear();
  m_emptyCells = 0;
  ++g_World.indexVersion;
}

void CSpatialIndex::Query(const TRect& region, std::vector<CInstance*>& out) const {
  out.clear();
  if (region.Left > region.Right || region.Top > region.Bottom) return;
  const int32_t x0 = CellOf(region.Left, kCellShift), x1 = CellOf(region.Right, kCellShift);
  const int32_t y0 = CellOf(region.Top, kCellShift), y1 = CellOf(region.Bottom, kCellShift);
  const uint64_t stamp = ++m_stamp;
  auto take = [&](const std::vector<CInstance*>& list) {
    for (CInstance* inst : list) {
      if (inst->i_stamp == stamp) continue;
      inst->i_stamp = stamp;
      out.push_back(inst);
    }
  };
  take(m_big);
  // A large region walks the occupied cells instead of every cell in it.
  if ((int64_t(x1) - x0 + 1) * (int64_t(y1) - y0 + 1) > int64_t(m_cells.size())) {
    for (const auto& [key, list] : m_cells) {
      const int32_t cx = int32_t(uint32_t(key >> 32)), cy = int32_t(uint32_t(key));
      if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1) take(list);
    }
    return;
  }
  for (int32_t cx = x0; cx <= x1; ++cx) {
    for (int32_t cy = y0; cy <= y1; ++cy) {
      const auto it = m_cells.find(Key(cx, cy));
      if (it != m_cells.end()) take(it->second);
    }
  }
}

}  // namespace tavrin
