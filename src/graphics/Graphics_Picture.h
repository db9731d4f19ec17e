// Picture files to and from 32-bit bitmaps: PNG through libpng (both ways),
// JPEG through libjpeg-turbo and GIF through giflib (reading), BMP through
// the package's own codec.
//
// The exact codecs (Picture_DecodePNG / Picture_EncodePNG) keep every pixel
// as it is; the tools use them. Games loading a picture at run time go
// through Picture_LoadFromImageFile, which recognises the format by its
// bytes (never by the file's name) and makes pictures without real alpha
// opaque.
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

// A JPEG (baseline or progressive; grey, colour or CMYK), opaque. Nothing
// for bytes that are not a JPEG, damaged data, a size Bitmap_SizeAllowed
// refuses, or more pixels than the file's bytes can carry (every 8 x 8 block
// of a JPEG costs at least one bit, so a small file claiming a huge picture
// is refused before anything is allocated).
std::optional<TBitmap32> Picture_DecodeJPEG(std::span<const uint8_t> file);

// The frames of a GIF as a game sees an animation: each frame is drawn onto
// a canvas of the file's screen size (at least 1 x 1) that starts filled
// with `canvas`; pixels of the frame's transparent index leave the canvas
// showing; the frame's disposal then says what the next frame starts from:
// unspecified or "keep" leave the canvas as it is, "background" refills the
// frame's rectangle with `canvas`, "previous" restores the canvas as it was
// before the frame. Every colour is opaque. Nothing for bytes that are not a
// GIF, damaged data, a screen Bitmap_SizeAllowed refuses, frames beyond the
// open picture budget (each frame spends a canvas), or no frame at all.
// `firstOnly` stops after the first frame (a GIF loaded as one picture).
std::optional<std::vector<TBitmap32>> Picture_DecodeGIF(std::span<const uint8_t> file, TColor32 canvas,
                                                        bool firstOnly = false);

enum class EPictureFormat { Unknown, PNG, JPEG, GIF, BMP };
// The format by the file's first bytes (its signature).
EPictureFormat Picture_Recognise(std::span<const uint8_t> file);
// The colour shown where a picture has no pixel of its own (the transparent
// pixels of a GIF loaded as one picture): red 1, green 0, blue 0, the colour
// value 1 of the script.
inline constexpr TColor32 kPictureBackground = 0xFF010000u;
// Any supported picture by its content, the first frame of a GIF on
// kPictureBackground; pixels kept as decoded.
std::optional<TBitmap32> Picture_Decode(std::span<const uint8_t> file);

// Saving always writes PNG, whatever the extension; false on a write error
// or a picture without pixels.
bool Picture_SaveToImageFile(const TBitmap32& bitmap, const std::string& path);
// A picture file as a game loads it: Picture_Decode, then, when no pixel has
// any alpha, every pixel made opaque (pictures without an alpha channel, such
// as a 32-bit BMP whose fourth byte is unused, load opaque).
std::optional<TBitmap32> Picture_LoadFromImageFile(const std::string& path);
// The same rule for bytes already read.
std::optional<TBitmap32> Picture_LoadFromBytes(std::span<const uint8_t> file);

}  // namespace tavrin
