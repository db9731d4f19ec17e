// PNG pictures: exact round trips, the saved form, damaged files, and the
// opacity rule for pictures a game loads.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>

#include "graphics/Graphics_Picture.h"
#include "package/Support_Stream.h"
#include "support/AllocationProbe.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

struct RChunk {
  std::string type;
  std::vector<uint8_t> data;
  bool crcOk;
};

std::vector<RChunk> Chunks(const std::vector<uint8_t>& png) {
  std::vector<RChunk> chunks;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t n = Be32(&png[at]);
    RChunk c{std::string(png.begin() + long(at) + 4, png.begin() + long(at) + 8),
             std::vector<uint8_t>(png.begin() + long(at) + 8, png.begin() + long(at + 8 + n)), false};
    c.crcOk = uint32_t(crc32(0, &png[at + 4], 4 + n)) == Be32(&png[at + 8 + n]);
    chunks.push_back(std::move(c));
    at += 12 + n;
  }
  return chunks;
}

TBitmap32 Gradient(int32_t w, int32_t h) {
  TBitmap32 bm(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bm.SetPixel(x, y, uint32_t(x * 40) << 24 | uint32_t(y * 30) << 16 | uint32_t(x + y) << 8 | 7);
  return bm;
}

TEST(Picture, PngKeepsEveryPixelIncludingAlpha) {
  for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {3, 7}}) {
    const TBitmap32 bm = Gradient(w, h);
    const std::optional<TBitmap32> back = Picture_DecodePNG(Picture_EncodePNG(bm));
    ASSERT_TRUE(back) << w << "x" << h;
    EXPECT_EQ(*back, bm) << w << "x" << h;
  }
  const std::vector<uint8_t> grey = {0, 1, 127, 128, 254, 255};
  const std::optional<TBitmap32> g = Picture_DecodePNG(Picture_EncodePNGGrey(3, 2, grey));
  ASSERT_TRUE(g);
  for (size_t i = 0; i < grey.size(); ++i)
    EXPECT_EQ(g->s_data[i], 0xFF000000u | uint32_t(grey[i]) * 0x010101u) << i;
  EXPECT_TRUE(Picture_EncodePNG(TBitmap32()).empty());
}

TEST(Picture, SavedPngIsOneIdatOfUnfilteredRgbaRows) {
  const TBitmap32 bm = Gradient(4, 3);
  const std::vector<uint8_t> png = Picture_EncodePNG(bm);
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  const std::vector<RChunk> chunks = Chunks(png);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[0].data, (std::vector<uint8_t>{0, 0, 0, 4, 0, 0, 0, 3, 8, 6, 0, 0, 0}));
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  for (const RChunk& c : chunks) EXPECT_TRUE(c.crcOk) << c.type;
  const std::vector<uint8_t> rows = Stream_Inflate(chunks[1].data.data(), chunks[1].data.size());
  ASSERT_EQ(rows.size(), 3u * (1 + 4 * 4));
  for (int32_t y = 0; y < 3; ++y) {
    const uint8_t* row = &rows[size_t(y) * 17];
    EXPECT_EQ(row[0], 0) << "filter of row " << y;
    const TColor32 c = bm.GetPixel(1, y);
    EXPECT_EQ((std::vector<uint8_t>{row[5], row[6], row[7], row[8]}),
              (std::vector<uint8_t>{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)}));
  }
}

TEST(Picture, DamagedOrHugePngsAreRefused) {
  const std::vector<uint8_t> good = Picture_EncodePNG(Gradient(4, 4));
  std::vector<uint8_t> huge = good;
  huge[16] = 0;  // width 0x00004E20 = 20000
  huge[17] = 0;
  huge[18] = 0x4E;
  huge[19] = 0x20;
  const uLong crc = crc32(0, &huge[12], 17);
  for (int i = 0; i < 4; ++i) huge[29 + i] = uint8_t(crc >> (24 - 8 * i));
  std::vector<uint8_t> cut(good.begin(), good.begin() + long(good.size() / 2));
  std::vector<uint8_t> flipped = good;
  flipped[good.size() - 20] ^= 0x55;  // inside the image data
  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"not a PNG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}},
      {"empty", {}},
      {"wider than any picture", huge},
      {"cut in half", cut},
      {"damaged image data", flipped},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(Picture_DecodePNG(bytes)) << name;

  // 16000 x 16000 pixels claimed by a file of a few hundred bytes: refused
  // before a gigabyte of pixels is asked for.
  std::vector<uint8_t> claim = Picture_EncodePNG(TBitmap32(100, 100, 0));
  for (int at : {16, 20}) {
    claim[size_t(at)] = 0;
    claim[size_t(at) + 1] = 0;
    claim[size_t(at) + 2] = 0x3E;
    claim[size_t(at) + 3] = 0x80;
  }
  const uLong claimCrc = crc32(0, &claim[12], 17);
  for (int i = 0; i < 4; ++i) claim[size_t(29 + i)] = uint8_t(claimCrc >> (24 - 8 * i));
  // The same claim in a file long enough that compression alone could not
  // rule it out: the pixel count of one picture refuses it.
  std::vector<uint8_t> padded = claim;
  padded.resize(padded.size() + 64 * 1024, 0);
  for (const auto& [name, bytes] : {std::pair{"tiny file", claim}, {"padded file", padded}}) {
    test::CAllocationProbe probe;
    EXPECT_FALSE(Picture_DecodePNG(bytes)) << name;
    EXPECT_LT(probe.Largest(), size_t(1) << 20) << name;
  }
}

TEST(Picture, GamesLoadPicturesWithoutAlphaAsOpaqueAndSaveAlwaysAsPng) {
  const fs::path dir = fs::temp_directory_path() / ("tavrin_picture_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  TBitmap32 clear = Gradient(3, 2);
  for (TColor32& c : clear.s_data) c &= 0x00FFFFFF;
  const TBitmap32 real = Gradient(3, 2);
  ASSERT_TRUE(Picture_SaveToImageFile(clear, (dir / "clear.bmp").string()));
  ASSERT_TRUE(Picture_SaveToImageFile(real, (dir / "real.png").string()));

  CStream saved;
  ASSERT_TRUE(saved.LoadFromFile((dir / "clear.bmp").string()));
  EXPECT_EQ(saved.Data()[1], 'P') << "a .bmp name still gets PNG data";

  const std::optional<TBitmap32> opaque = Picture_LoadFromImageFile((dir / "clear.bmp").string());
  ASSERT_TRUE(opaque);
  for (size_t i = 0; i < opaque->s_data.size(); ++i) EXPECT_EQ(opaque->s_data[i], clear.s_data[i] | 0xFF000000u);
  const std::optional<TBitmap32> kept = Picture_LoadFromImageFile((dir / "real.png").string());
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, real);
  EXPECT_FALSE(Picture_LoadFromImageFile((dir / "missing.png").string()));
  EXPECT_FALSE(Picture_SaveToImageFile(TBitmap32(), (dir / "none.png").string()));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
