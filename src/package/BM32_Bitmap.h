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

// Largest picture side accepted from a file or a package: the largest
// texture side a graphics card takes, so a larger picture could never be
// drawn anyway.
inline constexpr int32_t kBitmapMaxSide = 16384;
// Most pixels one picture may hold: 2^26 (256 MiB decoded, and as much
// again as a texture), e.g. 8192 x 8192 or a 16384 x 4096 strip. A screen
// of 3840 x 2160 is an eighth of it; beyond this a picture is a hostile
// header, not art.
inline constexpr uint64_t kBitmapMaxPixels = uint64_t(1) << 26;
// Most pixels all the pictures of one package may hold together: 2^28, i.e.
// 1 GiB decoded. A package is a few megabytes on disk; without this bound,
// frames that compress a thousandfold would let it ask for far more memory
// than any machine has before a single picture failed.
inline constexpr uint64_t kPackageMaxPicturePixels = uint64_t(1) << 28;

// Whether a w x h picture is within the sides and the pixel count above
// (0 x 0, the empty picture, is).
bool Bitmap_SizeAllowed(int64_t w, int64_t h);

// The decoded pixels that the pictures read while it is open may take; a
// package load opens one. Budgets nest: a picture must fit every open one,
// so a caller (a test, a tool) may set a tighter bound around a load. Only
// the thread that opened a budget spends from it.
class CPictureBudget {
 public:
  explicit CPictureBudget(uint64_t pixels = kPackageMaxPicturePixels);
  ~CPictureBudget();
  CPictureBudget(const CPictureBudget&) = delete;
  CPictureBudget& operator=(const CPictureBudget&) = delete;
  // Takes `pixels` from every open budget; false (nothing taken) when one of
  // them cannot pay. True when none is open. Called before the pixels are
  // allocated.
  static bool Spend(uint64_t pixels);

 private:
  uint64_t m_left;
  CPictureBudget* m_outer;
};

// Decodes a BMP file (file header included) of 24 or 32 bits per pixel,
// bottom-up or top-down. Nothing when the bytes are not such a file.
std::optional<TBitmap32> Bitmap_DecodeBMP(std::span<const uint8_t> file);
// Encodes as a 32-bit bottom-up BMP file that keeps the alpha channel.
std::vector<uint8_t> Bitmap_EncodeBMP(const TBitmap32& bitmap);

}  // namespace tavrin
