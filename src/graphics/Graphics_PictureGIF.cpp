// Reading GIF pictures and animations through giflib, frame by frame.
//
// The file is read record by record rather than slurped whole: giflib's
// slurp allocates each frame's raster at the size its header claims before
// any pixel data is seen. Here a frame is decoded line by line straight onto
// the canvas, so the only large allocation is the canvas itself, spent from
// the open picture budget for every frame that is kept.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "graphics/Graphics_Picture.h"

namespace tavrin {

namespace {

struct RGifSource {
  std::span<const uint8_t> bytes;
  size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* dst, int n) {
  auto* src = static_cast<RGifSource*>(gif->UserData);
  const size_t take = std::min(size_t(std::max(n, 0)), src->bytes.size() - src->at);
  std::memcpy(dst, src->bytes.data() + src->at, take);
  src->at += take;
  return int(take);
}

struct RGifCloser {
  GifFileType* gif;
  ~RGifCloser() {
    int error = 0;
    if (gif) DGifCloseFile(gif, &error);
  }
};

// What the graphic control extension before a frame says about it.
struct RFrameControl {
  int disposal = DISPOSAL_UNSPECIFIED;
  int transparent = NO_TRANSPARENT_COLOR;
};

// Reads the extension blocks of one extension record; the graphic control
// block, when whole, sets `control`.
bool ReadExtension(GifFileType* gif, RFrameControl& control) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    GraphicsControlBlock gcb{};
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
      control.disposal = gcb.DisposalMode;
      control.transparent = gcb.TransparentColor;
    }
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

// Draws the next frame's pixels (coloured from `map`) onto `canvas`,
// clipped to it. False when the frame's data ends early.
bool DrawFrame(GifFileType* gif, const ColorMapObject* map, const RFrameControl& control, TBitmap32& canvas,
               std::vector<GifPixelType>& line) {
  const GifImageDesc& d = gif->Image;
  if (d.Width <= 0 || d.Height <= 0) return true;
  line.resize(size_t(d.Width));
  // Interlaced frames send every eighth row from 0, then from 4, every
  // fourth from 2, every second from 1.
  static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  const int passes = d.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (int row = d.Interlace ? kStart[pass] : 0; row < d.Height; row += d.Interlace ? kStep[pass] : 1) {
      if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return false;
      const int y = d.Top + row;
      if (y < 0 || y >= canvas.s_h) continue;
      for (int col = 0; col < d.Width; ++col) {
        const int x = d.Left + col;
        const int index = line[size_t(col)];
        if (x >= canvas.s_w || index == control.transparent) continue;
        // An index beyond the colour table is black, as in every viewer.
        const GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
        canvas.s_data[size_t(y) * size_t(canvas.s_w) + size_t(x)] =
            0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
      }
    }
  }
  return true;
}

void FillRect(TBitmap32& canvas, const GifImageDesc& d, TColor32 colour) {
  const int x0 = std::max(0, d.Left), x1 = std::min(canvas.s_w, d.Left + d.Width);
  const int y0 = std::max(0, d.Top), y1 = std::min(canvas.s_h, d.Top + d.Height);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) canvas.s_data[size_t(y) * size_t(canvas.s_w) + size_t(x)] = colour;
}

}  // namespace

std::optional<std::vector<TBitmap32>> Picture_DecodeGIF(std::span<const uint8_t> file, TColor32 fill,
                                                        bool firstOnly) {
  if (Picture_Recognise(file) != EPictureFormat::GIF) return std::nullopt;
  RGifSource source{file};
  int error = 0;
  RGifCloser closer{DGifOpen(&source, ReadBytes, &error)};
  GifFileType* gif = closer.gif;
  if (!gif) return std::nullopt;
  const int32_t w = std::max(gif->SWidth, 1), h = std::max(gif->SHeight, 1);
  if (!Bitmap_SizeAllowed(w, h)) return std::nullopt;

  std::vector<TBitmap32> frames;
  TBitmap32 canvas;
  std::vector<GifPixelType> line;
  RFrameControl control;
  for (;;) {
    GifRecordType record = TERMINATE_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) != GIF_OK) break;  // a cut-off file keeps the frames it has
    if (record == TERMINATE_RECORD_TYPE) break;
    if (record == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif, control)) break;
      continue;
    }
    if (record != IMAGE_DESC_RECORD_TYPE) return std::nullopt;
    if (DGifGetImageDesc(gif) != GIF_OK) break;
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map) return std::nullopt;  // no colours at all: not a picture
    if (!CPictureBudget::Spend(uint64_t(w) * uint64_t(h))) return std::nullopt;
    if (canvas.s_data.empty()) canvas = TBitmap32(w, h, fill);
    // Only "previous" needs the canvas as it was; the others need no copy.
    TBitmap32 before;
    if (control.disposal == DISPOSE_PREVIOUS) before = canvas;
    if (!DrawFrame(gif, map, control, canvas, line)) {
      // A frame whose data ends early is shown as far as it came, like the
      // last frame of a file cut off in transit; nothing follows it.
      frames.push_back(canvas);
      break;
    }
    frames.push_back(canvas);
    if (firstOnly) break;
    if (control.disposal == DISPOSE_BACKGROUND)
      FillRect(canvas, gif->Image, fill);
    else if (control.disposal == DISPOSE_PREVIOUS)
      canvas = std::move(before);
    control = RFrameControl();
  }
  if (frames.empty()) return std::nullopt;
  return frames;
}

}  // namespace tavrin
