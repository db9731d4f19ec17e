// The image effects applied to a picture when a game loads it as a sprite
// frame or a background: turning its background colour transparent, softening
// the edges this leaves, and the colour fill that keeps filtered textures
// from showing dark fringes; and the alpha a picture takes from another.
// Each works in place on one bitmap; none allocates.
#pragma once

#include <cstdint>

#include "package/BM32_Bitmap.h"

namespace tavrin {

// Every pixel with the r, g and b of the bottom-left pixel (0, h - 1) gets
// alpha 0; its colour is kept. That corner is the background by convention,
// whatever its own alpha.
void Effect_RemoveBack(TBitmap32& bm);
// Rows top to bottom, columns left to right, in place: for every pixel with
// alpha 0, each pixel of its 3 x 3 neighbourhood (clipped, itself included)
// whose alpha is at least 32 loses 32. A neighbour brought to 0 by this
// softens its own neighbours when the scan reaches it.
void Effect_SmoothEdges(TBitmap32& bm);
// Every pixel with alpha 0 takes the r, g, b of its left neighbour when that
// one has alpha, else of the right one, else the one above, else the one
// below; its alpha stays 0. Filtering then blends edges with real colours
// instead of the black of a cleared pixel.
void Effect_FillTransparent(TBitmap32& bm);
// Every alpha becomes 255.
void Effect_Opaque(TBitmap32& bm);
// Over the area both pictures share, alpha = (r + g + b) div 3 of the pixel
// of `src` at the same place. `src` may be `bm` itself.
void Effect_AlphaFromBrightness(TBitmap32& bm, const TBitmap32& src);

// The effects of a picture loaded by a game: with remove-background,
// Effect_RemoveBack, then Effect_SmoothEdges when smoothing, then
// Effect_FillTransparent; with smoothing only, Effect_SmoothEdges.
void Effect_ApplyLoad(TBitmap32& bm, bool removeback, bool smooth);

// Script colours are 0x00BBGGRR; this is the opaque pixel of that colour.
inline TColor32 Color_ToPixel(int32_t colour) {
  const uint32_t c = uint32_t(colour);
  return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

}  // namespace tavrin
