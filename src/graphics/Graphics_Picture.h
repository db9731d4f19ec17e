// Picture files: PNG through libpng, to and from 32-bit bitmaps.
//
// The exact codec (Picture_DecodePNG / Picture_EncodePNG) keeps every pixel
// as it is; the tools use it. Games loading a picture at run time go through
// Picture_LoadImageFile, which also makes pictures without real alpha opaque.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "package/BM32_Bitmap.h"

namespace tavrin {

// Any PNG (palette, grey, 16-bit, interlaced, with or without alpha) as
// 8-bit b, g, r, a; pixels without an alpha channel are opaque. Nothing for
// bytes that are not a PNG, a side of 0, a size Bitmap_SizeAllowed refuses
// (checked before the pixels are allocated), or damaged image data.
std::optional<TBitmap32> Picture_DecodePNG(std::span<const uint8_t> file);

// A saved picture: signature, IHDR (8-bit RGBA, no interlace), one IDAT
// holding the zlib stream (default level) of all rows, each row filter 0 then
// r, g, b, a per pixel, and IEND. Empty for a picture without pixels.
std::vector<uint8_t> Picture_EncodePNG(const TBitmap32& bitmap);
// The same for one byte per pixel (an 8-bit grey PNG), e.g. a font sheet.
std::vector<uint8_t> Picture_EncodePNGGrey(int32_t w, int32_t h, std::span<const uint8_t> values);

// Saving always writes PNG, whatever the extension; false on a write error
// or a picture without pixels.
bool Picture_SaveToImageFile(const TBitmap32& bitmap, const std::string& path);
// A picture file as a game loads it: PNG or BMP; when no pixel has any alpha
// the picture is made opaque (pictures without an alpha channel load opaque).
std::optional<TBitmap32> Picture_LoadFromImageFile(const std::string& path);

}  // namespace tavrin
