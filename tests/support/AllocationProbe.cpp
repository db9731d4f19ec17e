#include "support/AllocationProbe.h"

// Every allocation is counted where it reaches the C library: operator new
// below, and strings and buffers that call malloc themselves. Under the
// address sanitizer, which owns malloc, only operator new is counted.
#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t n) {
  ++tavrin::test::g_allocationCount;
  return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size) {
  ++tavrin::test::g_allocationCount;
  return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n) {
  ++tavrin::test::g_allocationCount;
  return __libc_realloc(p, n);
}
void free(void* p) { __libc_free(p); }
}
#endif

// The replacement pair is malloc and free on both sides; the compiler cannot
// see that through inlining and would warn of a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (n > tavrin::test::g_largestAllocation) tavrin::test::g_largestAllocation = n;
#if defined(__SANITIZE_ADDRESS__)
  ++tavrin::test::g_allocationCount;
#endif
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
