// The spatial index of a room: its active instances by the grid cells their
// bounding boxes cover, kept current by every bounding-box update. Collision
// queries and collision events ask it for the few instances near a place
// instead of testing every instance, and then test those in the very order
// the full scan would, so answers and event order stay the same.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "graphics/BM32_Record.h"

namespace tavrin {

class CInstance;

// Whether the index is used, and the counters that tell loops their
// positions went stale, are part of the world state (g_World).

class CSpatialIndex {
 public:
  CSpatialIndex() = default;
  ~CSpatialIndex() { Clear(); }
  CSpatialIndex(const CSpatialIndex&) = delete;
  CSpatialIndex& operator=(const CSpatialIndex&) = delete;

  void Insert(CInstance* inst);
  void Remove(CInstance* inst);
  // After the instance's box changed.
  void Update(CInstance* inst);
  void Clear();

  // The instances whose cells meet the region, each once, in no set order.
  void Query(const TRect& region, std::vector<CInstance*>& out) const;

 private:
  static constexpr int32_t kCellShift = 6;  // cells of 64 x 64 pixels
  static constexpr int64_t kMaxCells = 64;   // a box covering more cells lives in m_big
  static constexpr size_t kMaxEmptyCells = 4096;
  static constexpr size_t kCellReserve = 32;
  std::unordered_map<uint64_t, std::vector<CInstance*>> m_cells;
  size_t m_emptyCells = 0;  // cells kept for reuse with no instance in them
  std::vector<CInstance*> m_big;
  mutable uint64_t m_stamp = 0;

  static uint64_t Key(int32_t cx, int32_t cy) { return (uint64_t(uint32_t(cx)) << 32) | uint32_t(cy); }
  void Place(CInstance* inst);
  void Unplace(CInstance* inst);
  void SweepEmpty();
};

}  // namespace tavrin
