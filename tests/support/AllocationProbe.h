// Records the largest single allocation made while a probe is alive, so a
// test can show that a damaged record claiming gigabytes is refused before
// anything of that size is asked for, and counts the allocations, so a test
// can show that a hot path makes none. A test binary that uses it adds
// support/AllocationProbe.cpp to its sources, which replaces operator new.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace tavrin::test {

inline std::size_t g_largestAllocation = 0;
inline std::size_t g_allocationCount = 0;

class CAllocationProbe {
 public:
  CAllocationProbe() : m_start(g_allocationCount) { g_largestAllocation = 0; }
  std::size_t Largest() const { return g_largestAllocation; }
  // Allocations since the probe was made.
  std::size_t Count() const { return g_allocationCount - m_start; }

 private:
  std::size_t m_start;
};

}  // namespace tavrin::test
