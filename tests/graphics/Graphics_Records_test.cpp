// Package records of sprites, masks, backgrounds and fonts: what is written
// reads back to the same bytes, and damaged records fail cleanly, before any
// allocation of the size they claim.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <type_traits>

#include "graphics/Graphics_Data.h"
#include "package/Package_Data.h"
#include "package/Package_Load.h"
#include "package/Package_Sections.h"
#include "support/AllocationProbe.h"

namespace tavrin {
namespace {

TBitmap32 Picture(int32_t w, int32_t h, uint32_t seed) {
  TBitmap32 bm(w, h);
  for (size_t i = 0; i < bm.s_data.size(); ++i) bm.s_data[i] = uint32_t(i * 2654435761u + seed) & ((i % 3) ? 0xFFFFFFFFu : 0x00FFFFFFu);
  return bm;
}

CSprite Sprite(int frames, bool sepmasks, int32_t version = 800) {
  CSprite s;
  s.i_version = version;
  s.i_reserved = version == 810 ? 77 : 0;
  s.i_xorig = 3;
  s.i_yorig = -2;
  for (int i = 0; i < frames; ++i) s.i_bitmap.push_back(Picture(6, 5, uint32_t(i)));
  s.i_numb = frames;
  s.ComputeMask({sepmasks, kBoxAutomatic, {}, kMaskPrecise, 100});
  return s;
}

CFont Font() {
  CFont f;
  f.s_name = "Sans";
  f.s_size = 10;
  f.s_bold = true;
  f.s_charset = 204;
  f.s_AntiAlias = 0;
  f.s_first = 30;
  f.s_last = 200;
  for (int c = 0; c < 256; ++c) {
    f.s_x[c] = c;
    f.s_y[c] = -c;
    f.s_w[c] = c % 7;
    f.s_h[c] = c % 11;
    f.s_shift[c] = c % 5;
    f.s_offset[c] = -(c % 3);
  }
  f.s_bw = 8;
  f.s_bh = 4;
  f.s_bytes.assign(32, 0);
  for (size_t i = 0; i < 32; ++i) f.s_bytes[i] = uint8_t(i * 8);
  return f;
}

template <class T>
CStream Save(const T& record) {
  CStream s;
  record.SaveToStream(s);
  s.Seek(0);
  return s;
}

// Reads `record` back from its bytes and writes it again.
template <class T>
void ExpectRoundTrip(const T& record, const char* what) {
  CStream first = Save(record);
  T back;
  ASSERT_TRUE(back.LoadFromStream(first)) << what;
  EXPECT_EQ(first.Remaining(), 0u) << what;
  EXPECT_EQ(Save(back).Bytes(), first.Bytes()) << what;
}

TEST(GraphicsRecords, EveryRecordReadsBackToTheSameBytes) {
  ExpectRoundTrip(Sprite(0, false), "sprite without frames");
  ExpectRoundTrip(Sprite(3, false), "sprite with one shared mask");
  ExpectRoundTrip(Sprite(3, true), "sprite with a mask per frame");
  ExpectRoundTrip(Sprite(2, true, 810), "sprite record 810 with its extra integer");
  CBackground b;
  b.i_bitmap = Picture(7, 3, 9);
  ExpectRoundTrip(b, "background");
  ExpectRoundTrip(CBackground(), "background without pixels");
  ExpectRoundTrip(Font(), "font");
  ExpectRoundTrip(CFont(), "font cleared");
  ExpectRoundTrip(TMask::Create(nullptr, 0, {}, 0, 0), "empty mask");
  TMask tall;  // no columns, so no cells, whatever height it claims: quick to read and write
  tall.i_h = 0x7FFFFFFF;
  ExpectRoundTrip(tall, "mask without columns");
}

TEST(GraphicsRecords, ReadingKeepsWhatTheRecordSays) {
  const CSprite s = Sprite(3, true, 810);
  CStream bytes = Save(s);
  CSprite back;
  ASSERT_TRUE(back.LoadFromStream(bytes));
  EXPECT_EQ(back.i_bitmap, s.i_bitmap);
  EXPECT_EQ(back.i_mask, s.i_mask);
  EXPECT_EQ(back.i_bbox, s.i_bbox);  // computed again from the masks
  EXPECT_EQ(back.i_tex, std::vector<int32_t>(3, -1));
  EXPECT_EQ(back.GetWidth(), 6);
  EXPECT_EQ(back.GetHeight(), 5);

  CStream fontBytes = Save(Font());
  CFont f;
  ASSERT_TRUE(f.LoadFromStream(fontBytes));
  EXPECT_EQ(f.s_charset, 204);
  EXPECT_EQ(f.s_AntiAlias, 0);
  EXPECT_EQ(f.s_first, 30);
  EXPECT_EQ(f.s_FontHeight, 10);
  EXPECT_EQ(f.s_bytes, Font().s_bytes);
}

TEST(GraphicsRecords, FontFlagsDefaultWhenTheirBytesAreZero) {
  CFont f = Font();
  f.s_charset = 0;       // stored as 0: reads as the default set 1
  f.s_AntiAlias = 255;   // cannot be stored: the top byte stays 0 and reads as 3
  CStream bytes = Save(f);
  CFont back;
  ASSERT_TRUE(back.LoadFromStream(bytes));
  EXPECT_EQ(back.s_charset, 1);
  EXPECT_EQ(back.s_AntiAlias, 3);
}

TEST(GraphicsRecords, SpriteWithoutFramesIsOnePixelWithAZeroBox) {
  CStream bytes = Save(Sprite(0, true));
  CSprite s;
  s.i_bbox = {1, 2, 3, 4};
  ASSERT_TRUE(s.LoadFromStream(bytes));
  EXPECT_EQ(s.GetWidth(), 1);
  EXPECT_EQ(s.GetHeight(), 1);
  EXPECT_EQ(s.i_bbox, TRect{});
  EXPECT_TRUE(s.i_mask.empty());
}

// ------------------------------------------------------------------ damage

// Loads and says whether it worked; running out of bytes counts as failing.
template <class T>
bool Loads(CStream bytes) {
  bytes.Seek(0);
  T record;
  try {
    return record.LoadFromStream(bytes);
  } catch (const CStreamError&) {
    return false;
  }
}

void Ints(CStream& s, std::initializer_list<int32_t> values) {
  for (int32_t v : values) s.WriteInteger(v);
}

TEST(GraphicsRecords, DamagedRecordsFailWithoutAllocatingWhatTheyClaim) {
  struct Case {
    const char* name;
    std::function<CStream()> bytes;
    std::function<bool(CStream)> load;
  };
  const auto sprite = [](CStream s) { return Loads<CSprite>(std::move(s)); };
  const auto font = [](CStream s) { return Loads<CFont>(std::move(s)); };
  const auto background = [](CStream s) { return Loads<CBackground>(std::move(s)); };
  // A sprite record up to its frames, then `tail`.
  const auto spriteWith = [](std::function<void(CStream&)> tail) {
    return [tail] {
      CStream s;
      Ints(s, {800, 0, 0, 1});
      tail(s);
      return s;
    };
  };
  const auto fontWith = [](int32_t first, int32_t last, int32_t bw, int32_t bh, int32_t raw) {
    return [=] {
      CStream s;
      s.WriteInteger(800);
      s.WriteString("f");
      Ints(s, {12, 0, 0, first, last});
      for (int i = 0; i < 256 * 6; ++i) s.WriteInteger(0);
      Ints(s, {bw, bh, raw});
      for (int i = 0; i < 16; ++i) s.WriteInteger(0);
      return s;
    };
  };
  // One opaque pixel and its mask of the given version.
  const auto oneFrameWithMask = [](int32_t maskVersion) {
    return [maskVersion](CStream& s) {
      Ints(s, {800, 1, 1});
      CStream pixel;
      pixel.WriteInteger(-1);
      s.WriteStreamC(pixel);
      Ints(s, {0, maskVersion, 1, 1, 0, 0, 0, 0, 1});
    };
  };
  ASSERT_TRUE(sprite(spriteWith(oneFrameWithMask(800))())) << "the damaged cases differ from this in one place";
  const Case cases[] = {
      {"sprite version 799", [] { CStream s = Save(Sprite(1, false)); s.Data()[0] = 0x1F; return s; }, sprite},
      {"frame version 801", spriteWith([](CStream& s) { Ints(s, {801, 0, 0, 0}); }), sprite},
      {"mask version 801 inside a sprite", spriteWith(oneFrameWithMask(801)), sprite},
      {"background version 700", [] { CStream s; Ints(s, {700, 800, 0, 0}); return s; }, background},
      {"font version 801", [] { CStream s = Save(Font()); s.Data()[0] = 0x21; return s; }, font},
      {"two billion frames", [] { CStream s; Ints(s, {800, 0, 0, 0x7FFFFFFF, 800, 1, 1}); return s; }, sprite},
      {"negative frame count", [] { CStream s; Ints(s, {800, 0, 0, -1, 0}); return s; }, sprite},
      {"16384 x 16384 frame in a tiny block", spriteWith([](CStream& s) { Ints(s, {800, 16384, 16384, 8, 0, 0}); }),
       sprite},
      {"frame wider than any picture", spriteWith([](CStream& s) { Ints(s, {800, 100000, 1, 8, 0, 0}); }), sprite},
      {"negative frame size", spriteWith([](CStream& s) { Ints(s, {800, -2, -2, 8, 0, 0}); }), sprite},
      {"pixel block one pixel short",
       spriteWith([](CStream& s) {
         Ints(s, {800, 2, 1});
         s.WriteStreamC(CStream(std::vector<uint8_t>(4, 0xFF)));
         Ints(s, {0});
       }),
       sprite},
      {"pixel block one pixel long",
       spriteWith([](CStream& s) {
         Ints(s, {800, 1, 1});
         s.WriteStreamC(CStream(std::vector<uint8_t>(8, 0xFF)));
         Ints(s, {0});
       }),
       sprite},
      {"mask of 65536 x 65536 cells",
       [] {
         CStream s;
         Ints(s, {800, 65536, 65536, 0, 0, 0, 0});
         return s;
       },
       [](CStream s) { return Loads<TMask>(std::move(s)); }},
      {"mask per frame beyond the bytes",
       spriteWith([](CStream& s) {
         Ints(s, {800, 0, 0, 1});  // one empty frame, separate masks: one mask needed, none there
       }),
       sprite},
      {"first code 300", fontWith(300, 100, 0, 0, 0), font},
      {"last code 256", fontWith(0, 256, 0, 0, 0), font},
      {"negative last code", fontWith(0, -1, 0, 0, 0), font},
      {"sheet of 100000 columns", fontWith(32, 127, 100000, 1, 100000), font},
      {"sheet larger than its bytes", fontWith(32, 127, 16, 16, 64), font},
      {"sheet byte count beyond the record", fontWith(32, 127, 1, 1, 0x7FFFFFFF), font},
  };
  for (const Case& c : cases) {
    const CStream bytes = c.bytes();
    test::CAllocationProbe probe;
    EXPECT_FALSE(c.load(bytes)) << c.name;
    EXPECT_LT(probe.Largest(), size_t(1) << 20) << c.name;
  }
}

TEST(GraphicsRecords, EveryTruncationOfARecordFails) {
  const CStream sprite = Save(Sprite(2, true, 810));
  for (size_t n = 0; n < sprite.Size(); ++n)
    EXPECT_FALSE(Loads<CSprite>(CStream(sprite.Data(), n))) << "sprite cut at " << n;
  const CStream font = Save(Font());
  for (size_t n = 0; n < font.Size(); n += 7)
    EXPECT_FALSE(Loads<CFont>(CStream(font.Data(), n))) << "font cut at " << n;
}

TEST(GraphicsRecords, AFailedLoadLeavesTheResourceAsItWas) {
  CSprite s = Sprite(2, false);
  const CSprite before = s;
  CStream damaged = Save(Sprite(1, false));
  damaged.Bytes().resize(damaged.Size() - 4);  // the mask's last cell is missing
  EXPECT_FALSE(s.LoadFromStream(damaged));
  EXPECT_EQ(s.i_bitmap, before.i_bitmap);
  EXPECT_EQ(s.i_mask, before.i_mask);

  CFont f = Font();
  CStream wrong = Save(Font());
  wrong.Data()[0] = 0;
  EXPECT_FALSE(f.LoadFromStream(wrong));
  EXPECT_EQ(f.s_name, "");  // a font that fails is cleared
  EXPECT_EQ(f.s_first, 32);
}

// ------------------------------------------------------------------ sections

TEST(GraphicsSections, ListsKeepEmptySlotsAndNamesAndFailOnABadItem) {
  RGraphicsData data;
  data.sprites.Set(0, std::make_unique<CSprite>(Sprite(2, true)), "spr_a");
  data.sprites.Set(2, std::make_unique<CSprite>(Sprite(1, false, 810)), "spr_c");
  CStream section;
  Section_WriteList(section, data.sprites);
  section.Seek(0);
  RGraphicsData read;
  ASSERT_TRUE(Section_ReadList(section, read.sprites));
  ASSERT_EQ(read.sprites.Count(), 3);
  EXPECT_FALSE(read.sprites.Exists(1));
  EXPECT_EQ(read.sprites.Find("spr_c"), 2);
  CStream again;
  Section_WriteList(again, read.sprites);
  EXPECT_EQ(again.Bytes(), section.Bytes());

  data.fonts.Add(std::make_unique<CFont>(Font()), "fnt");
  auto back = std::make_unique<CBackground>();
  back->i_bitmap = Picture(4, 4, 1);
  data.backgrounds.Add(std::move(back), "bg");
  const auto roundTrip = [](const auto& list) {
    CStream s;
    Section_WriteList(s, list);
    s.Seek(0);
    std::remove_cvref_t<decltype(list)> copy;
    ASSERT_TRUE(Section_ReadList(s, copy));
    CStream t;
    Section_WriteList(t, copy);
    EXPECT_EQ(t.Bytes(), s.Bytes());
  };
  roundTrip(data.fonts);
  roundTrip(data.backgrounds);

  // One item with a mask of the wrong version fails the whole section.
  CStream item;
  item.WriteBoolean(true);
  item.WriteString("spr_bad");
  CStream record = Save(Sprite(1, false));
  const size_t maskAt = record.Size() - (7 + 30) * 4;  // the mask of a 6 x 5 frame ends the record
  record.Data()[maskAt] = 0x21;
  item.Write(record.Data(), record.Size());
  CStream bad;
  bad.WriteInteger(800);
  bad.WriteInteger(1);
  bad.WriteStreamC(item);
  bad.Seek(0);
  EXPECT_FALSE(Section_ReadList(bad, read.sprites));
}

// ------------------------------------------------------------------ limits

// A zlib stream of `bytes` zero bytes (at least 64 KiB), made without
// compressing them all: after a full flush, 64 KiB of zeros always deflate to
// the same piece, so the stream is the first piece, that piece repeated, the
// rest as a final block, and the checksum. A huge picture compresses a
// thousandfold, and so does this.
std::vector<uint8_t> ZeroBlock(size_t bytes) {
  const std::vector<uint8_t> zeros(size_t(1) << 16);
  z_stream z{};
  deflateInit(&z, Z_BEST_COMPRESSION);
  const auto piece = [&](size_t n, int flush) {
    std::vector<uint8_t> out(1024);
    z.next_in = const_cast<Bytef*>(zeros.data());
    z.avail_in = uInt(n);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, flush);
    out.resize(out.size() - z.avail_out);
    return out;
  };
  std::vector<uint8_t> s = piece(zeros.size(), Z_FULL_FLUSH);
  const std::vector<uint8_t> again = piece(zeros.size(), Z_FULL_FLUSH);
  for (size_t i = 1; i < bytes >> 16; ++i) s.insert(s.end(), again.begin(), again.end());
  std::vector<uint8_t> rest = piece(bytes & 0xFFFF, Z_FINISH);
  deflateEnd(&z);
  s.insert(s.end(), rest.begin(), rest.end() - 4);  // its checksum covers only what this deflate saw
  const uint32_t adler = uint32_t(bytes % 65521) << 16 | 1;
  for (const uint32_t b : {adler >> 24, adler >> 16, adler >> 8, adler}) s.push_back(uint8_t(b));
  return s;
}

// A sprite record of one w x h frame of zeros and an empty mask.
CStream ZeroSprite(int32_t w, int32_t h) {
  CStream s;
  Ints(s, {800, 0, 0, 1, 800, w, h});
  const std::vector<uint8_t> block = ZeroBlock(size_t(w) * size_t(h) * 4);
  s.WriteInteger(int32_t(block.size()));
  s.Write(block.data(), block.size());
  Ints(s, {0, 800, 0, 0, 0, 0, 0, 0});
  return s;
}

class CProgress : public IPackageLoadListener {
 public:
  void ShowProgress(int, const std::string& text) override { shown.push_back(text); }
  void HeaderRead(RPackageHeader&, const RGameSettings&) override {}
  std::vector<std::string> shown;
};

// Loads a package whose only resources are `sprites` (records as written),
// followed by an empty background section; the messages and the progress.
std::pair<TLoadMessages, std::vector<std::string>> LoadSprites(const std::vector<CStream>& sprites) {
  RGraphicsData read;
  const std::vector<RPackageSection> sections = {
      {10, "Loading sprites", [&](CStream& content) { return Section_ReadList(content, read.sprites); },
       [&](CStream& content) {
         Ints(content, {800, int32_t(sprites.size())});
         for (size_t i = 0; i < sprites.size(); ++i) {
           CStream item;
           item.WriteBoolean(true);
           item.WriteString("spr_" + std::to_string(i));
           item.Write(sprites[i].Data(), sprites[i].Size());
           content.WriteStreamC(item);
         }
       }},
      {20, "Loading backgrounds", [&](CStream& content) { return Section_ReadList(content, read.backgrounds); },
       [](CStream& content) { Ints(content, {800, 0}); }},
  };
  RPackageHeader header;
  RPackageData package;
  CPackRandom random(5);
  CStream file;
  file.WriteInteger(kPackageVersion);
  const CStream payload = Package_WritePayload(header, package, sections, random);
  file.Write(payload.Data(), payload.Size());
  file.Seek(0);
  CProgress progress;
  TLoadMessages messages = ReadHeader(file, progress, sections, package);
  return {messages, progress.shown};
}

TEST(PictureLimits, OnePictureBeyondItsPixelsFailsTheLoadBeforeAllocatingIt) {
  // Each frame is a few hundred kilobytes in the package and would take
  // hundreds of megabytes decoded.
  struct Case {
    const char* name;
    int32_t w, h;
  };
  for (const Case c : {Case{"10000 x 10000", 10000, 10000}, Case{"16384 x 4097", 16384, 4097}}) {
    const std::vector<CStream> sprites = {ZeroSprite(c.w, c.h)};
    test::CAllocationProbe probe;
    const auto [messages, shown] = LoadSprites(sprites);
    EXPECT_EQ(messages, TLoadMessages{"Error: Error in resource data."}) << c.name;
    EXPECT_EQ(shown, (std::vector<std::string>{"Reading data", "Loading sprites"})) << c.name;
    EXPECT_LT(probe.Largest(), size_t(16) << 20) << c.name;
  }
}

TEST(PictureLimits, ThePicturesOfAPackageShareOneBudget) {
  const std::vector<CStream> sprites = {ZeroSprite(128, 130), ZeroSprite(128, 130), ZeroSprite(128, 130)};
  {
    CPictureBudget budget(3 * 128 * 130);
    EXPECT_TRUE(LoadSprites(sprites).first.empty()) << "exactly enough";
  }
  {
    CPictureBudget budget(3 * 128 * 130 - 1);
    const auto [messages, shown] = LoadSprites(sprites);
    EXPECT_EQ(messages, TLoadMessages{"Error: Error in resource data."}) << "one pixel short";
    EXPECT_EQ(shown, (std::vector<std::string>{"Reading data", "Loading sprites"}));
  }
  // A budget serves only while it is open.
  EXPECT_TRUE(LoadSprites(sprites).first.empty());
}

}  // namespace
}  // namespace tavrin
