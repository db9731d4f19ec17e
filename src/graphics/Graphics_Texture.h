// The game's texture table: every image a game draws (sprite frames,
// backgrounds, glyph sheets, surfaces) is one texture of the running game's
// device, known to scripts by a small integer id. An image is placed in the
// top-left of a texture whose sides are the next powers of two, so games see
// the fraction of the texture their image covers (texture_get_width of a
// 100-pixel-wide image is 100 / 128) and build texture coordinates from it.
//
// Without a device no texture is made (id -1), and -1 draws nothing. When the
// running game's device is replaced the table is emptied: the old device's
// textures went with it.
#pragma once

#include <cstdint>

#include "graphics/Graphics_Device.h"
#include "package/BM32_Bitmap.h"

namespace tavrin {

struct RTextureEntry {
  bool used = false;
  int32_t w = 0, h = 0;    // the image placed in the texture
  int32_t wt = 0, ht = 0;  // the texture itself
  int32_t priority = 0;    // as a game set it; every texture stays resident here
};

// The smallest power of two at least n (1 for n below 1).
int32_t Texture_PowerOfTwo(int32_t n);

// A texture holding the bitmap's pixels; -1 without a device, for an empty
// bitmap, or when the device refuses the size.
TextureId Texture_CreateFromBitmap(const TBitmap32& bitmap);
// A texture of white pixels whose alpha is one byte each (w x h bytes, rows
// top to bottom), as glyph sheets are made; -1 as above.
TextureId Texture_CreateAlpha(int32_t w, int32_t h, const uint8_t* alpha);
// A texture of transparent black pixels, or a render target (a surface);
// -1 as above.
TextureId Texture_CreateEmpty(int32_t w, int32_t h, bool renderTarget);
// Frees a texture of the table; anything else (-1, freed, never made) is
// left alone.
void Texture_Free(TextureId id);
bool Texture_Exists(TextureId id);
// The entry of an existing texture, or null.
const RTextureEntry* Texture_Entry(TextureId id);
// w / wt and h / ht: the part of the texture the image covers; 1 for a
// texture that does not exist.
double Texture_WidthFraction(TextureId id);
double Texture_HeightFraction(TextureId id);
// Textures live on the graphics card for as long as they exist, so loading
// one ahead of its first use has nothing to do; the priority is kept for
// games that read their own settings back.
void Texture_Preload(TextureId id);
void Texture_SetPriority(TextureId id, int32_t priority);
// Textures in the table.
int32_t Texture_Count();
// Forgets every entry without touching a device (the device they lived on
// is gone).
void Texture_ResetTable();

}  // namespace tavrin
