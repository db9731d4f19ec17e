#include "script/Code_Random.h"

#include <ctime>

namespace tavrin {

namespace {
uint32_t g_Seed = 0;
}  // namespace

void Random_SetSeed(uint32_t seed) { g_Seed = seed; }
uint32_t Random_GetSeed() { return g_Seed; }

void Random_Randomize() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ns = static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
  g_Seed = static_cast<uint32_t>(ns);
}

double Random_Real() {
  g_Seed = g_Seed * 134775813u + 1u;
  return g_Seed * (1.0 / 4294967296.0);
}

uint32_t Random_Below(uint32_t bound) {
  g_Seed = g_Seed * 134775813u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(g_Seed) * bound) >> 32);
}

}  // namespace tavrin
