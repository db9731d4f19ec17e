// Colour gradients painted into a new background picture: the twelve kinds a
// game can ask for (horizontal, vertical, rectangles, ellipses, double,
// diagonal and corner circles), each opaque.
#pragma once

#include <cstdint>
#include <optional>

#include "package/BM32_Bitmap.h"

namespace tavrin {

// A w x h picture (a side below 1 counts as 1) filled with col1, then painted
// with one-pixel lines or filled shapes whose colour at step t is, per
// channel, (1 - t) * col1 + t * col2 rounded (ties to even). Colours are
// script colours (0x00BBGGRR). Lines leave out their end point and shapes
// their right and bottom edges; a shape holds the pixels whose centres lie
// inside it.
//   0  vertical line at x, t = x / w, for x = 0 .. w - 1
//   1  horizontal line at y, t = y / h
//   2  n = min(w, h) div 2; rectangle (i, i)-(w - i, h - i), t = i / n, i = 0 .. n
//   3  as 2 with ellipses
//   4  n = w div 2; vertical lines at i and w - i, t = i / n, i = 0 .. n
//   5  n = h div 2; the same with horizontal lines
//   6  lines (0, i)-(w, i + h) and (0, -i)-(w, h - i), t = i / h, i = 0 .. h
//   7  lines (0, i + h)-(w, i) and (0, h - i)-(w, -i), t = i / h
//   8 .. 11  n = min(w, h); circles of radius r = n down to 1 about the
//      top-left, top-right, bottom-left, bottom-right corner, t = r / n
//   other  only the col1 fill
// Where n is 0 (a side of one pixel in kinds 2 to 5) the only step is t = 0:
// the picture is col1, the colour of the outermost step.
// Nothing for a size Bitmap_SizeAllowed refuses.
std::optional<TBitmap32> Bitmap_CreateGradient(int32_t w, int32_t h, int32_t col1, int32_t col2, int32_t kind);

// The colour at step t (0 .. 1) between two script colours, as an opaque pixel.
TColor32 Gradient_Mix(int32_t col1, int32_t col2, double t);

}  // namespace tavrin
