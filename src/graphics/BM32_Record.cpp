#include "graphics/BM32_Record.h"

#include <algorithm>

namespace tavrin {

namespace {
// zlib's deflate never compresses better than about 1032 to 1; a block
// claiming more is damaged and need not be inflated to find out.
constexpr size_t kDeflateMaxRatio = 1032;
}  // namespace

std::optional<std::span<const uint8_t>> Stream_TakeBlock(CStream& stream, size_t size) {
  const size_t n = stream.ReadLength();
  const uint8_t* at = stream.Data() + stream.Position();
  stream.Seek(stream.Position() + n);
  if (size / kDeflateMaxRatio > n) return std::nullopt;
  return std::span<const uint8_t>(at, n);
}

bool Bitmap_LoadFromStream(CStream& stream, TBitmap32& bitmap) {
  if (stream.ReadInteger() != kBitmapRecordVersion) return false;
  const int32_t w = stream.ReadInteger();
  const int32_t h = stream.ReadInteger();
  if (!Bitmap_SizeAllowed(w, h)) return false;
  TBitmap32 result;
  result.s_w = w;
  result.s_h = h;
  const size_t pixels = size_t(w) * size_t(h);
  if (pixels > 0) {
    const auto block = Stream_TakeBlock(stream, pixels * 4);
    if (!block || !CPictureBudget::Spend(pixels)) return false;
    result.s_data.resize(pixels);
    // b, g, r, a is TColor32 on little-endian hosts: the block inflates
    // straight into the pixels.
    if (!Stream_InflateInto(block->data(), block->size(), reinterpret_cast<uint8_t*>(result.s_data.data()),
                            pixels * 4))
      return false;
  }
  bitmap = std::move(result);
  return true;
}

void Bitmap_SaveToStream(CStream& stream, const TBitmap32& bitmap) {
  stream.WriteInteger(kBitmapRecordVersion);
  stream.WriteInteger(bitmap.s_w);
  stream.WriteInteger(bitmap.s_h);
  const size_t pixels = size_t(std::max(bitmap.s_w, 0)) * size_t(std::max(bitmap.s_h, 0));
  if (pixels == 0) return;
  const std::vector<uint8_t> packed =
      Stream_Deflate(reinterpret_cast<const uint8_t*>(bitmap.s_data.data()), pixels * 4);
  stream.WriteInteger(int32_t(packed.size()));
  stream.Write(packed.data(), packed.size());
}

TRect Bitmap_BoundingBox(const TBitmap32& bm, int32_t tolerance) {
  TRect box{bm.s_w - 1, bm.s_h - 1, 0, 0};
  for (int32_t y = 0; y < bm.s_h; ++y)
    for (int32_t x = 0; x < bm.s_w; ++x)
      if (int32_t(bm.s_data[size_t(y) * size_t(bm.s_w) + size_t(x)] >> 24) > tolerance) {
        box.Left = std::min(box.Left, x);
        box.Right = std::max(box.Right, x);
        box.Top = std::min(box.Top, y);
        box.Bottom = std::max(box.Bottom, y);
      }
  return box;
}

}  // namespace tavrin
