// Arbitrary bytes as a PNG picture and as the records of sprites (with their
// frames and masks), backgrounds, fonts and sounds: no crash, no leak, no
// allocation beyond what the bytes can hold, and whatever reads must write
// back and read again to the same resource.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "graphics/Background_Class.h"
#include "graphics/Font_Class.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Sprite_Class.h"
#include "sound/Sound_Class.h"

namespace {

using namespace tavrin;

// Reads a record; when it loads, its bytes must read back the same.
template <class T>
void Record(std::span<const uint8_t> bytes) {
  CStream in(bytes.data(), bytes.size());
  T record;
  try {
    if (!record.LoadFromStream(in)) return;
  } catch (const CStreamError&) {
    return;
  }
  CStream out;
  record.SaveToStream(out);
  out.Seek(0);
  T again;
  if (!again.LoadFromStream(out)) std::abort();
  CStream twice;
  again.SaveToStream(twice);
  if (twice.Bytes() != out.Bytes()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 6) {
    case 0: {
      const auto bm = Picture_DecodePNG(rest);
      if (bm && Picture_DecodePNG(Picture_EncodePNG(*bm)) != bm) std::abort();
      break;
    }
    case 1: Record<CSprite>(rest); break;
    case 2: Record<CBackground>(rest); break;
    case 3: Record<CFont>(rest); break;
    case 4: Record<CSound>(rest); break;
    default: Record<TMask>(rest); break;
  }
  return 0;
}
