// Arbitrary bytes as the sprite and background data files games load: a
// file either loads whole or leaves the resource as it was, and whatever
// loads writes back to a file that loads to the same frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "graphics/Background_Class.h"
#include "graphics/Sprite_Class.h"

namespace {

using namespace tavrin;

CSprite Holding() {
  CSprite s;
  s.CreateFromBitmap(TBitmap32(2, 3, 0xFF102030u), 0, false, 1, 1);
  return s;
}

void Sprite(std::span<const uint8_t> bytes) {
  CSprite s = Holding();
  if (!s.LoadFromSpriteBytes(bytes)) {
    const CSprite before = Holding();
    if (s.i_bitmap != before.i_bitmap || s.i_mask != before.i_mask || s.i_xorig != 1) std::abort();
    return;
  }
  if (s.i_numb != int32_t(s.i_bitmap.size())) std::abort();
  CSprite again;
  if (!again.LoadFromSpriteBytes(s.SaveToSpriteBytes(RMaskSettings{})) || again.i_bitmap != s.i_bitmap ||
      again.i_xorig != s.i_xorig || again.i_yorig != s.i_yorig)
    std::abort();
  // The frame operations must hold up on whatever a file gives.
  if (s.i_numb > 0 && s.i_numb <= 8) s.AddFromSprite(s);
  s.SetAlphaFromSprite(s);
}

void Background(std::span<const uint8_t> bytes) {
  CBackground b;
  b.CreateColor(2, 2, 0x123456);
  const TBitmap32 before = b.i_bitmap;
  if (!b.LoadFromBackgroundBytes(bytes)) {
    if (b.i_bitmap != before) std::abort();
    return;
  }
  CBackground again;
  if (!again.LoadFromBackgroundBytes(b.SaveToBackgroundBytes()) || again.i_bitmap != b.i_bitmap) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  CPictureBudget budget(uint64_t(1) << 22);
  std::span<const uint8_t> rest(data + 1, size - 1);
  // With bit 1 set the rest is the content of the file's compressed block,
  // wrapped here, so that the fuzzer reaches past the deflate layer.
  std::vector<uint8_t> wrapped;
  if (data[0] & 2) {
    CStream file;
    file.WriteInteger(1234321);
    file.WriteStreamC(CStream(rest.data(), rest.size()));
    wrapped = std::move(file.Bytes());
    rest = wrapped;
  }
  if (data[0] & 1)
    Background(rest);
  else
    Sprite(rest);
  return 0;
}
