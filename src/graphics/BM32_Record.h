// The package record of a 32-bit picture (a sprite frame, a background) and
// the rectangle type that boxes and masks share.
//
// Record: version 800, width, height, then, only when the picture has pixels,
// one compressed block of width x height x 4 bytes in b, g, r, a order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "package/BM32_Bitmap.h"
#include "package/Support_Stream.h"

namespace tavrin {

// Inclusive pixel coordinates. An "empty" box has Left > Right.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TRect&) const = default;
};

inline constexpr int32_t kBitmapRecordVersion = 800;

// Reads the record into `bitmap`. False (bitmap unchanged) for another
// version, a side or pixel count beyond what a picture may hold
// (Bitmap_SizeAllowed), pixels beyond the open picture budget, or a pixel
// block that does not hold exactly the picture; nothing is allocated before
// the sizes are known to be allowed and possible for the bytes that remain.
bool Bitmap_LoadFromStream(CStream& stream, TBitmap32& bitmap);
void Bitmap_SaveToStream(CStream& stream, const TBitmap32& bitmap);

// The smallest box holding every pixel whose alpha exceeds `tolerance`;
// (w - 1, h - 1, 0, 0), inverted, when there is none.
TRect Bitmap_BoundingBox(const TBitmap32& bitmap, int32_t tolerance);

// Takes a compressed block that is to inflate to `size` bytes and returns
// its compressed bytes. Nothing when the block cannot hold that many
// (deflate shrinks by at most ~1032:1, so a tiny block claiming a huge
// picture is refused before anything is allocated or inflated).
std::optional<std::span<const uint8_t>> Stream_TakeBlock(CStream& stream, size_t size);

}  // namespace tavrin
