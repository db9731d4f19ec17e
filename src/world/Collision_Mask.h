// Precise collision tests: whether room pixels are covered by a sprite's mask
// placed at an instance (position, origin, scale, rotation), against another
// placed mask, a point, a rectangle, an ellipse or a line. Every test first
// narrows the pixels to the overlap of boxes and stops at the first hit.
#pragma once

#include <cstdint>

#include "graphics/BM32_Record.h"
#include "graphics/Sprite_Mask.h"

namespace tavrin {

class CSprite;

// A mask as an instance shows it: drawn at the rounded position (x, y) with
// the sprite's origin, scales and angle. The box is the instance's box.
struct RPlacedMask {
  const TMask* mask = nullptr;
  TRect box{};
  int32_t x = 0, y = 0, xo = 0, yo = 0;
  double sx = 1, sy = 1;
  double c = 1, s = 0;  // cosine and sine of minus the angle
  bool plain = true;    // scale 1 and angle 0: mapped in integers

  // The mask of frame `image` of `sprite` (none when the sprite has no
  // frames) placed with the instance's box, position, scales and angle.
  static RPlacedMask Of(const CSprite& sprite, double image, const TRect& box, double x, double y, double sx,
                        double sy, double angle);
  // Whether the room point lies on a true cell of the mask.
  bool Covers(double px, double py) const;
};

bool Mask_CollidesMask(const RPlacedMask& a, const RPlacedMask& b);
bool Mask_CollidesPoint(const RPlacedMask& m, int32_t x, int32_t y);
bool Mask_CollidesRectangle(const RPlacedMask& m, const TRect& rr);
bool Mask_CollidesEllipse(const RPlacedMask& m, const TRect& rr);
bool Mask_CollidesLine(const RPlacedMask& m, int32_t xl, int32_t yl, int32_t xr, int32_t yr);

}  // namespace tavrin
