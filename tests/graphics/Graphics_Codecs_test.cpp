// JPEG and GIF pictures: decoding what the libraries' own encoders write,
// GIF animations composed frame by frame with their disposals, the format
// recognised by content, and hostile headers refused before allocating.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/Graphics_Picture.h"
#include "graphics/PictureSamples.h"
#include "support/AllocationProbe.h"

namespace tavrin {
namespace {

using test::RGifFrame;
using test::Sample_GIF;
using test::Sample_JPEG;

constexpr TColor32 kFill = 0xFF112233u;
const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x808080};
TColor32 Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }

std::vector<TColor32> Row(const TBitmap32& bm, int32_t y) {
  return std::vector<TColor32>(bm.s_data.begin() + y * bm.s_w, bm.s_data.begin() + (y + 1) * bm.s_w);
}

// Four 8 x 8 blocks of solid colour: JPEG keeps solid blocks within a step or
// two even at its most exact.
TBitmap32 Quadrants(bool grey) {
  const TColor32 colours[4] = {grey ? 0xFF202020u : 0xFFFF0000u, grey ? 0xFF808080u : 0xFF00FF00u,
                               grey ? 0xFFC0C0C0u : 0xFF0000FFu, grey ? 0xFFFFFFFFu : 0xFFFFFF00u};
  TBitmap32 bm(16, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) bm.SetPixel(x, y, colours[(y / 8) * 2 + x / 8]);
  return bm;
}

bool Near(TColor32 a, TColor32 b, int tolerance) {
  for (int k = 0; k < 32; k += 8)
    if (std::abs(int(a >> k & 0xFF) - int(b >> k & 0xFF)) > tolerance) return false;
  return true;
}

TEST(PictureJpeg, DecodesWhatTheEncoderWrote) {
  struct {
    const char* name;
    bool grey, progressive;
  } cases[] = {{"colour", false, false}, {"grey", true, false}, {"progressive colour", false, true},
               {"progressive grey", true, true}};
  for (const auto& c : cases) {
    const TBitmap32 want = Quadrants(c.grey);
    const std::optional<TBitmap32> got = Picture_DecodeJPEG(Sample_JPEG(want, c.grey, c.progressive));
    ASSERT_TRUE(got) << c.name;
    ASSERT_EQ(got->s_w, 16) << c.name;
    ASSERT_EQ(got->s_h, 16) << c.name;
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x)
        ASSERT_TRUE(Near(got->GetPixel(x, y), want.GetPixel(x, y), 3))
            << c.name << " at " << x << "," << y << ": " << std::hex << got->GetPixel(x, y);
  }
}

// The offset of the size fields of the first SOF marker.
size_t SofSize(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i + 5;
  return 0;
}

TEST(PictureJpeg, HostileOrDamagedFilesAreRefused) {
  const std::vector<uint8_t> good = Sample_JPEG(Quadrants(false));
  const size_t at = SofSize(good);
  ASSERT_NE(at, 0u);
  const auto withSize = [&](int h, int w) {
    std::vector<uint8_t> b = good;
    b[at] = uint8_t(h >> 8), b[at + 1] = uint8_t(h), b[at + 2] = uint8_t(w >> 8), b[at + 3] = uint8_t(w);
    return b;
  };
  std::vector<uint8_t> noImage(good.begin(), good.begin() + long(at) + 4);
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"8000 x 8000 in a small file", withSize(8000, 8000)},
      {"wider than any picture", withSize(16, 60000)},
      {"zero height", withSize(0, 16)},
      {"only the header start", noImage},
      {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a'}},
      {"empty", {}},
  };
  for (const auto& [name, bytes] : cases) {
    test::CAllocationProbe probe;
    EXPECT_FALSE(Picture_DecodeJPEG(bytes)) << name;
    EXPECT_LT(probe.Largest(), size_t(1) << 20) << name;
  }
}

TEST(PictureGif, FramesComposeWithTheirDisposals) {
  // A 4 x 1 screen; frame 1 paints it all, later frames one pixel each.
  const std::vector<RGifFrame> frames = {
      {0, 0, 4, 1, {1, 2, 3, 4}, 1},           // keep
      {1, 0, 1, 1, {5}, 2},                    // yellow at 1, then background
      {2, 0, 1, 1, {6}, 3},                    // cyan at 2, then previous
      {3, 0, 1, 1, {0}, 0, 0},                 // only a transparent pixel; unspecified disposal
      {0, 0, 1, 1, {7}, 0, -1, false, false},  // grey at 0, no control block
  };
  const std::vector<std::vector<TColor32>> want = {
      {Opaque(0xFF0000), Opaque(0x00FF00), Opaque(0x0000FF), Opaque(0xFFFFFF)},
      {Opaque(0xFF0000), Opaque(0xFFFF00), Opaque(0x0000FF), Opaque(0xFFFFFF)},
      {Opaque(0xFF0000), kFill, Opaque(0x00FFFF), Opaque(0xFFFFFF)},  // background cleared pixel 1
      {Opaque(0xFF0000), kFill, Opaque(0x0000FF), Opaque(0xFFFFFF)},  // previous undid the cyan
      {Opaque(0x808080), kFill, Opaque(0x0000FF), Opaque(0xFFFFFF)},  // unspecified kept frame 4
  };
  const std::optional<std::vector<TBitmap32>> got = Picture_DecodeGIF(Sample_GIF(4, 1, kPalette, frames), kFill);
  ASSERT_TRUE(got);
  ASSERT_EQ(got->size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(Row((*got)[i], 0), want[i]) << "frame " << i;

  const std::optional<std::vector<TBitmap32>> first =
      Picture_DecodeGIF(Sample_GIF(4, 1, kPalette, frames), kFill, true);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size(), 1u);
}

TEST(PictureGif, FramesLandWhereTheySayClippedAndInterlaced) {
  // Nine rows, interlaced: every pass must put its rows in place.
  std::vector<uint8_t> rows;
  for (uint8_t y = 0; y < 9; ++y) rows.push_back(y % 8);
  const auto tall = Picture_DecodeGIF(Sample_GIF(1, 9, kPalette, {{0, 0, 1, 9, rows, 0, -1, true}}), kFill);
  ASSERT_TRUE(tall);
  for (int32_t y = 0; y < 9; ++y) EXPECT_EQ((*tall)[0].GetPixel(0, y), Opaque(kPalette[size_t(y % 8)])) << y;

  // A frame hanging over the right and bottom edges.
  const auto over = Picture_DecodeGIF(
      Sample_GIF(3, 2, kPalette, {{1, 1, 3, 2, {1, 2, 3, 4, 5, 6}}}), kFill);
  ASSERT_TRUE(over);
  EXPECT_EQ(Row((*over)[0], 0), (std::vector<TColor32>{kFill, kFill, kFill}));
  EXPECT_EQ(Row((*over)[0], 1), (std::vector<TColor32>{kFill, Opaque(0xFF0000), Opaque(0x00FF00)}));
}

TEST(PictureGif, HostileOrDamagedFilesAreRefused) {
  const std::vector<uint8_t> good = Sample_GIF(2, 2, kPalette, {{0, 0, 2, 2, {1, 2, 3, 4}}, {0, 0, 2, 2, {4, 3, 2, 1}}});
  const auto withScreen = [&](int w, int h) {
    std::vector<uint8_t> b = good;
    b[6] = uint8_t(w), b[7] = uint8_t(w >> 8), b[8] = uint8_t(h), b[9] = uint8_t(h >> 8);
    return b;
  };
  std::vector<uint8_t> noMap = good;
  noMap[10] &= 0x7F;  // no global table, and the frames have none of their own
  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 13);
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"screen beyond any picture", withScreen(60000, 60000)},
      {"no colours", noMap},
      {"no frame", headerOnly},
      {"not a GIF", {'G', 'I', 'F', '8', '8', 'a', 0, 0}},
  };
  for (const auto& [name, bytes] : cases) {
    test::CAllocationProbe probe;
    EXPECT_FALSE(Picture_DecodeGIF(bytes, kFill)) << name;
    EXPECT_LT(probe.Largest(), size_t(1) << 20) << name;
  }

  // Many frames on a large screen: each frame costs a whole canvas, so an
  // open budget stops the file long before memory runs out.
  std::vector<RGifFrame> many(40, RGifFrame{0, 0, 1, 1, {1}});
  const std::vector<uint8_t> big = Sample_GIF(4096, 4096, kPalette, many);
  {
    CPictureBudget budget(uint64_t(4096) * 4096 * 3);
    EXPECT_FALSE(Picture_DecodeGIF(big, kFill));
  }

  // A file cut inside its second frame keeps the first frame whole.
  std::vector<uint8_t> cut(good.begin(), good.end() - 6);
  const auto partial = Picture_DecodeGIF(cut, kFill);
  ASSERT_TRUE(partial);
  EXPECT_EQ(Row((*partial)[0], 0), (std::vector<TColor32>{Opaque(0xFF0000), Opaque(0x00FF00)}));
}

TEST(Picture, FormatIsRecognisedByContentAndGamesSeeOpaquePictures) {
  const TBitmap32 quads = Quadrants(false);
  const std::vector<uint8_t> gif = Sample_GIF(2, 1, kPalette, {{0, 0, 2, 1, {1, 0}, 0, 0}});
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    EPictureFormat format;
  } cases[] = {
      {"png", Picture_EncodePNG(quads), EPictureFormat::PNG},
      {"jpeg", Sample_JPEG(quads), EPictureFormat::JPEG},
      {"gif", gif, EPictureFormat::GIF},
      {"bmp", Bitmap_EncodeBMP(quads), EPictureFormat::BMP},
      {"text", {'h', 'e', 'l', 'l', 'o'}, EPictureFormat::Unknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Picture_Recognise(c.bytes), c.format) << c.name;
    const std::optional<TBitmap32> bm = Picture_LoadFromBytes(c.bytes);
    EXPECT_EQ(bool(bm), c.format != EPictureFormat::Unknown) << c.name;
    if (bm) {
      for (TColor32 p : bm->s_data) ASSERT_EQ(p >> 24, 0xFFu) << c.name;
    }
  }
  // A GIF loaded as one picture shows the picture background (red 1) where
  // it is transparent, like every picture without an alpha channel.
  const std::optional<TBitmap32> one = Picture_LoadFromBytes(gif);
  ASSERT_TRUE(one);
  EXPECT_EQ(Row(*one, 0), (std::vector<TColor32>{Opaque(0xFF0000), kPictureBackground}));
}

}  // namespace
}  // namespace tavrin
