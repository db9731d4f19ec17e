// Records the largest single allocation made while a probe is alive, so a
// test can show that a damaged record claiming gigabytes is refused before
// anything of that size is asked for. A test binary that uses it adds
// support/AllocationProbe.cpp to its sources, which replaces operator new.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace tavrin::test {

inline std::size_t g_largestAllocation = 0;

class CAllocationProbe {
 public:
  CAllocationProbe() { g_largestAllocation = 0; }
  std::size_t Largest() const { return g_largestAllocation; }
};

}  // namespace tavrin::test
