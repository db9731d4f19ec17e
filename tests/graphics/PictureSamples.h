// Small pictures made in the tests with the picture libraries themselves:
// GIF animations frame by frame and JPEGs of any colour space, so that the
// decoders are tested against what real encoders write.
#pragma once

#include <cstdint>
#include <vector>

#include "package/BM32_Bitmap.h"

namespace tavrin::test {

// 0x00RRGGBB colours, the palette of a sample GIF.
struct RGifFrame {
  int left = 0, top = 0, w = 1, h = 1;
  std::vector<uint8_t> indices;  // w * h palette indices, row by row
  int disposal = 0;              // 0 unspecified, 1 keep, 2 background, 3 previous
  int transparent = -1;          // palette index, -1 for none
  bool interlace = false;
  bool withControl = true;       // a graphic control block before the frame
};
// `palette` has a power-of-two size from 2 to 256.
std::vector<uint8_t> Sample_GIF(int screenW, int screenH, const std::vector<uint32_t>& palette,
                                const std::vector<RGifFrame>& frames);

// A JPEG of `bm` (alpha ignored): quality 100, no chroma subsampling;
// grey when `grey`, progressive when `progressive`.
std::vector<uint8_t> Sample_JPEG(const TBitmap32& bm, bool grey = false, bool progressive = false);

}  // namespace tavrin::test
