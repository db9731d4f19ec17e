// Arbitrary bytes as a picture file a game loads: the PNG, JPEG, GIF and BMP
// decoders on their own, the entry point that recognises the format by
// content, and a sprite loaded from the picture with the load effects. No
// crash, no leak, nothing allocated beyond the pixel limits; every GIF frame
// has the canvas's size and every JPEG pixel is opaque.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "graphics/Graphics_Picture.h"
#include "graphics/Sprite_Class.h"

namespace {

using namespace tavrin;

void CheckGif(std::span<const uint8_t> bytes, bool firstOnly) {
  const auto frames = Picture_DecodeGIF(bytes, 0xFF000000u, firstOnly);
  if (!frames) return;
  if (frames->empty() || (firstOnly && frames->size() != 1)) std::abort();
  for (const TBitmap32& f : *frames) {
    if (f.s_w != frames->front().s_w || f.s_h != frames->front().s_h) std::abort();
    if (f.s_data.size() != size_t(f.s_w) * size_t(f.s_h)) std::abort();
    for (TColor32 c : f.s_data)
      if ((c >> 24) != 0xFF) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  // A tight budget keeps the fuzzer exploring the decoders rather than
  // allocating the largest pictures they accept.
  CPictureBudget budget(uint64_t(1) << 22);
  switch (data[0] % 5) {
    case 0: (void)Picture_DecodePNG(rest); break;
    case 1: {
      const auto bm = Picture_DecodeJPEG(rest);
      if (bm)
        for (TColor32 c : bm->s_data)
          if ((c >> 24) != 0xFF) std::abort();
      break;
    }
    case 2: CheckGif(rest, data[0] & 0x80); break;
    case 3: (void)Picture_LoadFromBytes(rest); break;
    default: {
      CSprite s;
      const uint8_t mode = data[0] >> 3;
      if (s.LoadFromPicture(rest, mode & 7, mode & 8, mode & 16, 0, 0)) {
        if (s.i_numb != int32_t(s.i_bitmap.size()) || s.i_numb <= 0) std::abort();
        s.AddFromSprite(s);
      }
      break;
    }
  }
  return 0;
}
