// Records the largest single allocation made while a probe is alive, so a
// test can show that a damaged record claiming gigabytes is refused before
// anything of that size is asked for. Include in exactly one source file of a
// test binary: it replaces the global operator new.
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

// The replacement pair is malloc and free on both sides; the compiler cannot
// see that through inlining and would warn of a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (n > tavrin::test::g_largestAllocation) tavrin::test::g_largestAllocation = n;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
