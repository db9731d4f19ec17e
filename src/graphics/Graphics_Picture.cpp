#include "graphics/Graphics_Picture.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>

#include "package/Support_Stream.h"

namespace tavrin {

std::optional<TBitmap32> Picture_DecodePNG(std::span<const uint8_t> file) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return std::nullopt;
  if (image.width == 0 || image.height == 0 || !Bitmap_SizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return std::nullopt;
  }
  // Even one bit per pixel, deflated as well as zlib ever can (about 1032 to
  // 1), needs more bytes than this: a small file claiming a huge picture is
  // refused before its pixels are allocated.
  const uint64_t leastRawBytes = uint64_t(image.height) * (uint64_t(image.width) / 8 + 1);
  if (leastRawBytes / 1032 > file.size()) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_BGRA;  // b, g, r, a in memory: TColor32 on little-endian hosts
  TBitmap32 bm(int32_t(image.width), int32_t(image.height));
  if (!png_image_finish_read(&image, nullptr, bm.s_data.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return bm;
}

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

// `rows` holds h rows of w * channels bytes in PNG order.
std::vector<uint8_t> EncodeRows(int32_t w, int32_t h, int colorType, int channels, const std::vector<uint8_t>& rows) {
  if (w <= 0 || h <= 0) return {};
  std::vector<uint8_t> out;
  std::vector<png_bytep> rowPointers(static_cast<size_t>(h));
  const size_t stride = size_t(w) * size_t(channels);
  for (int32_t y = 0; y < h; ++y) rowPointers[size_t(y)] = const_cast<png_bytep>(rows.data() + size_t(y) * stride);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, Z_DEFAULT_COMPRESSION);
  // A buffer that holds the whole compressed image makes a single IDAT.
  png_set_compression_buffer_size(png, compressBound(uLong(size_t(h) * (stride + 1))) + 64);
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace

std::vector<uint8_t> Picture_EncodePNG(const TBitmap32& bm) {
  if (bm.s_w <= 0 || bm.s_h <= 0 || bm.s_data.size() != size_t(bm.s_w) * size_t(bm.s_h)) return {};
  std::vector<uint8_t> rows(bm.s_data.size() * 4);
  for (size_t i = 0; i < bm.s_data.size(); ++i) {
    const TColor32 c = bm.s_data[i];
    rows[4 * i] = uint8_t(c >> 16);
    rows[4 * i + 1] = uint8_t(c >> 8);
    rows[4 * i + 2] = uint8_t(c);
    rows[4 * i + 3] = uint8_t(c >> 24);
  }
  return EncodeRows(bm.s_w, bm.s_h, PNG_COLOR_TYPE_RGB_ALPHA, 4, rows);
}

std::vector<uint8_t> Picture_EncodePNGGrey(int32_t w, int32_t h, std::span<const uint8_t> values) {
  if (w <= 0 || h <= 0 || values.size() != size_t(w) * size_t(h)) return {};
  return EncodeRows(w, h, PNG_COLOR_TYPE_GRAY, 1, std::vector<uint8_t>(values.begin(), values.end()));
}

bool Picture_SaveToImageFile(const TBitmap32& bitmap, const std::string& path) {
  std::vector<uint8_t> png = Picture_EncodePNG(bitmap);
  return !png.empty() && CStream(std::move(png)).SaveToFile(path);
}

EPictureFormat Picture_Recognise(std::span<const uint8_t> f) {
  static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (f.size() >= 8 && std::memcmp(f.data(), kPng, 8) == 0) return EPictureFormat::PNG;
  if (f.size() >= 3 && f[0] == 0xFF && f[1] == 0xD8 && f[2] == 0xFF) return EPictureFormat::JPEG;
  if (f.size() >= 6 && (std::memcmp(f.data(), "GIF87a", 6) == 0 || std::memcmp(f.data(), "GIF89a", 6) == 0))
    return EPictureFormat::GIF;
  if (f.size() >= 2 && f[0] == 'B' && f[1] == 'M') return EPictureFormat::BMP;
  return EPictureFormat::Unknown;
}

std::optional<TBitmap32> Picture_Decode(std::span<const uint8_t> file) {
  switch (Picture_Recognise(file)) {
    case EPictureFormat::PNG: return Picture_DecodePNG(file);
    case EPictureFormat::JPEG: return Picture_DecodeJPEG(file);
    case EPictureFormat::GIF: {
      std::optional<std::vector<TBitmap32>> frames = Picture_DecodeGIF(file, kPictureBackground, true);
      if (!frames) return std::nullopt;
      return std::move(frames->front());
    }
    case EPictureFormat::BMP: return Bitmap_DecodeBMP(file);
    case EPictureFormat::Unknown: break;
  }
  return std::nullopt;
}

std::optional<TBitmap32> Picture_LoadFromBytes(std::span<const uint8_t> file) {
  std::optional<TBitmap32> bm = Picture_Decode(file);
  if (!bm) return std::nullopt;
  bool anyAlpha = false;
  for (TColor32 c : bm->s_data) anyAlpha |= (c >> 24) != 0;
  if (!anyAlpha)
    for (TColor32& c : bm->s_data) c |= 0xFF000000u;
  return bm;
}

std::optional<TBitmap32> Picture_LoadFromImageFile(const std::string& path) {
  CStream file;
  if (!file.LoadFromFile(path)) return std::nullopt;
  return Picture_LoadFromBytes(file.Bytes());
}

}  // namespace tavrin
