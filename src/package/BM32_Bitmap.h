// TBitmap32: the 32-bit picture every image of a game lives in, plus the small
// BMP codec through which packages carry pictures. Pixels are TColor32 values
// (b, g, r, a in memory, so 0xAARRGGBB as a little-endian word), row-major,
// top row first.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrin {

using TColor32 = uint32_t;  // 0xAARRGGBB

struct TBitmap32 {
  int32_t s_w = 0;
  int32_t s_h = 0;
  std::vector<TColor32> s_data;

  TBitmap32() = default;
  TBitmap32(int32_t w, int32_t h, TColor32 fill = 0);

  TColor32 GetPixel(int32_t x, int32_t y) const {
    return (x < 0 || y < 0 || x >= s_w || y >= s_h) ? 0 : s_data[size_t(y) * size_t(s_w) + size_t(x)];
  }
  void SetPixel(int32_t x, int32_t y, TColor32 c) {
    if (x >= 0 && y >= 0 && x < s_w && y < s_h) s_data[size_t(y) * size_t(s_w) + size_t(x)] = c;
  }
  bool operator==(const TBitmap32&) const = default;
};

// Largest picture side accepted from a file; keeps a hostile header from
// asking for gigabytes.
inline constexpr int32_t kBitmapMaxSide = 16384;

// Decodes a BMP file (file header included) of 24 or 32 bits per pixel,
// bottom-up or top-down. Nothing when the bytes are not such a file.
std::optional<TBitmap32> Bitmap_DecodeBMP(std::span<const uint8_t> file);
// Encodes as a 32-bit bottom-up BMP file that keeps the alpha channel.
std::vector<uint8_t> Bitmap_EncodeBMP(const TBitmap32& bitmap);

}  // namespace tavrin
