// The seam through which sprites and backgrounds get their textures. The
// picture layer works on bitmaps alone; once a graphics device exists it
// installs a maker here, and every frame a loader or an edit produces is
// turned into a texture through it. Without a maker (tools, tests, before the
// device is up) every texture id stays -1, which draws nothing.
#pragma once

#include <cstdint>

#include "package/BM32_Bitmap.h"

namespace tavrin {

struct RTextureMaker {
  // A texture of the bitmap's pixels; -1 when it cannot be made.
  int32_t (*create)(const TBitmap32& bitmap) = nullptr;
  // Frees a texture made by `create` (never called with -1).
  void (*release)(int32_t id) = nullptr;
};

// Installs the maker (an empty one removes it). Textures made before stay
// with their owners until those free them.
void Texture_SetMaker(const RTextureMaker& maker);
// A texture for the bitmap, -1 without a maker or when making fails.
int32_t Texture_Make(const TBitmap32& bitmap);
// Frees `id` unless it is negative.
void Texture_Release(int32_t id);

}  // namespace tavrin
