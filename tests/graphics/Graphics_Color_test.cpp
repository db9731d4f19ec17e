// The colour conversions with their exact rounding and truncation: hue,
// saturation and value both ways, merging, alpha bytes, and the integer
// rules of making colours and taking their channels apart.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/Graphics_Color.h"

namespace tavrin {
namespace {

TEST(Colors, FromHSVTruncatesEachChannel) {
  const struct {
    double h, s, v;
    uint32_t want;
  } cases[] = {
      {0, 0, 255, 0xFFFFFF},    // grey at full value: white
      {0, 0, 100, 0x646464},    // grey
      {0, 255, 255, 0x0000FF},  // red
      {85, 255, 255, 0x00FF00}, // 120 degrees: green
      {170, 255, 255, 0xFF0000},// 240 degrees: blue
      {255, 255, 255, 0x0000FF},// 360 degrees is 0 again
      {42.5, 255, 255, 0x00FFFF},
      // hue 30 degrees: f = 0.5, t = 0.5 -> 127.5 truncated to 127
      {21.25, 255, 255, 0x007FFF},
      {128, 128, 200, 0xC8C663},
      // out of range: the hue goes round, saturation and value are held
      {255 + 85, 255, 255, 0x00FF00},
      {-85, 255, 255, 0xFF0000},
      {0, 300, 300, 0x0000FF},
      {0, -5, -5, 0x000000},
      {NAN, 255, 255, 0x0000FF},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Color_FromHSV(c.h, c.s, c.v), c.want) << c.h << " " << c.s << " " << c.v;
}

TEST(Colors, ToHSVOfKnownColours) {
  const struct {
    uint32_t c;
    int32_t h, s, v;
  } cases[] = {
      {0x0000FF, 0, 255, 255},   {0x00FF00, 85, 255, 255},  {0xFF0000, 170, 255, 255},
      {0xFFFFFF, 0, 0, 255},     {0x000000, 0, 0, 0},       {0x808080, 0, 0, 128},
      {0xFF00FF, 212, 255, 255}, // magenta: 300 degrees -> 212.5 truncated
      {0x7F3F1F, 155, 192, 127}, // r 31, g 63, b 127: 220 degrees
  };
  for (const auto& c : cases) {
    const RHSV hsv = Color_ToHSV(c.c);
    EXPECT_EQ(hsv.h, c.h) << std::hex << c.c;
    EXPECT_EQ(hsv.s, c.s) << std::hex << c.c;
    EXPECT_EQ(hsv.v, c.v) << std::hex << c.c;
  }
}

TEST(Colors, MergeRoundsPerChannelAndNeverSpills) {
  const struct {
    uint32_t a, b;
    double t;
    uint32_t want;
  } cases[] = {
      {0x000000, 0xFFFFFF, 0.5, 0x808080},  // 127.5 rounds to even: 128
      {0x000000, 0x0000FF, 0.5, 0x000080},
      {0x000000, 0x030303, 0.5, 0x020202},  // 1.5 to 2
      {0x000000, 0x050505, 0.5, 0x020202},  // 2.5 to 2
      {0x102030, 0x102030, 0.7, 0x102030},
      {0x0000FF, 0xFF0000, 0, 0x0000FF},
      {0x0000FF, 0xFF0000, 1, 0xFF0000},
      {0x000000, 0xFFFFFF, 2, 0xFFFFFF},    // beyond the second colour: held at 255
      {0x808080, 0xFFFFFF, -1, 0x010101},
      {0xFFFFFF, 0x000000, 3, 0x000000},
  };
  for (const auto& c : cases) EXPECT_EQ(Color_Merge(c.a, c.b, c.t), c.want) << std::hex << c.a << " " << c.b << " " << c.t;
}

TEST(Colors, AlphaBytesAndTheIntegerRules) {
  EXPECT_EQ(Color_ToARGB(0x123456, 0.5), 0x80563412u);
  EXPECT_EQ(Color_ToARGB(0x123456, -3), 0x00563412u);
  EXPECT_EQ(Color_SetAlpha(0xFF112233, 0.25), 0x40112233u);
  EXPECT_EQ(Color_SetAlpha(0xFF112233, 7), 0xFF112233u);
  EXPECT_EQ(Color_SetAlpha(0xFF112233, -1), 0x00112233u);
  EXPECT_EQ(Color_Swap(0x123456), 0x563412u);

  EXPECT_EQ(Color_Make(300, 0, 0), 300) << "no clamping";
  EXPECT_EQ(Color_Make(1.5, 2.5, 0.4), 2 + 2 * 256) << "rounded, ties to even: 1.5 and 2.5 are both 2";
  EXPECT_EQ(Color_Make(255, 255, 255), 0xFFFFFF);
  EXPECT_EQ(Color_Channel(300, 0), 44);
  EXPECT_EQ(Color_Channel(0x123456, 0), 0x56);
  EXPECT_EQ(Color_Channel(0x123456, 1), 0x34);
  EXPECT_EQ(Color_Channel(0x123456, 2), 0x12);
  EXPECT_EQ(Color_Channel(0x1000000 + 0x20000, 2), 2) << "higher bits do not reach blue";
  EXPECT_EQ(Color_Channel(-1, 0), -1) << "the remainder keeps the sign";
  EXPECT_EQ(Color_Channel(-300, 1), -1);
  EXPECT_EQ(Color_Channel(NAN, 0), 0);
  EXPECT_EQ(Color_Channel(1e300, 0), 255) << "saturates at the largest 64-bit value";
}

}  // namespace
}  // namespace tavrin
