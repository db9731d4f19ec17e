// The colour model every drawing shares. Games write colours as 0x00BBGGRR
// (red in the low byte) with a separate alpha from 0 to 1; vertices carry
// 0xAARRGGBB. Hue, saturation and value are 0..255 like the channels, and
// the conversions truncate the way games expect (make_color_hsv(0, 0, 255)
// is exactly white, color_get_hue(c_red) exactly 0).
#pragma once

#include <cstdint>

#include "graphics/Graphics_Device.h"

namespace tavrin {

// A game colour with alpha 0..1 as 0xAARRGGBB (NaN or below 0: alpha 0).
inline uint32_t Color_ToARGB(uint32_t color, double alpha) { return Device_ArgbOf(color, alpha); }
// `argb` with its alpha byte replaced: alpha 0..1 rounded to 0..255; an
// alpha below 0 (or NaN) gives 0.
uint32_t Color_SetAlpha(uint32_t argb, double alpha);
// Exchanges the low and the third byte: 0x00BBGGRR <-> 0x00RRGGBB.
inline uint32_t Color_Swap(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
// Per channel round((1 - t) x c1 + t x c2), kept within 0..255 so that an
// amount outside 0..1 never spills into the next channel.
uint32_t Color_Merge(uint32_t c1, uint32_t c2, double t);
// Hue, saturation and value (0..255 each) to a game colour. The hue goes
// round the circle (256 is the same as 1 step past 0); saturation and value
// are held within 0..255.
uint32_t Color_FromHSV(double h, double s, double v);
struct RHSV {
  int32_t h = 0, s = 0, v = 0;
};
RHSV Color_ToHSV(uint32_t c);

// The integer a script value stands for as a colour: rounded, ties to even,
// through 64 bits (a value beyond them saturates).
int64_t Color_Arg(double value);
// make_color: r + g x 256 + b x 65536 from the rounded channels, unclamped.
int64_t Color_Make(double r, double g, double b);
// One channel of a colour value: 0 red, 1 green, 2 blue. The remainder
// keeps the sign of the value, as games have always seen it.
int64_t Color_Channel(double c, int32_t channel);

}  // namespace tavrin
