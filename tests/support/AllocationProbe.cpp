#include "support/AllocationProbe.h"

// The replacement pair is malloc and free on both sides; the compiler cannot
// see that through inlining and would warn of a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (n > tavrin::test::g_largestAllocation) tavrin::test::g_largestAllocation = n;
  ++tavrin::test::g_allocationCount;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
