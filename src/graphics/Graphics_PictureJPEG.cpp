// Reading JPEG pictures through libjpeg-turbo. The file is untrusted: sizes
// are checked against what its bytes can carry before anything is allocated,
// the number of progressive scans is bounded (each scan costs a pass over the
// whole picture), and libjpeg's own memory is capped.
// jpeglib.h uses size_t and FILE without including their headers.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "graphics/Graphics_Picture.h"

namespace tavrin {

namespace {

// Every JPEG codes the DC value of each 8 x 8 block of its full-resolution
// component in at least one bit, so a complete file carries at most 64
// pixels per bit. A header claiming more is a hostile or cut-off file.
constexpr uint64_t kJpegMaxPixelsPerByte = 512;
// Real progressive files use about ten scans; thousands of tiny scans would
// make decoding a small file take minutes.
constexpr int kJpegMaxScans = 500;
// libjpeg's working memory (coefficient buffers of progressive files): twice
// the largest picture's coefficients, far beyond any honest file.
constexpr long kJpegMaxWorkMemory = long(kBitmapMaxPixels) * 3 * 2 * 2;

struct RJpegFailure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr info) { std::longjmp(reinterpret_cast<RJpegFailure*>(info->err)->jump, 1); }
// Warnings (extra bytes, a premature end that libjpeg fills in) are not
// printed: a game's picture is shown as well as it can be.
void Quiet(j_common_ptr, int) {}

void CountScans(j_common_ptr info) {
  if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kJpegMaxScans)
    Fail(info);
}

// Adobe's CMYK files (nearly all of them) store the inks inverted: the
// channel values are already 255 minus the ink.
TColor32 FromCmyk(const uint8_t* p, bool inverted) {
  uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
  if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
  return 0xFF000000u | (c * k / 255) << 16 | (m * k / 255) << 8 | (y * k / 255);
}

// Decodes into `out` (allocated here once the size is accepted). Only plain
// locals live in this frame: a failure jumps out of libjpeg to the setjmp
// below, skipping no destructor.
bool Decode(jpeg_decompress_struct& info, RJpegFailure& failure, std::span<const uint8_t> file, TBitmap32& out,
            std::vector<uint8_t>& cmykRow) {
  if (setjmp(failure.jump)) return false;
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = kJpegMaxWorkMemory;
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
  const uint64_t w = info.image_width, h = info.image_height;
  if (w == 0 || h == 0 || !Bitmap_SizeAllowed(int64_t(w), int64_t(h))) return false;
  if (w * h > uint64_t(file.size()) * kJpegMaxPixelsPerByte) return false;
  if (!CPictureBudget::Spend(w * h)) return false;
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;  // b, g, r, a: TColor32 on little-endian hosts
  jpeg_start_decompress(&info);
  if (info.output_width != w || info.output_height != h) return false;
  out = TBitmap32(int32_t(w), int32_t(h));
  if (cmyk) cmykRow.resize(size_t(w) * 4);
  while (info.output_scanline < info.output_height) {
    const size_t y = info.output_scanline;
    TColor32* row = &out.s_data[y * w];
    JSAMPROW target = cmyk ? cmykRow.data() : reinterpret_cast<JSAMPROW>(row);
    if (jpeg_read_scanlines(&info, &target, 1) != 1) return false;
    if (cmyk)
      for (size_t x = 0; x < w; ++x) row[x] = FromCmyk(&cmykRow[x * 4], info.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

std::optional<TBitmap32> Picture_DecodeJPEG(std::span<const uint8_t> file) {
  if (Picture_Recognise(file) != EPictureFormat::JPEG) return std::nullopt;
  jpeg_decompress_struct info{};
  RJpegFailure failure{};
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = Fail;
  failure.manager.emit_message = Quiet;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = CountScans;
  info.progress = &progress;
  TBitmap32 out;
  std::vector<uint8_t> cmykRow;
  const bool ok = Decode(info, failure, file, out, cmykRow);
  jpeg_destroy_decompress(&info);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace tavrin
