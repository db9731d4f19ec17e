// The one random generator of the game, shared by everything that draws
// random numbers.
#pragma once

#include <cstdint>

namespace tavrin {

// The one random generator of the game. Every draw advances the seed as
// seed * 134775813 + 1 (mod 2^32), so a game started with the same seed
// plays out the same way.
void Random_SetSeed(uint32_t seed);
uint32_t Random_GetSeed();
// Seeds from the high-resolution clock, as at every start of the game.
void Random_Randomize();
// A real in [0, 1).
double Random_Real();
// An integer from 0 to bound - 1 (0 for a bound of 0).
uint32_t Random_Below(uint32_t bound);

}  // namespace tavrin
