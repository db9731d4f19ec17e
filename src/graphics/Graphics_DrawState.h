// The drawing state games set and read: the colour and alpha of shapes,
// text and primitive vertices, the depth of 2D drawing, the blend mode, and
// how textures are sampled (interpolated or nearest texel), combined with
// vertex colours, and addressed (repeated or clamped).
//
// Everything is stored here first and reaches the device when something is
// drawn, so values set before the device exists, or kept across a new
// device, take effect on it. Sprites, backgrounds and other quads always
// draw clamped (a scaled sprite never shows its opposite edge); primitives
// and models use the repeat setting, which is what texture_get_repeat-style
// queries report.
#pragma once

#include <cstdint>

#include "graphics/Graphics_Device.h"

namespace tavrin {

struct RDrawState {
  uint32_t color = 0xFF000000;  // 0xAARRGGBB, its alpha the draw alpha
  double alpha = 1.0;           // 0..1
  double depth = 0.0;           // z of 2D vertices
  int32_t blendSource = kBlendSrcAlpha;
  int32_t blendDestination = kBlendInvSrcAlpha;
  bool interpolation = true;
  bool textureBlend = true;
  bool textureRepeat = false;
  int32_t circlePrecision = 24;  // steps round an ellipse (Graphics_Shape.h)

  // Back to a game's start.
  void Reset() { *this = RDrawState(); }
};

inline RDrawState g_DrawState;

// The draw colour from a game colour; it takes the current draw alpha.
void DrawState_SetColor(uint32_t color);
// The draw alpha held within 0..1 (NaN is 0); the draw colour's alpha
// follows.
void DrawState_SetAlpha(double alpha);
// The draw colour as a game colour.
uint32_t DrawState_GetColor();
// Blend modes by name: 1 adds, 2 keeps the brighter, 3 subtracts, any other
// value is normal blending.
void DrawState_SetBlendMode(int32_t mode);
// Any pair of blend factors, passed through as given.
void DrawState_SetBlendModeExt(int32_t source, int32_t destination);

// Brings the device's blend and texture states in line with the drawing
// state; `repeat` chooses the texture addressing for the next draws. Sets
// the device's state only when something differs.
void DrawState_Apply(IGraphicsDevice& device, bool repeat);

}  // namespace tavrin
