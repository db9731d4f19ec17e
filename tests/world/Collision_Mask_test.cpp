// Unscaled, unturned masks are compared a row of bits at a time; the answer
// must be the one of walking the pixels. Random masks, origins, positions and
// boxes (wider than the masks too) on both sides.
#include <gtest/gtest.h>

#include <random>

#include "world/Collision_Mask.h"

namespace tavrin {
namespace {

TMask RandomMask(std::mt19937& rng) {
  std::uniform_int_distribution<int32_t> size(1, 150);
  TMask m;
  m.i_w = size(rng);
  m.i_h = size(rng) / 3 + 1;
  m.i_mask.assign(size_t(m.i_w) * size_t(m.i_h), 0);
  // Sparse masks, so that many pairs do not meet and the walk has to finish.
  std::bernoulli_distribution on(std::uniform_real_distribution<double>(0.0, 0.05)(rng));
  for (int32_t x = 0; x < m.i_w; ++x)
    for (int32_t y = 0; y < m.i_h; ++y) m.Set(x, y, on(rng));
  m.i_bbox = {0, 0, m.i_w - 1, m.i_h - 1};
  return m;
}

RPlacedMask Place(const TMask& m, std::mt19937& rng, bool plain) {
  std::uniform_int_distribution<int32_t> pos(-60, 60), origin(-5, 20), grow(0, 30);
  RPlacedMask p;
  p.mask = &m;
  p.x = pos(rng);
  p.y = pos(rng);
  p.xo = origin(rng);
  p.yo = origin(rng);
  p.box = {p.x - p.xo - grow(rng), p.y - p.yo - grow(rng), p.x - p.xo + m.i_w - 1 + grow(rng),
           p.y - p.yo + m.i_h - 1 + grow(rng)};
  p.plain = plain;  // scale 1 and angle 0 either way: only the method differs
  return p;
}

TEST(CollisionMask, RowsOfBitsAnswerAsThePixelWalk) {
  std::mt19937 rng(12345);
  int met = 0;
  for (int i = 0; i < 3000; ++i) {
    const TMask a = RandomMask(rng), b = RandomMask(rng);
    std::mt19937 again = rng;
    const RPlacedMask pa = Place(a, rng, true), pb = Place(b, rng, true);
    const RPlacedMask wa = Place(a, again, false), wb = Place(b, again, false);
    const bool fast = Mask_CollidesMask(pa, pb);
    ASSERT_EQ(fast, Mask_CollidesMask(wa, wb)) << "case " << i;
    met += fast;
  }
  // Both answers occur often enough to mean something.
  EXPECT_GT(met, 100);
  EXPECT_LT(met, 2900);
}

}  // namespace
}  // namespace tavrin
