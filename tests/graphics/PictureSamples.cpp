#include "graphics/PictureSamples.h"

#include <gif_lib.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>

namespace tavrin::test {

namespace {

int Append(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

void Check(int result) {
  if (result != GIF_OK) throw std::runtime_error("giflib failed to write the sample");
}

}  // namespace

std::vector<uint8_t> Sample_GIF(int screenW, int screenH, const std::vector<uint32_t>& palette,
                                const std::vector<RGifFrame>& frames) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, Append, &error);
  if (!gif) throw std::runtime_error("EGifOpen");
  std::vector<GifColorType> colours;
  for (uint32_t c : palette) colours.push_back({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
  EGifSetGifVersion(gif, true);
  Check(EGifPutScreenDesc(gif, screenW, screenH, 8, 0, map));
  for (const RGifFrame& f : frames) {
    if (f.withControl) {
      GraphicsControlBlock gcb{};
      gcb.DisposalMode = f.disposal;
      gcb.TransparentColor = f.transparent;
      GifByteType block[4];
      const size_t n = EGifGCBToExtension(&gcb, block);
      Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), block));
    }
    Check(EGifPutImageDesc(gif, f.left, f.top, f.w, f.h, f.interlace, nullptr));
    // Interlaced rows are sent in their pass order.
    std::vector<int> order;
    if (f.interlace) {
      for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < f.h; y += step) order.push_back(y);
    } else {
      for (int y = 0; y < f.h; ++y) order.push_back(y);
    }
    for (int y : order) {
      std::vector<GifPixelType> row(f.indices.begin() + y * f.w, f.indices.begin() + (y + 1) * f.w);
      Check(EGifPutLine(gif, row.data(), f.w));
    }
  }
  GifFreeMapObject(map);
  Check(EGifCloseFile(gif, &error));
  return out;
}

std::vector<uint8_t> Sample_JPEG(const TBitmap32& bm, bool grey, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(bm.s_w);
  info.image_height = JDIMENSION(bm.s_h);
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  for (int c = 0; c < info.num_components; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(bm.s_w) * 3);
  while (info.next_scanline < info.image_height) {
    for (int32_t x = 0; x < bm.s_w; ++x) {
      const TColor32 p = bm.GetPixel(x, int32_t(info.next_scanline));
      if (grey) {
        row[size_t(x)] = uint8_t(p);  // the blue byte: tests use grey pixels
      } else {
        row[size_t(x) * 3] = uint8_t(p >> 16);
        row[size_t(x) * 3 + 1] = uint8_t(p >> 8);
        row[size_t(x) * 3 + 2] = uint8_t(p);
      }
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return out;
}

}  // namespace tavrin::test
